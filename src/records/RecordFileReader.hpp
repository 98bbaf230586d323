#pragma once
// Reads a measurement file or a saved record list: the first line (the
// header) is skipped, every further line is one record row. Lines end with
// CR LF, LF or CR; a row may or may not carry a TAB after its last field.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qelt {

struct RecordFileResult {
  bool Ok = true;
  std::string Reason;    // why the file could not be opened or read
  int Rows = 0;          // rows delivered (the ones read before a failure stay delivered)
  bool Stopped = false;  // onChunk asked to stop; the rows read until then were delivered
};

// Calls onRow for every line after the header, with the number of that line
// (the header counts as 0) and its text without the line end. onOpened, when
// given, runs once the file is open, before the first row. onChunk, when
// given, runs after each read of up to 64 KiB with the bytes read so far;
// false stops the reading there (the rest of that chunk is not delivered).
RecordFileResult ReadRecordFile(const std::string& path,
                                const std::function<void(int lineNumber, std::string_view row)>& onRow,
                                const std::function<void()>& onOpened = {},
                                const std::function<bool(std::uint64_t bytesRead)>& onChunk = {});

// Why the file is not a measurement file or record list, judged by its first
// 64 KiB: it holds NUL bytes, or no line there has the 31 fields of a record
// (a TAB after the last one allowed). Empty when it looks like one, and when
// it cannot be read (the reading then says why).
std::string MeasurementFileProblem(const std::string& path);

// The rows of a file, each split into cells as a 31-column grid fills them.
struct RecordRows {
  RecordFileResult Result;
  std::vector<std::vector<std::string>> Rows;
};
RecordRows ReadRecordRows(const std::string& path);

}  // namespace qelt
