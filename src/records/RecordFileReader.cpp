#include "records/RecordFileReader.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "records/RecordTable.hpp"

namespace qelt {

std::string MeasurementFileProblem(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return {};
  std::string head(1 << 16, '\0');
  head.resize(std::fread(head.data(), 1, head.size(), file.get()));
  if (head.find('\0') != std::string::npos) return "It holds binary data, not lines of text.";
  std::size_t start = 0;
  while (start < head.size()) {
    std::size_t end = head.find_first_of("\r\n", start);
    if (end == std::string::npos) end = head.size();
    std::string_view line(head.data() + start, end - start);
    if (!line.empty() && line.back() == '\t') line.remove_suffix(1);
    if (!line.empty() && std::count(line.begin(), line.end(), '\t') == RecordColumns - 1) return {};
    start = end + 1;
  }
  return "No line in it has the " + std::to_string(RecordColumns) + " TAB-separated fields of a record.";
}

RecordFileResult ReadRecordFile(const std::string& path,
                                const std::function<void(int lineNumber, std::string_view row)>& onRow,
                                const std::function<void()>& onOpened,
                                const std::function<bool(std::uint64_t bytesRead)>& onChunk) {
  RecordFileResult result;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) {
    result.Ok = false;
    result.Reason = std::strerror(errno);
    return result;
  }
  if (onOpened) onOpened();
  int lineNumber = 0;
  auto deliver = [&](std::string_view line) {
    if (lineNumber > 0) {
      onRow(lineNumber, line);
      ++result.Rows;
    }
    ++lineNumber;
  };

  std::string pending;  // the start of a line that continues in the next chunk
  bool lastWasCr = false;
  std::vector<char> chunk(1 << 16);
  std::uint64_t bytesRead = 0;
  for (;;) {
    std::size_t got = std::fread(chunk.data(), 1, chunk.size(), file.get());
    bytesRead += got;
    if (onChunk && !onChunk(bytesRead)) {
      result.Stopped = true;
      return result;
    }
    // The line ends are found with memchr, a CR and an LF search kept one
    // step ahead each; lastWasCr tells that the line end just before start
    // was a CR (only asked when start is where the search stands).
    const char* base = chunk.data();
    auto next = [&](char c, std::size_t from) {
      const void* hit = std::memchr(base + from, c, got - from);
      return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - base) : got;
    };
    std::size_t start = 0;
    std::size_t nextCr = next('\r', 0), nextLf = next('\n', 0);
    for (;;) {
      if (nextCr < start) nextCr = next('\r', start);
      if (nextLf < start) nextLf = next('\n', start);
      const std::size_t i = std::min(nextCr, nextLf);
      if (i >= got) break;
      const char c = base[i];
      if (c == '\n' && lastWasCr && i == start && pending.empty()) {
        start = i + 1;  // the LF of a CR LF
        lastWasCr = false;
        continue;
      }
      std::string_view piece(base + start, i - start);
      if (pending.empty()) {
        deliver(piece);
      } else {
        pending.append(piece);
        deliver(pending);
        pending.clear();
      }
      start = i + 1;
      lastWasCr = c == '\r';
    }
    pending.append(chunk.data() + start, got - start);
    if (got < chunk.size()) break;
  }
  if (std::ferror(file.get())) {
    result.Ok = false;
    result.Reason = std::strerror(errno);
    return result;
  }
  if (!pending.empty()) deliver(pending);
  return result;
}

RecordRows ReadRecordRows(const std::string& path) {
  RecordRows rows;
  rows.Result = ReadRecordFile(path, [&](int, std::string_view row) { rows.Rows.push_back(SplitRow(row)); });
  return rows;
}

}  // namespace qelt
