#include "records/RecordingFiles.hpp"

#include <filesystem>
#include <system_error>

namespace qelt {

std::string ContinuationName(const std::string& path, int part) {
  std::size_t nameStart = path.find_last_of("/\\");
  nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
  std::size_t dot = path.find('.', nameStart);
  std::string suffix = "-" + std::to_string(part);
  std::string result = path;
  if (dot == std::string::npos)
    result += suffix;
  else
    result.insert(dot, suffix);
  return result;
}

std::vector<std::string> RecordingFiles(const std::string& path, bool single) {
  std::vector<std::string> files{path};
  if (single) return files;
  std::error_code ec;
  for (int part = 1;; ++part) {
    std::string next = ContinuationName(path, part);
    if (!std::filesystem::is_regular_file(next, ec)) break;
    files.push_back(std::move(next));
  }
  return files;
}

}  // namespace qelt
