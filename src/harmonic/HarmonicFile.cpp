#include "harmonic/HarmonicFile.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace qelt {

std::vector<std::string> HarmonicFileFields(std::string_view content) {
  std::vector<std::string> fields;
  std::size_t pos = content.find_first_of("\r\n");
  if (pos == std::string_view::npos) return fields;
  // The header line ends at CR LF, or at a lone CR or LF.
  pos += content.compare(pos, 2, "\r\n") == 0 ? 2 : 1;
  while (pos < content.size()) {
    while (pos < content.size() && content[pos] == ' ') ++pos;
    const std::size_t end = std::min(content.find_first_of("\r\n,", pos), content.size());
    fields.emplace_back(content.substr(pos, end - pos));
    pos = end;
    if (pos < content.size()) pos += content.compare(pos, 2, "\r\n") == 0 ? 2 : 1;
  }
  return fields;
}

HarmonicFileRead ReadHarmonicFile(const std::string& path) {
  HarmonicFileRead result;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) {
    result.Reason = std::strerror(errno);
    return result;
  }
  std::string content;
  char buffer[65536];
  for (;;) {
    const std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
    content.append(buffer, n);
    if (n < sizeof buffer) break;
  }
  if (std::ferror(file.get())) {
    result.Reason = std::strerror(errno);
    return result;
  }
  result.Rows = HarmonicFileFields(content);
  result.Ok = true;
  return result;
}

std::string ProposedHarmonicName(const std::string& phaseText, const std::string& hzText) {
  if (phaseText.empty()) return {};
  return phaseText + " " + hzText + ".txt";
}

}  // namespace qelt
