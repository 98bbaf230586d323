#include "logger/RecordDecoder.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "link/Decoding.hpp"
#include "link/LiveReading.hpp"
#include "text/NumberText.hpp"

namespace qelt {

double PhaseAngle(double pf, const CosTableArray& cos) {
  if (pf == 0.0) return 90.0;
  for (std::size_t j = 0; j + 1 < cos.size(); ++j) {
    const double c = cos[j], next = cos[j + 1];
    if (pf == c) return static_cast<double>(j) / 10.0;
    if ((pf - c) * (pf - next) <= 0.0) return (static_cast<double>(j) + (pf - c) / (next - c)) / 10.0;
  }
  // Only a factor above 1 (or not a number) gets here.
  return 0.0;
}

namespace {

// A negated zero would print as "-000.0".
double Signed(double value, bool negative) { return negative && value != 0.0 ? -value : value; }

SheetCell CellOf(const std::string& text) {
  SheetCell cell;
  if (text.empty()) return cell;
  // Value texts are digits with one point and an optional "-"; anything else stays text.
  bool numeric = true;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (!((c >= '0' && c <= '9') || c == '.' || (c == '-' && i == 0))) numeric = false;
  }
  if (numeric && text != "-" && text != ".") {
    cell.What = SheetCell::Kind::Number;
    cell.Number = NumericPrefix(text);
  } else {
    cell.What = SheetCell::Kind::Text;
    cell.Text = text;
  }
  return cell;
}

SheetCell NumberCell(double value) {
  SheetCell cell;
  cell.What = SheetCell::Kind::Number;
  cell.Number = value;
  return cell;
}

}  // namespace

RecordDecoder::RecordDecoder(const CosTableArray& cos, std::string_view entry)
    : cos_(cos), entry_(ParseSetEntry(entry)) {
  startValid_ = EntryStart(entry_, start_);
  DecodeWiring(meter_, entry_.Wiring);
  // Over-range flags of stored records are shown as their digits, on the
  // first view and on every later one alike.
  meter_.LoggerDecoding = true;
}

int RecordDecoder::RecordsIn(std::string_view data) const {
  const auto whole = static_cast<long long>(data.size() / RecordBytes);
  return static_cast<int>(std::min<long long>(whole, entry_.RecordCount));
}

bool RecordDecoder::Decode(int r, std::string_view data) {
  if (r < 0 || static_cast<std::size_t>(r + 1) * RecordBytes > data.size()) return false;
  const std::string_view record = data.substr(static_cast<std::size_t>(r) * RecordBytes, RecordBytes);
  number_ = r + 1;
  UnpackFlagsA(meter_, static_cast<std::uint8_t>(record[0]));
  UnpackFlagsB(meter_, static_cast<std::uint8_t>(record[1]));
  if (!meter_.FlagB7) {
    DecodeReadings(record);
    Compute();
    haveReadings_ = true;
  }

  auto& c = cells_;
  c[0] = std::to_string(number_);
  if (startValid_) {
    at_ = Moment{start_.Seconds + static_cast<long long>(r) * entry_.Interval};
    c[1] = MomentDate(at_);
    c[2] = MomentTime(at_);
  } else {
    c[1] = "----/--/--";
    c[2] = "--:--:--";
  }
  for (int p = 0; p < 3; ++p) {
    const Phase& ph = phase_[p];
    const std::size_t base = 3 + 7 * static_cast<std::size_t>(p);
    c[base + 0] = ph.KWCell;
    c[base + 1] = ph.KVAR;
    c[base + 2] = ph.KVACell;
    c[base + 3] = ph.PF;
    c[base + 4] = ph.Theta;
    c[base + 5] = ph.V;
    c[base + 6] = ph.I;
  }
  c[24] = hz_;
  c[25] = i4_;
  c[26] = tkw_;
  c[27] = tkvar_;
  c[28] = tkva_;
  c[29] = tpf_;
  c[30] = ttheta_;
  return true;
}

void RecordDecoder::DecodeReadings(std::string_view record) {
  auto byte = [&](int position) { return static_cast<std::uint8_t>(record[static_cast<std::size_t>(position - 1)]); };
  auto value = [&](int position, bool over, bool negative) {
    return DecodeValue(meter_, byte(position), byte(position + 1), over, 1, negative);
  };
  const MeterState& m = meter_;
  const bool overV[3] = {m.OverV1, m.OverV2, m.OverV3};
  const bool overI[3] = {m.OverI1, m.OverI2, m.OverI3};
  const bool negKW[3] = {m.NegKW1, m.NegKW2, m.NegKW3};
  hz_ = value(3, false, false);
  for (int p = 0; p < 3; ++p) {
    Phase& ph = phase_[p];
    const int at = 5 + 6 * p;
    ph.V = value(at, overV[p], false);
    ph.I = value(at + 2, overI[p], false);
    ph.KW = value(at + 4, false, negKW[p]);
    ph.KWCell = ph.KW;
  }
  i4_ = value(23, m.OverI4, false);
}

