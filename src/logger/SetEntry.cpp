#include "logger/SetEntry.hpp"

#include <algorithm>
#include <cstdio>

#include "link/Bcd.hpp"
#include "link/Commands.hpp"
#include "link/Decoding.hpp"
#include "platform/CivilDate.hpp"
#include "text/NumberText.hpp"

namespace qelt {

namespace {

std::string Hex2(std::uint8_t b) {
  char buf[4];
  std::snprintf(buf, sizeof buf, "%02X", b);
  return buf;
}

std::string Joined(const std::uint8_t (&bytes)[3], char sep) {
  return Hex2(bytes[0]) + sep + Hex2(bytes[1]) + sep + Hex2(bytes[2]);
}

constexpr long long Days1970To2000 = 10957;

int DaysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m == 2 && y % 4 == 0 && (y % 100 != 0 || y % 400 == 0)) return 29;
  return days[m - 1];
}

}  // namespace

SetEntry ParseSetEntry(std::string_view bytes) {
  SetEntry e;
  if (bytes.size() < cmd::SetEntrySize) return e;
  auto b = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
  e.RecordCount = b(0) * 256 + b(1);
  for (std::size_t i = 0; i < 3; ++i) {
    e.Date[i] = b(2 + i);
    e.Time[i] = b(5 + i);
  }
  e.Wiring = b(8);
  e.Interval = b(9);
  return e;
}

std::string EntryDateText(const SetEntry& e) { return Joined(e.Date, '/'); }
std::string EntryTimeText(const SetEntry& e) { return Joined(e.Time, ':'); }

bool EntryStart(const SetEntry& e, Moment& start) {
  for (std::uint8_t b : {e.Date[0], e.Date[1], e.Date[2], e.Time[0], e.Time[1], e.Time[2]})
    if (!IsBcd(b)) return false;
  const int y = 2000 + FromBcd(e.Date[0]), mo = FromBcd(e.Date[1]), d = FromBcd(e.Date[2]);
  const int h = FromBcd(e.Time[0]), mi = FromBcd(e.Time[1]), s = FromBcd(e.Time[2]);
  if (mo < 1 || mo > 12 || d < 1 || d > DaysInMonth(y, mo) || h > 23 || mi > 59 || s > 59) return false;
  start.Seconds = (DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) - Days1970To2000) * 86400 +
                  h * 3600LL + mi * 60LL + s;
  return true;
}

std::string MomentDate(Moment m) {
  long long days = m.Seconds / 86400;
  if (m.Seconds % 86400 < 0) --days;
  int y = 0, mo = 0, d = 0;
  CivilFromDays(days + Days1970To2000, y, mo, d);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", y, mo, d);
  return buf;
}

std::string MomentTime(Moment m) {
  long long s = m.Seconds % 86400;
  if (s < 0) s += 86400;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
  return buf;
}

double MomentSheetDay(Moment m) {
  long long days = m.Seconds / 86400;
  if (m.Seconds % 86400 < 0) --days;
  return static_cast<double>(days + 36526);
}

double MomentSheetTime(Moment m) {
  long long s = m.Seconds % 86400;
  if (s < 0) s += 86400;
  return static_cast<double>(s) / 86400.0;
}

std::string RemainText(std::string_view directory) {
  auto b = [&](std::size_t i) { return i < directory.size() ? static_cast<unsigned char>(directory[i]) : 0u; };
  if (b(0) == 10) return "0 K";
  const double used = b(1) * 65536.0 + b(2) * 256.0 + b(3);
  // FormatPattern always writes a point, whatever the locale.
  return FormatPattern(512.0 - used / 1024.0, "0.0") + " K";
}

int DirectorySetCount(std::string_view directory) {
  if (directory.size() < 4) return 0;
  const int n = static_cast<unsigned char>(directory[0]);
  return std::min<int>(n, static_cast<int>((directory.size() - 4) / cmd::SetEntrySize));
}

std::vector<std::string> DirectoryRows(std::string_view directory, std::string mode) {
  std::vector<std::string> rows;
  const int n = DirectorySetCount(directory);
  for (int i = 1; i <= n; ++i) {
    SetEntry e = ParseSetEntry(directory.substr(4 + cmd::SetEntrySize * static_cast<std::size_t>(i - 1)));
    if (const char* m = WiringModeText(e.Wiring % 16)) mode = m;
    rows.push_back(std::to_string(i) + '\t' + EntryDateText(e) + '\t' + EntryTimeText(e) + '\t' + mode + '\t' +
                   std::to_string(e.RecordCount) + '\t' + std::to_string(e.Interval));
  }
  return rows;
}

std::string LoggerSetTitle(int set, const SetEntry& entry) {
  std::string title = "Logger set " + std::to_string(set);
  if (Moment start; EntryStart(entry, start)) title += ", " + MomentDate(start) + " " + MomentTime(start).substr(0, 5);
  if (const char* mode = WiringModeText(entry.Wiring % 16)) title += std::string(", ") + mode;
  return title;
}

}  // namespace qelt
