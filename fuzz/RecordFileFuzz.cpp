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

#include "recorder/RecordFileReader.hpp"
#include "records/RecordTable.hpp"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// The lines of a whole file, the obvious way.
std::vector<std::string> PlainLines(std::string_view content) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < content.size(); ++i) {
    char c = content[i];
    if (c != '\r' && c != '\n') {
      line += c;
      continue;
    }
    lines.push_back(line);
    line.clear();
    if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
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
    const char* ends[] = {"\r\n", "\n", "\r", "\r\n"};
    const std::string line = std::string("1\t2026/12/10\t01:00:00\t230.5") + ends[data[0] & 3];
    const std::size_t fill = (1u << 16) - 1 - back;
    while (content.size() < fill) content += line;
    content.resize(fill);
  }
  content.append(reinterpret_cast<const char*>(data + 2), size - 2);

  const std::string& path = TempPath();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  Check(f != nullptr);
  Check(std::fwrite(content.data(), 1, content.size(), f) == content.size());
  std::fclose(f);

  const std::vector<std::string> expected = PlainLines(content);
  std::vector<std::string> got;
  int opened = 0;
  qelt::RecordFileResult result = qelt::ReadRecordFile(
      path,
      [&](int lineNumber, std::string_view row) {
        Check(lineNumber == static_cast<int>(got.size()) + 1);
        Check(row.find_first_of("\r\n") == std::string_view::npos);
        got.emplace_back(row);
      },
      [&] { ++opened; });
  Check(result.Ok && result.Reason.empty() && opened == 1);
  Check(result.Rows == static_cast<int>(got.size()));
  Check(got.size() == (expected.empty() ? 0 : expected.size() - 1));
  for (std::size_t i = 0; i < got.size(); ++i) Check(got[i] == expected[i + 1]);

  const std::string problem = qelt::MeasurementFileProblem(path);
  const bool nul = content.substr(0, 1u << 16).find('\0') != std::string::npos;
  if (nul) Check(problem == "It holds binary data, not lines of text.");
  if (!problem.empty() && !nul) Check(problem.find("TAB-separated fields of a record.") != std::string::npos);

  // The rows as a grid fills them: at most 31 cells, no TAB in any.
  for (std::size_t i = got.size() > 8 ? got.size() - 8 : 0; i < got.size(); ++i) {
    std::vector<std::string> cells = qelt::SplitRow(got[i]);
    Check(cells.size() <= static_cast<std::size_t>(qelt::RecordColumns));
    for (const std::string& cell : cells) Check(cell.find('\t') == std::string::npos);
  }
  return 0;
}
