#include "platform/PathText.hpp"

namespace qelt {

std::string FileNameOf(const std::string& path) {
  auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace qelt
