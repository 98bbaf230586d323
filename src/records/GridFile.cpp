#include "records/GridFile.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
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
  std::string line;
  for (int r = 0; r < grid.Rows(); ++r) {
    if (progress) progress(r);
    line = GridFileLine(grid, r);
    line += "\r\n";
    if (std::fwrite(line.data(), 1, line.size(), file.get()) != line.size()) {
      result.Ok = false;
      result.Reason = std::strerror(errno);
      return result;
    }
    ++result.RowsWritten;
  }
  errno = 0;
  if (std::fflush(file.get()) != 0 || std::fclose(file.release()) != 0) {
    result.Ok = false;
    result.Reason = errno != 0 ? std::strerror(errno) : "write error";
  }
  return result;
}

}  // namespace qelt
