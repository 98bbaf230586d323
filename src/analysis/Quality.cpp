#include "analysis/Quality.hpp"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

namespace qelt {
namespace {

constexpr std::array<int, 3> VIndex = {QuantityIndexOf("V1"), QuantityIndexOf("V2"), QuantityIndexOf("V3")};
constexpr int HzIndex = QuantityIndexOf("Hz");
constexpr Moment BlockS = 600;
constexpr double ValidBlockS = 480;
constexpr std::array<double, 13> StandardNominals = {100, 120, 127, 200, 208, 230, 240, 277, 347, 400, 480, 600, 690};

// "P % of x", in the one way every comparison uses it.
double Pct(double x, double p) { return x * p / 100.0; }

Moment BlockOf(Moment at) { return (at >= 0 ? at / BlockS : (at - BlockS + 1) / BlockS) * BlockS; }

// The V readings of one record on the taking-part phases.
struct PhaseReadings {
  std::array<bool, 3> Number{}, Over{};
  std::array<double, 3> V{};
  bool AnyNumber = false, AnyOver = false;
};

// One event track: open while its start condition has held and its end
// condition has not yet.
struct Track {
  explicit Track(QualityEventKind kind) : Kind(kind) {}
  QualityEventKind Kind;
  bool Active = false;
  QualityEvent Event;
  std::array<bool, 3> Phases{};
  bool OverRange = false;
  std::vector<QualityEvent> Done;

  void Include(const PhaseReadings& r, const std::array<bool, 3>& met) {
    for (std::size_t p = 0; p < 3; ++p) {
      Phases[p] = Phases[p] || met[p];
      OverRange = OverRange || r.Over[p];
      if (!r.Number[p]) continue;
      const double v = r.V[p];
      const bool lowest = Kind != QualityEventKind::Swell;
      if (!Event.ExtremeV || (lowest ? v < *Event.ExtremeV : v > *Event.ExtremeV)) Event.ExtremeV = v;
    }
  }
  void Open(Moment at, int file, std::int64_t row) {
    Active = true;
    Event = QualityEvent{};
    Event.Kind = Kind;
    Event.Start = at;
    Event.StartFile = file;
    Event.StartRow = row;
    Phases = {};
    OverRange = false;
  }
  void Close(Moment end, bool open, double un) {
    Active = false;
    Event.End = end;
    Event.Open = open;
    Event.DurationS = end - Event.Start;
    if (Kind == QualityEventKind::Swell && OverRange) Event.ExtremeV.reset();
    if (Event.ExtremeV) Event.ExtremePct = *Event.ExtremeV / un * 100.0;
    for (std::size_t p = 0; p < 3; ++p)
      if (Phases[p]) Event.PhaseBits = static_cast<std::uint8_t>(Event.PhaseBits | (1U << p));
    Done.push_back(Event);
  }
};

struct BlockSums {
  double Weight = 0;
  std::array<double, 3> SquareWeight{}, PhaseWeight{};
};

// The second pass: every record, with its weight, into the three tracks,
// the blocks and the frequency sums.
class QualityStream {
 public:
  QualityStream(Quality& q, std::array<bool, 3> taking) : q_(q), taking_(taking) {
    const double un = q.NominalV.value_or(0);
    dipStart_ = Pct(un, 90);
    dipEnd_ = Pct(un, 92);
    swellStart_ = Pct(un, 110);
    swellEnd_ = Pct(un, 108);
    cutStart_ = Pct(un, 5);
    cutEnd_ = Pct(un, 7);
  }

  void Take(const SummaryRecord& record) {
    if (record.FileIndex != file_) row_ = 0;
    file_ = record.FileIndex;
    ++row_;
    const PhaseReadings r = Readings(record);
    if (q_.NominalV && !q_.Phases.empty()) Events(record.At, r);
    AddToBlock(record, r);
    AddFrequency(record);
    lastAt_ = record.At;
    lastWeight_ = record.Weight;
  }

  void Finish();

