#include "sim/LoggerMemory.hpp"

#include <algorithm>

#include "link/Bcd.hpp"
#include "sim/CivilTime.hpp"
#include "sim/FrameEncoding.hpp"

namespace qelt {

std::size_t LoggerMemory::BytesInUse() const {
  std::size_t used = 0;
  for (const LoggerSet& s : sets_) used += s.Records.size();
  return used;
}

bool LoggerMemory::AddSet(LoggerSet set) {
  if (static_cast<int>(sets_.size()) >= MaxSets) return false;
  if (set.Records.size() % RecordSize != 0 || BytesInUse() + set.Records.size() > Capacity) return false;
  if (set.IntervalSeconds < 0 || set.IntervalSeconds > 255) return false;
  sets_.push_back(std::move(set));
  return true;
}

bool LoggerMemory::LogSet(const LoadSettings& load, DateTime start, int wiringCode, int intervalSeconds, int count,
                          SimRandom& rng, const std::vector<int>& skipped) {
  if (count < 0 || count > MaxRecords) return false;
  LoadSettings settings = load;
  settings.WiringCode = wiringCode;
  LoadModel model(settings);
  LoggerSet set;
  set.Start = start;
  set.WiringCode = wiringCode;
  set.IntervalSeconds = intervalSeconds;
  set.Records.reserve(static_cast<std::size_t>(count) * RecordSize);
  // Each set sees the load at its own time of day, so drift differs between sets.
  const double origin = static_cast<double>(ToCivilSeconds(start) % 86400);
  model.Settings().EventOrigin = origin;
  for (int r = 0; r < count; ++r) {
    LoadSample sample = model.Sample(origin + static_cast<double>(r) * intervalSeconds, rng);
    bool skip = std::find(skipped.begin(), skipped.end(), r) != skipped.end();
    set.Records += EncodeLoggerRecord(sample, skip);
  }
  return AddSet(std::move(set));
}

bool LoggerMemory::IsPresetName(std::string_view name) {
  return name == "empty" || name == "small" || name == "large" || name == "full";
}

bool LoggerMemory::LoadPreset(std::string_view name, const LoadSettings& load, SimRandom& rng) {
  if (!IsPresetName(name)) return false;
  Erase();
  if (name == "small") {
    LogSet(load, {2011, 7, 29, 9, 5, 0}, Wiring3P4W, 60, 40, rng);
    LogSet(load, {2011, 7, 29, 23, 59, 30}, Wiring1P3W, 60, 11, rng);
    LogSet(load, {2011, 8, 1, 14, 0, 0}, Wiring3P3W2M, 10, 32, rng, {5});
  } else if (name == "large") {
    LogSet(load, {2011, 8, 2, 8, 0, 0}, Wiring3P4W, 2, 12000, rng);
    LogSet(load, {2011, 8, 3, 10, 30, 0}, Wiring1P2W, 5, 20, rng);
  } else if (name == "full") {
    LogSet(load, {2011, 8, 4, 0, 0, 0}, Wiring3P4W, 1, MaxRecords, rng);
  }
  return true;
}

std::string LoggerMemory::EntryBytes(const LoggerSet& set) {
  std::string e;
  const int count = set.RecordCount();
  e.push_back(static_cast<char>(count / 256));
  e.push_back(static_cast<char>(count % 256));
  for (int field : {set.Start.Year, set.Start.Month, set.Start.Day, set.Start.Hour, set.Start.Minute, set.Start.Second})
    e.push_back(static_cast<char>(ToBcd(field)));
  e.push_back(static_cast<char>(set.WiringCode));
  e.push_back(static_cast<char>(set.IntervalSeconds));
  return e;
}

std::string LoggerMemory::EntryBytes(int setNumber) const {
  if (setNumber < 1 || setNumber > static_cast<int>(sets_.size())) return std::string(10, '\0');
  return EntryBytes(sets_[static_cast<std::size_t>(setNumber - 1)]);
}

std::string LoggerMemory::DirectoryBytes() const {
  std::string d;
  const std::size_t used = BytesInUse();
  d.push_back(static_cast<char>(sets_.size()));
  d.push_back(static_cast<char>(used >> 16 & 0xFF));
  d.push_back(static_cast<char>(used >> 8 & 0xFF));
  d.push_back(static_cast<char>(used & 0xFF));
  for (const LoggerSet& s : sets_) d += EntryBytes(s);
  return d;
}

}  // namespace qelt
