#pragma once
// Paths as texts, the same on every platform: "/" and "\" both separate.
#include <string>

namespace qelt {

// The last element of a path, after "/" or "\".
std::string FileNameOf(const std::string& path);

}  // namespace qelt