 private:
  PhaseReadings Readings(const SummaryRecord& record) const {
    PhaseReadings r;
    for (std::size_t p = 0; p < 3; ++p) {
      if (!taking_[p]) continue;
      const auto i = static_cast<std::size_t>(VIndex[p]);
      r.Number[p] = record.Kinds[i] == ValueKind::Number;
      r.Over[p] = record.Kinds[i] == ValueKind::OverRange;
      r.V[p] = record.Values[i];
      r.AnyNumber = r.AnyNumber || r.Number[p];
      r.AnyOver = r.AnyOver || r.Over[p];
    }
    return r;
  }

  template <class Start, class End>
  void Step(Track& track, Moment at, const PhaseReadings& r, Start startMet, End ends) {
    std::array<bool, 3> met{};
    bool any = false;
    for (std::size_t p = 0; p < 3; ++p) {
      met[p] = startMet(r, p);
      any = any || met[p];
    }
    if (track.Active) {
      if (ends(r))
        track.Close(at, false, q_.NominalV.value_or(0));
      else
        track.Include(r, met);
    }
    if (!track.Active && any && StartsAll(track.Kind, r)) {
      track.Open(at, file_, row_);
      track.Include(r, met);
    }
  }

  // An interruption starts only when every phase with a number is below
  // 5 %; the other two start as soon as one phase meets its condition.
  bool StartsAll(QualityEventKind kind, const PhaseReadings& r) const {
    if (kind != QualityEventKind::Interruption) return true;
    if (!r.AnyNumber || r.AnyOver) return false;
    for (std::size_t p = 0; p < 3; ++p)
      if (r.Number[p] && !(r.V[p] < cutStart_)) return false;
    return true;
  }

  void Events(Moment at, const PhaseReadings& r) {
    Step(
        dip_, at, r, [&](const PhaseReadings& x, std::size_t p) { return x.Number[p] && x.V[p] < dipStart_; },
        [&](const PhaseReadings& x) {
          for (std::size_t p = 0; p < 3; ++p)
            if (x.Number[p] && !(x.V[p] >= dipEnd_)) return false;
          return x.AnyNumber || x.AnyOver;
        });
    Step(
        swell_, at, r,
        [&](const PhaseReadings& x, std::size_t p) { return x.Over[p] || (x.Number[p] && x.V[p] > swellStart_); },
        [&](const PhaseReadings& x) {
          if (!x.AnyNumber || x.AnyOver) return false;
          for (std::size_t p = 0; p < 3; ++p)
            if (x.Number[p] && !(x.V[p] <= swellEnd_)) return false;
          return true;
        });
    Step(
        cut_, at, r, [&](const PhaseReadings& x, std::size_t p) { return x.Number[p] && x.V[p] < cutStart_; },
        [&](const PhaseReadings& x) {
          for (std::size_t p = 0; p < 3; ++p)
            if (x.Over[p] || (x.Number[p] && x.V[p] >= cutEnd_)) return true;
          return false;
        });
  }

  void AddToBlock(const SummaryRecord& record, const PhaseReadings& r) {
    const Moment start = BlockOf(record.At);
    if (!block_ || blockStart_ != start) {
      block_ = &blocks_[start];
      blockStart_ = start;
    }
    const double w = record.Weight;
    block_->Weight += w;
    for (std::size_t p = 0; p < 3; ++p) {
      if (!r.Number[p]) continue;
      block_->SquareWeight[p] += r.V[p] * r.V[p] * w;
      block_->PhaseWeight[p] += w;
    }
  }

  // A record inside an interruption (start <= moment < end) is left out; the
  // last record of an open one ends it when it weighs nothing, so it counts.
  void AddFrequency(const SummaryRecord& record) {
    zeroWeightInside_.reset();
    if (record.Kinds[HzIndex] != ValueKind::Number) return;
    const double hz = record.Values[HzIndex];
    if (cut_.Active) {
      if (record.Weight == 0) zeroWeightInside_ = hz;
      return;
    }
    CountHz(hz, record.Weight);
  }

  void CountHz(double hz, double weight) {
    const auto fn = static_cast<double>(q_.NominalHz);
    hzWeight_ += weight;
    if (hz >= Pct(fn, 99) && hz <= Pct(fn, 101)) hzWithin_ += weight;
    hzMin_ = hzMin_ ? std::min(*hzMin_, hz) : hz;
    hzMax_ = hzMax_ ? std::max(*hzMax_, hz) : hz;
  }

