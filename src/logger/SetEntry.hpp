#pragma once
// The 10-byte set entry (in the directory and after "K") and the texts the
// logger window and the data lists make of it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qelt {

struct SetEntry {
  int RecordCount = 0;
  std::uint8_t Date[3] = {0, 0, 0};  // BCD year, month, day
  std::uint8_t Time[3] = {0, 0, 0};  // BCD hour, minute, second
  std::uint8_t Wiring = 0;           // low four bits: the wiring code
  int Interval = 0;                  // seconds between records
};

// Fewer than 10 bytes give an entry of 0 records.
SetEntry ParseSetEntry(std::string_view bytes);

// yy/mm/dd and hh:mm:ss, two hex digits per byte.
std::string EntryDateText(const SetEntry& entry);
std::string EntryTimeText(const SetEntry& entry);

// What a data list of the set holds: "Logger set 2, 2011/08/02 08:00, 3P4W"
// (the start and the mode left out where the entry has none).
std::string LoggerSetTitle(int set, const SetEntry& entry);

// A civil moment as seconds from 2000-01-01 00:00:00.
struct Moment {
  long long Seconds = 0;
};

// The start moment 20yy/mm/dd hh:mm:ss; false when the bytes are not a valid
// date and time.
bool EntryStart(const SetEntry& entry, Moment& start);
// "yyyy/mm/dd" and "hh:nn:ss".
std::string MomentDate(Moment m);
std::string MomentTime(Moment m);
// The same moment as a spreadsheet keeps it: the day as days since
// 1899-12-30 (2000/01/01 is 36526), the time as a fraction of a day.
double MomentSheetDay(Moment m);
double MomentSheetTime(Moment m);

// "487.0 K"; "0 K" when 10 sets are stored. The directory has at least 4 bytes.
std::string RemainText(std::string_view directory);

// The set rows of the logger window's grid, as TAB-separated texts: number,
// date, time, mode, records, interval. mode is the mode text to begin with;
// an unknown wiring code keeps the previous one. Reads only entries that are
// present in full.
std::vector<std::string> DirectoryRows(std::string_view directory, std::string mode);

// How many set entries the directory holds in full (at most its first byte).
int DirectorySetCount(std::string_view directory);

}  // namespace qelt
