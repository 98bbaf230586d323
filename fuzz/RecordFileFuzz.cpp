// The measurement file reader of "Open" on any bytes, placed so that they
// straddle its 64 KiB read chunk: every line comes out once, in order, exactly
// as a plain split of the whole file gives it (CR LF, LF and CR ends, the
// header skipped), and the file check and the row split stay well formed.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "records/RecordFileReader.hpp"
#include "records/RecordTable.hpp"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// The lines of a whole file, the obvious way.
std::vector<std::string_view> PlainLines(std::string_view content) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(content.substr(start));
      break;
    }
    lines.push_back(content.substr(start, end - start));
    start = end + (content.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

// Whole lines of record text in one line-end style, a little over a chunk.
const std::string& Filler(unsigned style) {
  static std::string fillers[4];
  std::string& f = fillers[style];
  if (f.empty()) {
    const char* ends[] = {"\r\n", "\n", "\r", "\r\n"};
    const std::string line = std::string("1\t2026/12/10\t01:00:00\t230.5") + ends[style];
    while (f.size() < (1u << 16)) f += line;
  }
  return f;
}

const std::string& TempPath() {
  static const std::string path = [] {
    char name[] = "/tmp/qelt-fuzz-record-XXXXXX";
    int fd = mkstemp(name);
    Check(fd >= 0);
    close(fd);
    return std::string(name);
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The first two bytes choose the filler before the fuzz bytes: none, or
  // lines ending just before the chunk end so that the rest crosses it.
  std::string content;
  if ((data[0] & 0x80) == 0) {
    const std::size_t back = ((static_cast<std::size_t>(data[0] & 0x7f) << 8) | data[1]) % 2048;
    content.assign(Filler(data[0] & 3), 0, (1u << 16) - 1 - back);
  }
  content.append(reinterpret_cast<const char*>(data + 2), size - 2);

  const std::string& path = TempPath();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  Check(f != nullptr);
  Check(std::fwrite(content.data(), 1, content.size(), f) == content.size());
  std::fclose(f);

  const std::vector<std::string_view> expected = PlainLines(content);
  std::size_t rows = 0;  // each row is compared as it comes
  int opened = 0;
  qelt::RecordFileResult result = qelt::ReadRecordFile(
      path,
      [&](int lineNumber, std::string_view row) {
        ++rows;
        Check(lineNumber == static_cast<int>(rows) && rows < expected.size());
        Check(row == expected[rows]);
      },
      [&] { ++opened; });
  Check(result.Ok && result.Reason.empty() && opened == 1);
  Check(result.Rows == static_cast<int>(rows));
  Check(rows == (expected.empty() ? 0 : expected.size() - 1));

  const std::string problem = qelt::MeasurementFileProblem(path);
  const bool nul = content.substr(0, 1u << 16).find('\0') != std::string::npos;
  if (nul) Check(problem == "It holds binary data, not lines of text.");
  if (!problem.empty() && !nul) Check(problem.find("TAB-separated fields of a record.") != std::string::npos);

  // The rows as a grid fills them: at most 31 cells, no TAB in any.
  for (std::size_t i = expected.size() > 8 ? expected.size() - 8 : 1; i < expected.size(); ++i) {
    std::vector<std::string> cells = qelt::SplitRow(expected[i]);
    Check(cells.size() <= static_cast<std::size_t>(qelt::RecordColumns));
    for (const std::string& cell : cells) Check(cell.find('\t') == std::string::npos);
  }
  return 0;
}