  void FinishBlocks();
  void FinishFigures();

  Quality& q_;
  std::array<bool, 3> taking_;
  double dipStart_ = 0, dipEnd_ = 0, swellStart_ = 0, swellEnd_ = 0, cutStart_ = 0, cutEnd_ = 0;
  Track dip_{QualityEventKind::Dip};
  Track swell_{QualityEventKind::Swell};
  Track cut_{QualityEventKind::Interruption};
  std::map<Moment, BlockSums> blocks_;
  BlockSums* block_ = nullptr;
  Moment blockStart_ = 0;
  Moment lastAt_ = 0;
  double lastWeight_ = 0;
  int file_ = 0;
  std::int64_t row_ = 0;
  std::optional<double> zeroWeightInside_;
  double hzWeight_ = 0, hzWithin_ = 0;
  std::optional<double> hzMin_, hzMax_;
};

void QualityStream::Finish() {
  const Moment end = lastAt_ + std::llround(lastWeight_);
  for (Track* track : {&dip_, &swell_, &cut_})
    if (track->Active) track->Close(end, true, q_.NominalV.value_or(0));
  if (zeroWeightInside_ && !cut_.Done.empty() && cut_.Done.back().Open) CountHz(*zeroWeightInside_, 0);
  // Merged by start; a stable merge keeps dip, swell, interruption on a tie.
  std::vector<QualityEvent>& events = q_.Events;
  events.reserve(dip_.Done.size() + swell_.Done.size() + cut_.Done.size());
  for (Track* track : {&dip_, &swell_, &cut_}) {
    events.insert(events.end(), track->Done.begin(), track->Done.end());
    track->Done = {};
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const QualityEvent& a, const QualityEvent& b) { return a.Start < b.Start; });
  FinishBlocks();
  FinishFigures();
}

int DipRow(double pct) {
  if (pct >= 80) return 0;
  if (pct >= 70) return 1;
  if (pct >= 40) return 2;
  if (pct >= 5) return 3;
  return 4;
}

int DurationColumn(std::int64_t d) {
  if (d <= 1) return 0;
  if (d <= 5) return 1;
  if (d <= 60) return 2;
  return 3;
}

bool FlagsBlocks(const QualityEvent& e) { return e.Kind == QualityEventKind::Interruption || e.DurationS <= 60; }

void QualityStream::FinishBlocks() {
  for (const auto& [start, sums] : blocks_) {
    QualityBlock b;
    b.Start = start;
    b.WeightS = sums.Weight;
    b.Valid = sums.Weight >= ValidBlockS;
    for (std::size_t p = 0; p < 3; ++p)
      if (sums.PhaseWeight[p] > 0) b.V[p] = std::sqrt(sums.SquareWeight[p] / sums.PhaseWeight[p]);
    q_.Blocks.push_back(b);
  }
  auto& blocks = q_.Blocks;
  for (const QualityEvent& e : q_.Events) {
    if (!FlagsBlocks(e)) continue;
    auto it = std::lower_bound(blocks.begin(), blocks.end(), BlockOf(e.Start),
                               [](const QualityBlock& b, Moment at) { return b.Start < at; });
    for (; it != blocks.end() && it->Start < e.End; ++it)
      if (e.Start < it->Start + BlockS && it->Valid) it->Flagged = true;
  }
  const bool three = q_.Phases.size() == 3;
  for (QualityBlock& b : blocks) {
    q_.ValidBlocks += b.Valid;
    q_.FlaggedBlocks += b.Flagged;
    if (three && b.Valid && !b.Flagged && b.V[0] && b.V[1] && b.V[2])
      b.UnbalancePct = UnbalancePct(*b.V[0], *b.V[1], *b.V[2], q_.LineVoltages);
  }
}

void QualityStream::FinishFigures() {
  const double un = q_.NominalV.value_or(0);
  for (const int phase : q_.Phases) {
    const auto p = static_cast<std::size_t>(phase - 1);
    VoltageFigures f;
    std::int64_t within = 0;
    bool limits = true;
    for (const QualityBlock& b : q_.Blocks) {
      if (!b.Valid || b.Flagged || !b.V[p]) continue;
      const double v = *b.V[p];
      ++f.Blocks;
      within += v >= Pct(un, 90) && v <= Pct(un, 110);
      limits = limits && v >= Pct(un, 85) && v <= Pct(un, 110);
      f.Min = f.Min ? std::min(*f.Min, v) : v;
      f.Max = f.Max ? std::max(*f.Max, v) : v;
    }
    if (f.Blocks > 0) {
      f.Within10PctShare = static_cast<double>(within) / static_cast<double>(f.Blocks);
      f.WithinLimits = *f.Within10PctShare >= 0.95 && limits;
    }
    q_.Voltage[p] = f;
  }
  if (hzWeight_ > 0) {
    const auto fn = static_cast<double>(q_.NominalHz);
    QualityFrequency f;
    f.Within1PctShare = hzWithin_ / hzWeight_;
    f.Min = hzMin_;
    f.Max = hzMax_;
    f.WithinLimits = f.Within1PctShare >= 0.995 && *hzMin_ >= Pct(fn, 94) && *hzMax_ <= Pct(fn, 104);
    q_.Frequency = f;
  }
  QualityUnbalance u;
  std::int64_t within = 0;
  for (const QualityBlock& b : q_.Blocks) {
    if (!b.UnbalancePct) continue;
    ++u.Blocks;
    within += *b.UnbalancePct <= 2;
    u.MaxPct = u.Blocks == 1 ? *b.UnbalancePct : std::max(u.MaxPct, *b.UnbalancePct);
  }
  if (u.Blocks > 0) {
    u.Within2PctShare = static_cast<double>(within) / static_cast<double>(u.Blocks);
    u.WithinLimits = u.Within2PctShare >= 0.95;
    q_.Unbalance = u;
  }
}

void FinishTablesAndVerdict(Quality& q) {
  for (const QualityEvent& e : q.Events) {
    const auto column = static_cast<std::size_t>(DurationColumn(e.DurationS));
    switch (e.Kind) {
      case QualityEventKind::Dip: ++q.DipTable[static_cast<std::size_t>(DipRow(*e.ExtremePct))][column]; break;
      case QualityEventKind::Swell: ++q.SwellTable[!e.ExtremePct || *e.ExtremePct >= 120 ? 0 : 1][column]; break;
      case QualityEventKind::Interruption: ++q.Interruptions; break;
    }
  }
  bool failed = q.Frequency && !q.Frequency->WithinLimits;
  failed = failed || (q.Unbalance && !q.Unbalance->WithinLimits);
  bool unknown = q.Phases.empty() || q.ValidBlocks - q.FlaggedBlocks <= 0 || q.CoveredS < 7 * 86400.0;
  for (const auto& v : q.Voltage) {
    if (!v) continue;
    failed = failed || (v->WithinLimits && !*v->WithinLimits);
    unknown = unknown || !v->WithinLimits;
  }
  q.Verdict = failed ? QualityVerdict::Fail : unknown ? QualityVerdict::Incomplete : QualityVerdict::Pass;
}

// What the first pass gives: the phase sums that decide who takes part and Un.
struct PhaseSums {
  std::array<double, 3> Sum{};
  std::array<std::int64_t, 3> Count{};
  void Add(const SummaryRecord& r) {
    for (std::size_t p = 0; p < 3; ++p) {
      const auto i = static_cast<std::size_t>(VIndex[p]);
      if (r.Kinds[i] != ValueKind::Number) continue;
      Sum[p] += r.Values[i];
      ++Count[p];
    }
  }
};

void Setup(Quality& q, const Summary& s, const PhaseSums& sums, const QualityOptions& options) {
  q.Files = s.Files;
  q.Records = s.Records;
  q.BadRows = s.BadRows;
  q.First = s.First;
  q.Last = s.Last;
  q.IntervalS = s.IntervalS;
  q.CoveredS = s.CoveredS;
  q.NominalHz = s.Frequency.Nominal.value_or(50);
  q.LineVoltages = options.LineVoltages;
  double pooled = 0;
  std::int64_t count = 0;
  for (std::size_t p = 0; p < 3; ++p) {
    if (sums.Count[p] == 0 || !(sums.Sum[p] / static_cast<double>(sums.Count[p]) > 50)) continue;
    q.Phases.push_back(static_cast<int>(p) + 1);
    pooled += sums.Sum[p];
    count += sums.Count[p];
  }
  q.NominalGiven = options.NominalV.has_value();
  if (options.NominalV)
    q.NominalV = *options.NominalV;
  else if (count > 0)
    q.NominalV = NearestNominal(pooled / static_cast<double>(count));
}

using Pass = std::function<Summary(const SummaryOptions&, const SummaryProgress&)>;

Quality Assess(const Pass& pass, const QualityOptions& options, const SummaryProgress& progress) {
  Quality q;
  auto half = [&](bool second) -> SummaryProgress {
    if (!progress) return {};
    return [&progress, second](std::uint64_t done, std::uint64_t total) {
      return progress(done + (second ? total : 0), 2 * total);
    };
  };
  PhaseSums sums;
  SummaryOptions first;
  first.OnRecord = [&sums](const SummaryRecord& r) { sums.Add(r); };
  const Summary s = pass(first, half(false));
  q.Error = s.Error;
  q.Reason = s.Reason;
  Setup(q, s, sums, options);
  if (s.Error != SummaryError::None || s.Records == 0) return q;

  std::array<bool, 3> taking{};
  for (const int p : q.Phases) taking[static_cast<std::size_t>(p - 1)] = true;
  QualityStream stream(q, taking);
  SummaryOptions second;
  second.OnRecord = [&stream](const SummaryRecord& r) { stream.Take(r); };
  const Summary again = pass(second, half(true));
  if (again.Error != SummaryError::None) {
    q.Error = again.Error;
    q.Reason = again.Reason;
    return q;
  }
  stream.Finish();
  FinishTablesAndVerdict(q);
  return q;
}

}  // namespace

