#include "analysis/Summary.hpp"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <system_error>

#include "platform/CivilDate.hpp"
#include "records/RecordFileReader.hpp"
#include "records/RecordTable.hpp"
#include "text/NumberText.hpp"

namespace qelt {
namespace {

constexpr std::int64_t SecondsPerDay = 86400;

std::string_view Trim(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// Digits at text[at..at+count), or -1.
int Digits(std::string_view text, std::size_t at, std::size_t count) {
  int value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

constexpr std::array<double, 16> PowersOfTen = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// The usual value text ("-012.3": a sign, digits, one point) read straight,
// as an integer over a power of ten, which is the correctly rounded value
// the general reader gives. Past 15 digits that no longer holds (and the
// integer would overflow past 18): nothing, and the general reading follows.
std::optional<double> PlainNumber(std::string_view text) {
  std::size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
  const bool minus = i == 1;
  std::int64_t mantissa = 0;
  int digits = 0, decimals = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      if (++digits > 15) return std::nullopt;
      mantissa = mantissa * 10 + (c - '0');
      decimals += point ? 1 : 0;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0) return std::nullopt;
  const double value = static_cast<double>(mantissa) / PowersOfTen[static_cast<std::size_t>(decimals)];
  return minus ? -value : value;
}

ValueKind Classify(std::string_view text, double& number) {
  number = 0;
  if (text.empty()) return ValueKind::Missing;
  if (text == "OL" || text == "-OL") return ValueKind::OverRange;
  const std::optional<double> plain = PlainNumber(text);
  number = plain ? *plain : NumericPrefix(text);
  return ValueKind::Number;
}

constexpr int IndexOf(const char* name) { return QuantityIndexOf(name); }

constexpr int TkwIndex = IndexOf("TKW");
constexpr int HzIndex = IndexOf("Hz");
constexpr std::array<int, 3> PowerIndexes = {IndexOf("TKW"), IndexOf("TKVAR"), IndexOf("TKVA")};
constexpr std::array<std::array<int, 3>, 3> PhasePowerIndexes = {{
    {IndexOf("KW1"), IndexOf("KVAR1"), IndexOf("KVA1")},
    {IndexOf("KW2"), IndexOf("KVAR2"), IndexOf("KVA2")},
    {IndexOf("KW3"), IndexOf("KVAR3"), IndexOf("KVA3")},
}};
constexpr std::array<int, 3> VoltageIndexes = {IndexOf("V1"), IndexOf("V2"), IndexOf("V3")};
constexpr std::array<int, 3> CurrentIndexes = {IndexOf("I1"), IndexOf("I2"), IndexOf("I3")};

void AddEnergy(EnergyFigures& energy, const SummaryRecord& record, const std::array<int, 3>& at) {
  const double w = record.Weight / 3600.0;
  const double p = record.Values[static_cast<std::size_t>(at[0])];
  const double q = record.Values[static_cast<std::size_t>(at[1])];
  const double s = record.Values[static_cast<std::size_t>(at[2])];
  energy.KWhImport += std::max(p, 0.0) * w;
  energy.KWhExport += std::max(-p, 0.0) * w;
  energy.KvarhPositive += std::max(q, 0.0) * w;
  energy.KvarhNegative += std::max(-q, 0.0) * w;
  energy.KVAh += s * w;
}

// Within +-1 % of nominal, the bounds included: 50.5 and 60.6 are not exact
// in binary, so a nano-hertz of slack keeps the bound texts inside.
bool WithinOnePercent(double hz, int nominal) { return std::fabs(hz - nominal) <= nominal / 100.0 + 1e-9; }

struct UnbalanceSums {
  double SumPct = 0;
  void Add(UnbalanceFigures& figures, const SummaryRecord& record, const std::array<int, 3>& at) {
    std::array<double, 3> v{};
    for (std::size_t k = 0; k < 3; ++k) {
      const auto i = static_cast<std::size_t>(at[k]);
      if (record.Kinds[i] != ValueKind::Number || !(record.Values[i] > 0)) return;
      v[k] = record.Values[i];
    }
    const double mean = (v[0] + v[1] + v[2]) / 3.0;
    const double deviation = std::max({std::fabs(v[0] - mean), std::fabs(v[1] - mean), std::fabs(v[2] - mean)});
    const double pct = deviation / mean * 100.0;
    ++figures.Records;
    SumPct += pct;
    if (!figures.MaxPct || pct > *figures.MaxPct) {
      figures.MaxPct = pct;
      figures.MaxAt = record.At;
    }
  }
  void Finish(UnbalanceFigures& figures) const {
    if (figures.Records > 0) figures.MeanPct = SumPct / static_cast<double>(figures.Records);
  }
};

// The figures that need no weight, taken as each record is read, and the
// weighted ones, taken once the next record has told the weight.
class Accumulator {
 public:
  Accumulator(Summary& summary, const SummaryOptions& options) : s_(summary), options_(options) {
    s_.Demand.Minutes = options.DemandMinutes;
  }

  void Take(const SummaryRecord& record) {
    ++s_.Records;
    if (!s_.First) s_.First = record.At;
    s_.Last = record.At;
    for (std::size_t i = 0; i < QuantityCount; ++i) {
      QuantityStats& q = s_.Quantities[i];
      switch (record.Kinds[i]) {
        case ValueKind::Missing: ++q.Missing; break;
        case ValueKind::OverRange: ++q.Ol; break;
        case ValueKind::Number: {
          const double v = record.Values[i];
          ++q.Count;
          sums_[i] += v;
          if (!q.Min || v < *q.Min) {
            q.Min = v;
            q.MinAt = record.At;
          }
          if (!q.Max || v > *q.Max) {
            q.Max = v;
            q.MaxAt = record.At;
          }
          break;
        }
      }
    }
    voltage_.Add(s_.VoltageUnbalance, record, VoltageIndexes);
    current_.Add(s_.CurrentUnbalance, record, CurrentIndexes);
    if (record.Kinds[HzIndex] == ValueKind::Number) {
      const double hz = record.Values[HzIndex];
      within50_ += WithinOnePercent(hz, 50);
      within60_ += WithinOnePercent(hz, 60);
    }
    if (pending_) {
      const std::int64_t d = record.At - pending_->At;
      const std::optional<double> interval =
          s_.IntervalS ? std::optional<double>(static_cast<double>(*s_.IntervalS)) : std::nullopt;
      if (d <= 0) {
        ++s_.ClockSteps;
      } else if (interval && static_cast<double>(d) > 2 * *interval) {
        ++s_.Gaps;
        s_.GapS += static_cast<double>(d) - *interval;
      }
      Weigh(RecordWeight(static_cast<double>(d), interval));
    }
    pending_ = record;
  }

  void Finish() {
    if (pending_) Weigh(s_.IntervalS ? static_cast<double>(*s_.IntervalS) : 0.0);
    CloseBlock();
    for (std::size_t i = 0; i < QuantityCount; ++i) {
      QuantityStats& q = s_.Quantities[i];
      if (q.Count > 0) q.Mean = sums_[i] / static_cast<double>(q.Count);
    }
    if (s_.Energy.KVAh != 0) s_.PfAverage = (s_.Energy.KWhImport + s_.Energy.KWhExport) / s_.Energy.KVAh;
    voltage_.Finish(s_.VoltageUnbalance);
    current_.Finish(s_.CurrentUnbalance);
    const QuantityStats& hz = s_.Quantities[HzIndex];
    if (hz.Count > 0) {
      const bool fifty = *hz.Mean < 55;
      s_.Frequency.Nominal = fifty ? 50 : 60;
      s_.Frequency.Within1PctShare = static_cast<double>(fifty ? within50_ : within60_) / static_cast<double>(hz.Count);
    }
    for (std::size_t h = 0; h < 24; ++h)
      if (hourWeight_[h] > 0) s_.HourlyKW[h] = hourKW_[h] / hourWeight_[h];
  }

 private:
  void Weigh(double weight) {
    SummaryRecord& r = *pending_;
    r.Weight = weight;
    s_.CoveredS += weight;
    AddEnergy(s_.Energy, r, PowerIndexes);
    for (std::size_t p = 0; p < 3; ++p) AddEnergy(s_.PerPhase[p], r, PhasePowerIndexes[p]);
    const double kw = r.Values[TkwIndex];

    // Demand blocks from midnight; the last one of a day ends at midnight.
    const std::int64_t day = r.At >= 0 ? r.At / SecondsPerDay : (r.At - SecondsPerDay + 1) / SecondsPerDay;
    const std::int64_t ofDay = r.At - day * SecondsPerDay;
    const std::int64_t blockSeconds = static_cast<std::int64_t>(options_.DemandMinutes) * 60;
    const std::int64_t blockStart = day * SecondsPerDay + ofDay / blockSeconds * blockSeconds;
    if (!blockOpen_ || blockStart != blockStart_) {
      CloseBlock();
      blockOpen_ = true;
      blockStart_ = blockStart;
      blockLength_ = std::min(blockSeconds, day * SecondsPerDay + SecondsPerDay - blockStart);
    }
    blockKW_ += kw * weight;
    blockWeight_ += weight;

    const auto hour = static_cast<std::size_t>(ofDay / 3600);
    hourKW_[hour] += kw * weight;
    hourWeight_[hour] += weight;

    if (options_.OnRecord) options_.OnRecord(r);
  }

  void CloseBlock() {
    if (!blockOpen_) return;
    blockOpen_ = false;
    if (blockWeight_ <= 0 || blockWeight_ < 0.8 * static_cast<double>(blockLength_)) {
      blockKW_ = blockWeight_ = 0;
      return;
    }
    const double demand = blockKW_ / blockWeight_;
    ++s_.Demand.Blocks;
    if (!s_.Demand.PeakKW || demand > *s_.Demand.PeakKW ||
        (demand == *s_.Demand.PeakKW && blockStart_ < *s_.Demand.PeakAt)) {
      s_.Demand.PeakKW = demand;
      s_.Demand.PeakAt = blockStart_;
    }
    blockKW_ = blockWeight_ = 0;
  }

  Summary& s_;
  const SummaryOptions& options_;
  std::optional<SummaryRecord> pending_;
  std::array<double, QuantityCount> sums_{};
  UnbalanceSums voltage_, current_;
  std::int64_t within50_ = 0, within60_ = 0;
  bool blockOpen_ = false;
  std::int64_t blockStart_ = 0, blockLength_ = 0;
  double blockKW_ = 0, blockWeight_ = 0;
  std::array<double, 24> hourKW_{}, hourWeight_{};
};

// Finds T: the most frequent positive difference between consecutive
// moments, the smallest among equally frequent ones.
class IntervalFinder {
 public:
  void Take(Moment at) {
    if (previous_ && at > *previous_) ++counts_[at - *previous_];
    previous_ = at;
  }
  std::optional<std::int64_t> Interval() const {
    std::optional<std::int64_t> best;
    std::int64_t bestCount = 0;
    for (const auto& [difference, count] : counts_)  // ascending: the first of a tie wins
      if (count > bestCount) {
        best = difference;
        bestCount = count;
      }
    return best;
  }

 private:
  std::optional<Moment> previous_;
  std::map<std::int64_t, std::int64_t> counts_;
};

// The number, date and time fields of a row, and where the values begin.
struct RowStart {
  std::string_view Date, Time, Values;
  bool Whole = false;  // all three were there
};

RowStart SplitStart(std::string_view row) {
  RowStart start;
  const std::size_t a = row.find('\t');
  if (a == std::string_view::npos) return start;
  const std::size_t b = row.find('\t', a + 1);
  if (b == std::string_view::npos) return start;
  const std::size_t c = row.find('\t', b + 1);
  start.Date = row.substr(a + 1, b - a - 1);
  start.Time = row.substr(b + 1, c == std::string_view::npos ? std::string_view::npos : c - b - 1);
  if (c == std::string_view::npos) return start;
  start.Values = row.substr(c + 1);
  start.Whole = true;
  return start;
}

// The moment of a record row: at least 31 fields (padShort: any number of
// fields, the missing ones empty) and a valid date and time.
std::optional<Moment> RowMoment(std::string_view row, bool padShort) {
  const RowStart start = SplitStart(row);
  if (!start.Whole && !padShort) return std::nullopt;
  if (!padShort) {
    int tabs = 0;
    for (const char c : start.Values) tabs += c == '\t';
    if (tabs < QuantityCount - 1) return std::nullopt;
  }
  return ReadMoment(start.Date, start.Time);
}

// The 28 value texts after the time, split and read in one sweep; fields
// past them are ignored, missing ones (padShort) are empty.
void FillValues(std::string_view values, SummaryRecord& record) {
  std::size_t at = 0;
  for (std::size_t q = 0; q < QuantityCount; ++q) {
    std::string_view text;
    if (at <= values.size()) {
      const std::size_t tab = values.find('\t', at);
      const std::size_t end = tab == std::string_view::npos ? values.size() : tab;
      text = values.substr(at, end - at);
      at = end + 1;  // past the TAB; past the end when none: the rest are empty
    }
    record.Kinds[q] = Classify(text, record.Values[q]);
  }
}

// Rows of the recording, one source after the other: visit(source, row)
// for each; returns false when stopped or failed (the summary says why).
using RowVisitor = std::function<void(int source, std::string_view row)>;
using RowWalker = std::function<bool(int pass, const RowVisitor& visit)>;

void Run(Summary& summary, const SummaryOptions& options, bool padShort, const RowWalker& walk) {
  // The demand blocks divide the day; a length of 0 would divide by zero.
  if (options.DemandMinutes < MinDemandMinutes || options.DemandMinutes > MaxDemandMinutes) {
    summary.Error = SummaryError::BadOptions;
    summary.Reason = "the demand block must be " + std::to_string(MinDemandMinutes) + " to " +
                     std::to_string(MaxDemandMinutes) + " minutes, not " + std::to_string(options.DemandMinutes);
    return;
  }
  IntervalFinder finder;
  if (!walk(0, [&](int, std::string_view row) {
        if (auto at = RowMoment(row, padShort)) finder.Take(*at);
      }))
    return;
  summary.IntervalS = finder.Interval();
  Accumulator accumulator(summary, options);
  SummaryRecord record;
  if (!walk(1, [&](int source, std::string_view row) {
        auto at = RowMoment(row, padShort);
        if (!at) {
          ++summary.BadRows;
          return;
        }
        record.At = *at;
        record.FileIndex = source;
        FillValues(SplitStart(row).Values, record);
        accumulator.Take(record);
      }))
    return;
  accumulator.Finish();
}

}  // namespace

double RecordWeight(double d, std::optional<double> interval) {
  if (!(d > 0)) return 0;
  if (interval && d > 2 * *interval) return *interval;
  return d;
}

std::string MomentText(Moment moment) {
  std::int64_t day = moment >= 0 ? moment / SecondsPerDay : (moment - SecondsPerDay + 1) / SecondsPerDay;
  std::int64_t ofDay = moment - day * SecondsPerDay;
  int year = 0, month = 0, dayOfMonth = 0;
  CivilFromDays(day, year, month, dayOfMonth);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", year, month, dayOfMonth,
                static_cast<int>(ofDay / 3600), static_cast<int>(ofDay / 60 % 60), static_cast<int>(ofDay % 60));
  return buf;
}

std::optional<Moment> ReadMoment(std::string_view date, std::string_view time) {
  date = Trim(date);
  time = Trim(time);
  if (date.size() != 10 || date[4] != '/' || date[7] != '/') return std::nullopt;
  if (time.size() != 8 || time[2] != ':' || time[5] != ':') return std::nullopt;
  const int year = Digits(date, 0, 4), month = Digits(date, 5, 2), day = Digits(date, 8, 2);
  const int hour = Digits(time, 0, 2), minute = Digits(time, 3, 2), second = Digits(time, 6, 2);
  if (year < 0 || month < 1 || month > 12 || day < 1) return std::nullopt;
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return std::nullopt;
  static constexpr std::array<int, 12> monthDays = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (day > monthDays[static_cast<std::size_t>(month - 1)] || (month == 2 && day == 29 && !leap)) return std::nullopt;
  return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * SecondsPerDay +
         std::int64_t{hour} * 3600 + std::int64_t{minute} * 60 + second;
}

Summary Summarize(const std::vector<std::string>& files, const SummaryOptions& options,
                  const SummaryProgress& progress) {
  Summary summary;
  summary.Files = files;
  std::uint64_t total = 0;
  std::vector<std::uint64_t> sizes;
  for (const std::string& file : files) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    sizes.push_back(ec ? 0 : size);
    total += sizes.back();
  }
  total *= 2;  // two passes
  std::uint64_t before = 0;
  auto walk = [&](int, const RowVisitor& visit) {
    for (std::size_t i = 0; i < files.size(); ++i) {
      const int source = static_cast<int>(i);
      RecordFileResult read = ReadRecordFile(
          files[i], [&](int, std::string_view row) { visit(source, row); }, {},
          [&](std::uint64_t bytes) { return !progress || progress(std::min(before + bytes, total), total); });
      if (read.Stopped) {
        summary.Error = SummaryError::Cancelled;
        return false;
      }
      if (!read.Ok) {
        summary.Error = SummaryError::Unreadable;
        summary.Reason = files[i] + ": " + read.Reason;
        return false;
      }
      before += sizes[i];
    }
    return true;
  };
  Run(summary, options, false, walk);
  return summary;
}

