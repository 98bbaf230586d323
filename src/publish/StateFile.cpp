#include "publish/StateFile.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace qelt {
namespace {

// Each step's errno is taken at once: close and unlink after a failure
// would overwrite it.
Result<> Failed(const std::string& path, int error) {
  return Fail("cannot write " + path + ": " + std::strerror(error));
}

Result<> WriteAll(int fd, std::string_view bytes, const std::string& path) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return Failed(path, errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return {};
}

}  // namespace

Result<> WriteStateFile(const std::string& path, std::string_view text, bool sync) {
  const std::string temp = path + ".tmp";
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return Failed(path, errno);
  Result<> written = WriteAll(fd, text, path);
  if (written && sync && ::fdatasync(fd) != 0) written = Failed(path, errno);
  if (::close(fd) != 0 && written) written = Failed(path, errno);
  if (!written) {
    ::unlink(temp.c_str());
    return written;
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    return Failed(path, error);
  }
  if (!sync) return {};
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  const std::filesystem::path folder = parent.empty() ? std::filesystem::path(".") : parent;
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return Failed(path, errno);
  const bool synced = ::fsync(dir) == 0;
  const int error = errno;
  ::close(dir);
  if (!synced) return Failed(path, error);
  return {};
}

}  // namespace qelt