std::vector<int> QualityEvent::Phases() const {
  std::vector<int> phases;
  for (int p = 0; p < 3; ++p)
    if ((PhaseBits >> p) & 1U) phases.push_back(p + 1);
  return phases;
}

const char* QualityEventName(QualityEventKind kind) {
  switch (kind) {
    case QualityEventKind::Dip: return "dip";
    case QualityEventKind::Swell: return "swell";
    case QualityEventKind::Interruption: return "interruption";
  }
  return "";
}

const char* QualityVerdictName(QualityVerdict verdict) {
  switch (verdict) {
    case QualityVerdict::Pass: return "pass";
    case QualityVerdict::Fail: return "fail";
    case QualityVerdict::Incomplete: return "incomplete";
  }
  return "";
}

std::optional<double> UnbalancePct(double a, double b, double c, bool line) {
  const double sum = a + b + c;
  if (sum == 0) return std::nullopt;
  if (!line) {
    const double spread = a * a + b * b + c * c - a * b - b * c - c * a;
    return std::sqrt(std::max(0.0, spread)) / sum * 100.0;
  }
  const double squares = a * a + b * b + c * c;
  const double beta = (a * a * a * a + b * b * b * b + c * c * c * c) / (squares * squares);
  const double root = std::sqrt(std::max(0.0, 3 - 6 * beta));
  return std::sqrt((1 - root) / (1 + root)) * 100.0;
}

double NearestNominal(double meanV) {
  double best = StandardNominals.front();
  for (const double n : StandardNominals)
    if (std::fabs(meanV - n) < std::fabs(meanV - best)) best = n;
  return best;
}

Quality AssessQuality(const std::vector<std::string>& files, const QualityOptions& options,
                      const SummaryProgress& progress) {
  return Assess([&files](const SummaryOptions& o, const SummaryProgress& p) { return Summarize(files, o, p); }, options,
                progress);
}

Quality AssessQualityGrids(const std::vector<const GridRows*>& grids, const QualityOptions& options,
                           const SummaryProgress& progress) {
  return Assess([&grids](const SummaryOptions& o, const SummaryProgress& p) { return SummarizeGrids(grids, o, p); },
                options, progress);
}

}  // namespace qelt
