#include "records/GridFile.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace qelt {

std::string GridFileLine(const GridRows& grid, int row) {
  std::string line;
  for (int c = 0; c < grid.Cols(); ++c) {
    line += grid.Cell(row, c);
    line += '\t';
  }
  return line;
}

namespace {
constexpr std::size_t ChunkBytes = std::size_t{64} * 1024;
}  // namespace

std::string SaveProgressCaption(int row) { return std::to_string(row) + "Records Completed"; }

GridFileResult WriteGridFile(const std::string& path, const GridRows& grid,
                             const std::function<void(int row)>& progress) {
  GridFileResult result;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!file) {
    result.Ok = false;
    result.Reason = std::strerror(errno);
    return result;
  }
  // Rows go out in chunks of whole lines, unbuffered by the library, so that
  // after a failed write (a full disk, a size limit) the part of the chunk
  // that reached the file is known and can be cut back to its last CR LF.
  std::setvbuf(file.get(), nullptr, _IONBF, 0);
  std::string chunk;
  int chunkRows = 0;
  std::uintmax_t committed = 0;
  auto put = [&] {
    errno = 0;
    if (std::fwrite(chunk.data(), 1, chunk.size(), file.get()) != chunk.size()) return false;
    committed += chunk.size();
    result.RowsWritten += chunkRows;
    chunk.clear();
    chunkRows = 0;
    return true;
  };
  bool ok = true;
  for (int r = 0; r < grid.Rows() && ok; ++r) {
    if (progress) progress(r);
    chunk += GridFileLine(grid, r);
    chunk += "\r\n";
    ++chunkRows;
    if (chunk.size() >= ChunkBytes) ok = put();
  }
  if (ok) ok = put();
  if (ok) {
    errno = 0;
    ok = std::fclose(file.release()) == 0;
  }
  if (ok) return result;
  result.Ok = false;
  result.Reason = errno != 0 ? std::strerror(errno) : "write error";
  file.reset();
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) return result;
  // Keep the rows of the chunk that reached the file whole.
  const std::size_t reached = size > committed ? static_cast<std::size_t>(size - committed) : 0;
  std::size_t keep = 0;
  if (reached >= 2) {
    const std::size_t end = chunk.rfind("\r\n", std::min(reached, chunk.size()) - 2);
    if (end != std::string::npos) keep = end + 2;
  }
  result.RowsWritten +=
      static_cast<int>(std::count(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(keep), '\n'));
  std::filesystem::resize_file(path, committed + keep, ec);
  return result;
}

}  // namespace qelt
