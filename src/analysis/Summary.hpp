#pragma once
// The summary of a recording: per-quantity statistics, energy, demand,
// unbalance, frequency and the hourly profile, streamed over the recording's
// files (a measurement file and its continuation files, or a saved list).
// Memory does not grow with the number of records. Qt-free; any thread may
// call it, the callbacks run on that thread.
//
// Units: powers kW, kvar, kVA; energies kWh, kvarh, kVAh; times in seconds;
// percentages 0..100; shares 0..1.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/LiveReading.hpp"
#include "platform/GridRows.hpp"
#include "records/RecordingFiles.hpp"

namespace qelt {

// A moment as written in a record, "yyyy/mm/dd" "hh:nn:ss", counted in
// seconds from 1970/01/01 00:00:00 of the same clock (no time zone).
using Moment = std::int64_t;
// "yyyy/mm/dd hh:nn:ss"
std::string MomentText(Moment moment);
// The moment of a date cell and a time cell (blanks around them allowed);
// nothing when they do not read as a valid date and time of day.
std::optional<Moment> ReadMoment(std::string_view date, std::string_view time);

// What one value text holds: a number, over-range ("OL", "-OL") or nothing
// (an empty text).
enum class ValueKind : std::uint8_t { Number, OverRange, Missing };

struct QuantityStats {
  std::int64_t Count = 0;    // texts that are numbers
  std::int64_t Ol = 0;       // "OL" and "-OL"
  std::int64_t Missing = 0;  // empty texts
  // Set when Count > 0; the moments are those of the first occurrence.
  std::optional<double> Min, Max, Mean;
  std::optional<Moment> MinAt, MaxAt;
};

struct EnergyFigures {
  double KWhImport = 0;      // sum of max(P, 0) x w / 3600
  double KWhExport = 0;      // sum of max(-P, 0) x w / 3600
  double KvarhPositive = 0;  // sum of max(Q, 0) x w / 3600
  double KvarhNegative = 0;  // sum of max(-Q, 0) x w / 3600
  double KVAh = 0;           // sum of S x w / 3600
};

struct DemandFigures {
  int Minutes = 15;
  std::int64_t Blocks = 0;  // blocks covered to at least 80 %
  std::optional<double> PeakKW;
  std::optional<Moment> PeakAt;  // the start of the peak block
};

struct UnbalanceFigures {
  std::int64_t Records = 0;  // records where all three phases are numbers above 0
  std::optional<double> MaxPct;
  std::optional<Moment> MaxAt;
  std::optional<double> MeanPct;
};

struct FrequencyFigures {
  std::optional<int> Nominal;             // 50 or 60; unset without Hz numbers
  std::optional<double> Within1PctShare;  // Hz numbers within +-1 % of Nominal, of all Hz numbers
};

// Why a summary could not be made of a file.
enum class SummaryError {
  None,
  Unreadable,  // a file of the recording is missing or cannot be read (Reason says which and why)
  Cancelled,   // the progress callback asked to stop
  BadOptions,  // SummaryOptions outside their range (Reason says which); nothing was read
};

struct Summary {
  std::vector<std::string> Files;  // full paths, in reading order
  std::int64_t Records = 0;        // record rows used
  std::int64_t BadRows = 0;        // fewer than 31 fields, or no valid moment
  std::optional<Moment> First, Last;
  std::optional<std::int64_t> IntervalS;  // T; unset without a positive difference
  double CoveredS = 0;                    // sum of the weights
  std::int64_t Gaps = 0;
  double GapS = 0;
  std::int64_t ClockSteps = 0;

  std::array<QuantityStats, QuantityCount> Quantities;  // QuantityIndex order

  EnergyFigures Energy;                   // from TKW, TKVAR, TKVA
  std::array<EnergyFigures, 3> PerPhase;  // [0] from KW1, KVAR1, KVA1, ...
  std::optional<double> PfAverage;        // (import + export) / kVAh; unset when kVAh is 0

  DemandFigures Demand;
  UnbalanceFigures VoltageUnbalance;  // V1..V3
  UnbalanceFigures CurrentUnbalance;  // I1..I3
  FrequencyFigures Frequency;
  std::array<std::optional<double>, 24> HourlyKW;  // sum of TKW x w / sum of w per hour of day

  SummaryError Error = SummaryError::None;
  std::string Reason;  // with Error: the file and the system's reason
};

// One record as the summary weighs it, handed to SummaryOptions::OnRecord in
// record order once its weight is known.
struct SummaryRecord {
  Moment At = 0;
  double Weight = 0;                           // seconds it stands for
  int FileIndex = 0;                           // into Summary::Files (or the grids)
  std::array<double, QuantityCount> Values{};  // 0 where Kinds is not Number
  std::array<ValueKind, QuantityCount> Kinds{};
};

inline constexpr int MinDemandMinutes = 1;
inline constexpr int MaxDemandMinutes = 1440;

struct SummaryOptions {
  int DemandMinutes = 15;  // MinDemandMinutes..MaxDemandMinutes, else the summary is BadOptions
  // Optional: every record used, in order, with its weight.
  std::function<void(const SummaryRecord&)> OnRecord;
};

// Progress over the whole work (two passes over the files): done of total,
// in bytes. Returning false stops the summary (Error = Cancelled).
using SummaryProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;
// A progress told in per mille as a SummaryProgress; it refers to permille,
// which must outlive it.
SummaryProgress InPermille(const std::function<bool(int permille)>& permille);

// The summary of the files in the order given; each file's first line is its
// header. A recording's files come from RecordingFiles(path, single).
Summary Summarize(const std::vector<std::string>& files, const SummaryOptions& options = {},
                  const SummaryProgress& progress = {});

// The summary of record grids already in memory (a list window's rows; row 0
// of each grid holds the titles and is skipped), one after the other: the
// same figures. A grid row always has its 31 cells (empty where not filled).
Summary SummarizeGrids(const std::vector<const GridRows*>& grids, const SummaryOptions& options = {},
                       const SummaryProgress& progress = {});

// The seconds a record stands for when the next one comes d seconds after
// it: none when the clock stood or stepped back, one interval across a gap
// (more than twice the interval), else d.
double RecordWeight(double d, std::optional<double> interval);

// What a list window holds, for its summary and its report.
struct SummarySource {
  std::string Title;  // in the caption: the list's caption
  // The list's rows now, copied (row 0 of each grid holds the titles).
  std::function<std::vector<GridRows>()> Rows;
  // File List: its file, named in the figures; with continuation files
  // beside it, the recording's files, offered as "Whole recording".
  std::string File;
  std::vector<std::string> WholeRecording;
  bool Live = false;  // a snapshot of a growing list: "Refresh"
  // The wiring is known to be 3P3W (a data list's set): V1..V3 are
  // line-to-line magnitudes for the voltage quality.
  bool LineVoltages = false;
};

}  // namespace qelt