void RecordDecoder::Compute() {
  const MeterState& m = meter_;
  const bool negKW[3] = {m.NegKW1, m.NegKW2, m.NegKW3};
  const bool negKVAR[3] = {m.NegKVAR1, m.NegKVAR2, m.NegKVAR3};
  double kwSum = 0, kvaSum = 0, kvarSum = 0;
  for (int p = 0; p < 3; ++p) {
    Phase& ph = phase_[p];
    double kw = NumericPrefix(ph.KW);
    ph.KVA = NumericPrefix(ph.V) * NumericPrefix(ph.I) / 1000.0;
    ph.KVACell = FormatPattern(ph.KVA, "000.0");
    if (std::fabs(ph.KVA) < std::fabs(kw)) {
      // The active power cannot exceed the apparent power.
      kw = negKW[p] ? -ph.KVA : ph.KVA;
      ph.KWCell = negKW[p] ? "-" + ph.KVACell : ph.KVACell;
    }
    ph.KWNumber = kw;
    const double kvar = std::sqrt(std::max(0.0, ph.KVA * ph.KVA - kw * kw));
    const double pf = ph.KVA == 0.0 ? 0.0 : std::fabs(kw / ph.KVA);
    ph.KVAR = FormatPattern(Signed(kvar, negKVAR[p]), "000.0");
    ph.PF = FormatPattern(pf, "0.000");
    ph.Theta = FormatPattern(Signed(PhaseAngle(pf, cos_), negKVAR[p]), "000.0");
    kwSum += kw;
    kvaSum += ph.KVA;
    kvarSum += NumericPrefix(ph.KVAR);
  }
  if (meter_.WiringCode == 4) kvaSum *= std::sqrt(3.0) / 2.0;
  tkw_ = FormatPattern(kwSum, "000.0");
  tkva_ = FormatPattern(kvaSum, "000.0");
  tkvar_ = FormatPattern(kvarSum, "000.0");
  const double tkva = NumericPrefix(tkva_);
  tpf_ = FormatPattern(tkva == 0.0 ? 0.0 : std::fabs(NumericPrefix(tkw_) / tkva), "0.000");
  const std::string angle = FormatPattern(PhaseAngle(NumericPrefix(tpf_), cos_), "000.0");
  ttheta_ = NumericPrefix(tkvar_) < 0.0 ? "-" + angle : angle;
}

std::string RecordDecoder::RowText() const {
  std::string row;
  row.reserve(200);
  for (std::size_t i = 0; i < cells_.size(); ++i) {
    if (i) row += '\t';
    row += cells_[i];
  }
  return row;
}

std::array<SheetCell, ListColumns> RecordDecoder::SheetRow() const {
  std::array<SheetCell, ListColumns> s;
  s[0] = NumberCell(number_);
  if (startValid_) {
    // Real dates and times, so that the sheet sorts and charts them.
    s[1] = {SheetCell::Kind::Date, MomentSheetDay(at_), {}};
    s[2] = {SheetCell::Kind::Time, MomentSheetTime(at_), {}};
  } else {
    for (std::size_t i : {1, 2}) s[i] = {SheetCell::Kind::Text, 0, cells_[i]};
  }
  for (std::size_t i = 3; i < cells_.size(); ++i) s[i] = CellOf(cells_[i]);
  if (haveReadings_) {
    for (int p = 0; p < 3; ++p) {
      const std::size_t base = 3 + 7 * static_cast<std::size_t>(p);
      s[base] = NumberCell(phase_[p].KWNumber);
      s[base + 2] = NumberCell(phase_[p].KVA);
    }
  }
  return s;
}

const std::array<std::string, ListColumns>& DataListTitles() {
  static const std::array<std::string, ListColumns> titles = [] {
    std::array<std::string, ListColumns> t;
    t[0] = "No.s";
    t[1] = "      Date";
    t[2] = "    Time";
    for (std::size_t i = 0; i < QuantityNames.size(); ++i) t[i + 3] = QuantityNames[i];
    return t;
  }();
  return titles;
}

const std::array<std::string, ListColumns>& SheetTitles() {
  static const std::array<std::string, ListColumns> titles = [] {
    std::array<std::string, ListColumns> t = DataListTitles();
    t[1] = "Date";
    t[2] = "Time";
    return t;
  }();
  return titles;
}

}  // namespace qelt
