#pragma once
// Turns the 24-byte records of a logger set into the 31 cells of a data list
// row. It keeps its own working values and meter flags: the live readings
// and the live poll's decoding state are never touched.
#include <array>
#include <string>
#include <string_view>

#include "link/MeterState.hpp"
#include "logger/SetEntry.hpp"
#include "session/CosTable.hpp"

namespace qelt {

inline constexpr std::size_t RecordBytes = 24;
inline constexpr int ListColumns = 31;

// Phase angle in degrees of a power factor from the cosine table, with
// linear interpolation between entries; 90 for 0. A factor that matches no
// entry (above 1) gives 0.
double PhaseAngle(double pf, const CosTableArray& cos);

// A cell of the export sheet: a number, a text, or empty; a date or a time
// is a number shown as yyyy/mm/dd or hh:mm:ss (MomentSheetDay, MomentSheetTime).
struct SheetCell {
  enum class Kind { Empty, Number, Text, Date, Time } What = Kind::Empty;
  double Number = 0;
  std::string Text;
};

class RecordDecoder {
 public:
  // entry is the set's 10-byte entry; its wiring code picks the total
  // apparent power rule.
  RecordDecoder(const CosTableArray& cos, std::string_view entry);

  int RecordCount() const { return entry_.RecordCount; }
  // Records present in data, at most the entry's count.
  int RecordsIn(std::string_view data) const;
  const SetEntry& Entry() const { return entry_; }
  bool StartValid() const { return startValid_; }

  // Decodes record r (from 0) of data into the working values. A record
  // that data does not hold in full, or one flagged as "no reading", leaves
  // the readings of the previous row. Returns false for a missing record.
  bool Decode(int r, std::string_view data);

  // The row of the last decoded record: TAB-separated cells.
  std::string RowText() const;
  // The same record as export cells; KW and KVA as working numbers.
  std::array<SheetCell, ListColumns> SheetRow() const;

  // The row's cells, for tests and the row text.
  const std::array<std::string, ListColumns>& Cells() const { return cells_; }

 private:
  struct Phase {
    std::string V, I, KW, KVAR, PF, Theta;  // value texts as shown
    std::string KWCell, KVACell;            // the grid's KW and KVA texts
    double KVA = 0;                         // unrounded
    double KWNumber = 0;                    // the working KW: decoded or limited to +-KVA
  };
  void DecodeReadings(std::string_view record);
  void Compute();

  const CosTableArray& cos_;
  SetEntry entry_;
  Moment start_;
  Moment at_;  // the moment of the last decoded record
  bool startValid_ = false;
  MeterState meter_;  // flags and LoggerDecoding of the records, apart from the live poll's
  Phase phase_[3];
  std::string hz_, i4_, tkw_, tkvar_, tkva_, tpf_, ttheta_;
  bool haveReadings_ = false;
  int number_ = 0;
  std::array<std::string, ListColumns> cells_;
};

// Header texts of the data list grids (their width samples are the record lists').
const std::array<std::string, ListColumns>& DataListTitles();
// The export sheet's header row ("Date" and "Time" without blanks).
const std::array<std::string, ListColumns>& SheetTitles();

}  // namespace qelt
