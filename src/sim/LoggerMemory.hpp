#pragma once
// The instrument's logger memory: up to 10 data sets in 512 K bytes, each a
// start moment, a wiring code, an interval and 24-byte records, and the byte
// formats in which the instrument describes them (directory, set entry).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Host.hpp"
#include "sim/LoadModel.hpp"
#include "sim/SimRandom.hpp"

namespace qelt {

struct LoggerSet {
  DateTime Start;  // moment of the first record
  int WiringCode = Wiring3P4W;
  int IntervalSeconds = 60;  // 0..255
  std::string Records;       // RecordCount() * 24 bytes, in logging order

  int RecordCount() const { return static_cast<int>(Records.size() / 24); }
};

class LoggerMemory {
 public:
  static constexpr std::size_t Capacity = std::size_t{512} * 1024;  // bytes
  static constexpr std::size_t RecordSize = 24;
  static constexpr int MaxSets = 10;
  static constexpr int MaxRecords = static_cast<int>(Capacity / RecordSize);  // 21 845

  const std::vector<LoggerSet>& Sets() const { return sets_; }
  std::size_t BytesInUse() const;

  // Stores a set after the others. Refused (false, nothing stored) when 10
  // sets are stored, the records do not fit or their size is not a multiple
  // of 24, or the interval is outside 0..255.
  bool AddSet(LoggerSet set);

  // Logs count records of a load: record r is the load at r * interval
  // seconds after start, with the set's wiring. skipped lists record indexes
  // (from 0) stored with the "no reading" flag. Refused like AddSet.
  bool LogSet(const LoadSettings& load, DateTime start, int wiringCode, int intervalSeconds, int count, SimRandom& rng,
              const std::vector<int>& skipped = {});

  void Erase() { sets_.clear(); }

  // Fills the memory afresh with a named choice:
  //   "empty": no sets.
  //   "small": 3 sets: 3P4W 40 records every 60 s from 2011-07-29 09:05:00;
  //            1P3W 11 records every 60 s from 2011-07-29 23:59:30 (past midnight);
  //            3P3W2M 32 records every 10 s from 2011-08-01 14:00:00, record 6
  //            stored as "no reading".
  //   "large": 3P4W 12 000 records every 2 s from 2011-08-02 08:00:00, then 1P2W
  //            20 records every 5 s from 2011-08-03 10:30:00.
  //   "full":  one 3P4W set of 21 845 records every 1 s (the memory is full).
  // Returns false, leaving the memory as it was, for any other name.
  bool LoadPreset(std::string_view name, const LoadSettings& load, SimRandom& rng);
  static bool IsPresetName(std::string_view name);

  // Reply to "T": n, memory in use (3 bytes, high first), then n set entries.
  std::string DirectoryBytes() const;
  // The 10-byte entry of set number (1..n); ten zero bytes (no records) for
  // any other number.
  std::string EntryBytes(int setNumber) const;
  static std::string EntryBytes(const LoggerSet& set);

 private:
  std::vector<LoggerSet> sets_;
};

}  // namespace qelt
