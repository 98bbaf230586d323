#include "platform/Dialogs.hpp"

#include "platform/PathText.hpp"

namespace qelt {

std::vector<std::pair<std::string, std::vector<std::string>>> FilterEntries(const std::string& filter) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : filter) {
    if (c == '|') {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);

  std::vector<std::pair<std::string, std::vector<std::string>>> entries;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::vector<std::string> patterns;
    std::string pattern;
    for (char c : parts[i + 1] + ";") {
      if (c == ';') {
        if (!pattern.empty()) patterns.push_back(pattern);
        pattern.clear();
      } else if (c != ' ') {
        pattern += c;
      }
    }
    entries.emplace_back(parts[i], patterns);
  }
  return entries;
}

std::string WithChosenEnding(const FileChoice& choice, const FileRequest& request) {
  const std::string name = FileNameOf(choice.Path);
  if (name.empty() || name.find('.') != std::string::npos) return choice.Path;
  const auto entries = FilterEntries(request.Filter);
  const int index = choice.FilterIndex > 0 ? choice.FilterIndex : request.FilterIndex;
  if (index < 1 || index > static_cast<int>(entries.size())) return choice.Path;
  const auto& patterns = entries[static_cast<std::size_t>(index - 1)].second;
  if (patterns.empty()) return choice.Path;
  const std::string& first = patterns.front();
  if (first.size() < 3 || first.compare(0, 2, "*.") != 0 || first.find_first_of("*?", 2) != std::string::npos)
    return choice.Path;
  return choice.Path + first.substr(1);
}

std::string DisplayLines(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace qelt