Summary SummarizeGrids(const std::vector<const GridRows*>& grids, const SummaryOptions& options,
                       const SummaryProgress& progress) {
  Summary summary;
  std::uint64_t total = 0;
  for (const GridRows* grid : grids)
    total += grid && grid->Rows() > 1 ? static_cast<std::uint64_t>(grid->Rows() - 1) : 0;
  total *= 2;
  std::uint64_t done = 0;
  bool cancelled = false;
  auto walk = [&](int, const RowVisitor& visit) {
    for (std::size_t g = 0; g < grids.size(); ++g) {
      if (!grids[g]) continue;
      for (int r = 1; r < grids[g]->Rows(); ++r) {
        visit(static_cast<int>(g), grids[g]->RowText(r));
        if (++done % 4096 == 0 && progress && !progress(done, total)) {
          cancelled = true;
          return false;
        }
      }
    }
    return true;
  };
  Run(summary, options, true, walk);
  if (cancelled) summary.Error = SummaryError::Cancelled;
  return summary;
}

SummaryProgress InPermille(const std::function<bool(int permille)>& permille) {
  return [&permille](std::uint64_t done, std::uint64_t total) {
    return permille(total > 0 ? static_cast<int>(done * 1000 / total) : 0);
  };
}

}  // namespace qelt
