#pragma once
// Voltage quality of a recording against EN 50160: 10-minute voltages,
// frequency, unbalance, dips, swells and interruptions, and a verdict. It
// takes the summary's files, rows, interval and weights: one summary pass
// finds the phases, the nominal voltage and frequency, a second streams the
// records into the event tracks and the 10-minute blocks. No record is kept;
// what grows is one small entry per block and per event. Qt-free; any
// thread may call it, the progress callback runs on that thread.
//
// Units: volts, hertz, seconds; percentages 0..100; shares 0..1.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/Summary.hpp"

namespace qelt {

struct QualityOptions {
  std::optional<double> NominalV;  // the declared voltage, above 0; else the nearest standard one
  bool LineVoltages = false;       // V1..V3 are line-to-line magnitudes
};

enum class QualityEventKind : std::uint8_t { Dip, Swell, Interruption };
const char* QualityEventName(QualityEventKind kind);  // "dip", "swell", "interruption"

struct QualityEvent {
  QualityEventKind Kind = QualityEventKind::Dip;
  Moment Start = 0;
  Moment End = 0;  // the ending record's moment, or (Open) the last one's plus its weight
  std::int64_t DurationS = 0;
  std::optional<double> ExtremeV;  // unset for a swell that went over range
  std::optional<double> ExtremePct;
  std::uint8_t PhaseBits = 0;  // bit p - 1 for phase p
  bool Open = false;
  // The first record: its file (into Quality::Files, or the grids) and its
  // place among that file's record rows, from 1.
  int StartFile = 0;
  std::int64_t StartRow = 0;
  std::vector<int> Phases() const;  // 1..3, ascending
};

// One 10-minute block from midnight.
struct QualityBlock {
  Moment Start = 0;
  double WeightS = 0;
  bool Valid = false;                      // at least 480 s of weight
  bool Flagged = false;                    // valid, and a short dip or swell or an interruption overlaps it
  std::array<std::optional<double>, 3> V;  // r.m.s. of the phase's V numbers
  std::optional<double> UnbalancePct;      // valid, unflagged, three phases taking part
};

struct VoltageFigures {
  std::int64_t Blocks = 0;  // valid unflagged blocks with a value
  std::optional<double> Within10PctShare, Min, Max;
  std::optional<bool> WithinLimits;
};

struct QualityFrequency {
  double Within1PctShare = 0;
  std::optional<double> Min, Max;
  bool WithinLimits = false;
};

struct QualityUnbalance {
  std::int64_t Blocks = 0;
  double Within2PctShare = 0;
  double MaxPct = 0;
  bool WithinLimits = false;
};

enum class QualityVerdict : std::uint8_t { Pass, Fail, Incomplete };
const char* QualityVerdictName(QualityVerdict verdict);  // "pass", "fail", "incomplete"

// Rows of the dip table: 90-80, 80-70, 70-40, 40-5, below 5 % of Un; of the
// swell table: 120 % and above (or over range), below 120 %. Columns by
// duration d: d <= 1 s, 1 < d <= 5 s, 5 < d <= 60 s, d > 60 s.
using EventTable = std::vector<std::array<std::int64_t, 4>>;
inline constexpr std::array<const char*, 5> DipRows = {"90_80", "80_70", "70_40", "40_5", "lt5"};
inline constexpr std::array<const char*, 2> SwellRows = {"ge120", "120_110"};

struct Quality {
  std::vector<std::string> Files;
  std::int64_t Records = 0;
  std::int64_t BadRows = 0;
  std::optional<Moment> First, Last;
  std::optional<std::int64_t> IntervalS;
  double CoveredS = 0;

  std::vector<int> Phases;  // taking part: mean of its V numbers above 50 V
  std::optional<double> NominalV;
  bool NominalGiven = false;
  int NominalHz = 50;
  bool LineVoltages = false;

  std::vector<QualityBlock> Blocks;  // in record order
  std::int64_t ValidBlocks = 0, FlaggedBlocks = 0;
  std::array<std::optional<VoltageFigures>, 3> Voltage;  // set for the taking-part phases
  std::optional<QualityFrequency> Frequency;
  std::optional<QualityUnbalance> Unbalance;

  std::vector<QualityEvent> Events;  // by start; dip, swell, interruption on one start
  EventTable DipTable = EventTable(DipRows.size());
  EventTable SwellTable = EventTable(SwellRows.size());
  std::int64_t Interruptions = 0;
  QualityVerdict Verdict = QualityVerdict::Incomplete;

  SummaryError Error = SummaryError::None;
  std::string Reason;  // with Error: the file and the system's reason
};

// The assessment of a recording's files (see Summarize), or of record grids
// in memory (see SummarizeGrids). Progress runs over both passes.
Quality AssessQuality(const std::vector<std::string>& files, const QualityOptions& options = {},
                      const SummaryProgress& progress = {});
Quality AssessQualityGrids(const std::vector<const GridRows*>& grids, const QualityOptions& options = {},
                           const SummaryProgress& progress = {});

// The negative-sequence unbalance in % of three voltage magnitudes: phase
// voltages 120 degrees apart, or (line) line-to-line magnitudes; unset when
// a + b + c is 0.
std::optional<double> UnbalancePct(double a, double b, double c, bool line);

// The standard nominal voltage nearest to a mean voltage, the lower on a tie.
double NearestNominal(double meanV);

}  // namespace qelt
