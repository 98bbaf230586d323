#include "sim/Instrument.hpp"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "link/Bcd.hpp"
#include "link/Commands.hpp"
#include "sim/CivilTime.hpp"
#include "sim/FrameEncoding.hpp"
#include "sim/Waveform.hpp"

namespace qelt {
namespace {

constexpr char BadEchoByte = '?';

// Whether b can be field i (year, month, day, hour, minute, second) of a clock.
bool ValidClockField(std::size_t i, std::uint8_t b) {
  if (!IsBcd(b)) return false;
  const int v = FromBcd(b);
  switch (i) {
    case 0: return true;
    case 1: return v >= 1 && v <= 12;
    case 2: return v >= 1 && v <= 31;
    case 3: return v <= 23;
    default: return v <= 59;
  }
}

bool ValidDate(const DateTime& t) {
  // A date that does not exist (31 June) does not survive the round trip.
  DateTime back = FromCivilSeconds(ToCivilSeconds(t));
  return back.Year == t.Year && back.Month == t.Month && back.Day == t.Day;
}

}  // namespace

Instrument::Instrument(InstrumentSettings settings)
    : settings_(std::move(settings)), load_(settings_.Load), rng_(settings_.Seed) {
  clockBase_ = ToCivilSeconds(settings_.Clock.value_or(DateTime{2000, 1, 1, 0, 0, 0}));
  logger_.LoadPreset(settings_.Logger, settings_.Load, rng_);
}

bool Instrument::IsSilent() const {
  const FaultSettings& f = settings_.Faults;
  return f.Silent || (f.SilentAfter >= 0 && commands_ >= f.SilentAfter);
}

void Instrument::Receive(std::string_view bytes, double now) {
  if (listener_ && !bytes.empty()) listener_->BytesReceived(bytes, now);
  for (char c : bytes) {
    if (IsSilent()) {
      pending_ = Pending::None;
      continue;
    }
    const auto b = static_cast<std::uint8_t>(c);
    if (pending_ != Pending::None && now - lastByteAt_ > settings_.CommandTimeout) pending_ = Pending::None;
    lastByteAt_ = now;
    switch (pending_) {
      case Pending::Clock: ClockByte(b, now); break;
      case Pending::SelectSet:
        pending_ = Pending::None;
        if (c == cmd::Reset) break;  // no set has that number
        selectedSet_ = b;
        blockCursor_ = 0;
        Send(logger_.EntryBytes(selectedSet_), now);
        break;
      case Pending::None: Command(c, now); break;
    }
  }
}

void Instrument::ClockByte(std::uint8_t b, double now) {
  if (b == static_cast<std::uint8_t>(cmd::Reset) && !ValidClockField(clockBytes_.size(), b)) {
    pending_ = Pending::None;
    return;
  }
  clockBytes_.push_back(static_cast<char>(b));
  if (clockBytes_.size() < 6) return;
  pending_ = Pending::None;
  lastClockBytes_ = clockBytes_;
  if (listener_) listener_->ClockReceived(lastClockBytes_);
  DateTime t;
  auto field = [&](std::size_t i) { return static_cast<std::uint8_t>(clockBytes_[i]); };
  lastClockValid_ = true;
  for (std::size_t i = 0; i < 6; ++i) lastClockValid_ = lastClockValid_ && ValidClockField(i, field(i));
  if (lastClockValid_) {
    t = {2000 + FromBcd(field(0)), FromBcd(field(1)), FromBcd(field(2)),
         FromBcd(field(3)),        FromBcd(field(4)), FromBcd(field(5))};
    lastClockValid_ = ValidDate(t);
  }
  if (lastClockValid_) SetClock(t, now);
}

void Instrument::Command(char c, double now) {
  const bool known = c == cmd::Wake || c == cmd::Reset || c == cmd::Reading || c == cmd::SetClock ||
                     c == cmd::Directory || c == cmd::SelectSet || c == cmd::NextBlock || c == cmd::Erase ||
                     (c >= cmd::WaveFirst && c <= cmd::WaveLast);
  if (!known) return;  // line noise from the program's side is ignored
  ++commands_;
  log_.push_back(c);
  if (log_.size() > 4096) log_.erase(0, log_.size() - 4096);
  DropUnsent(now);

  switch (c) {
    case cmd::Wake:
      if (settings_.Faults.BadEcho > 0) {
        --settings_.Faults.BadEcho;
        Send(std::string(1, BadEchoByte), now);
      } else {
        Send(std::string(1, cmd::Wake), now);
      }
      break;
    case cmd::Reset: break;
    case cmd::Reading: SendFrame(now); break;
    case cmd::SetClock:
      pending_ = Pending::Clock;
      clockBytes_.clear();
      break;
    case cmd::Directory: Send(logger_.DirectoryBytes(), now); break;
    case cmd::SelectSet: pending_ = Pending::SelectSet; break;
    case cmd::NextBlock: {
      const auto& sets = logger_.Sets();
      if (selectedSet_ < 1 || selectedSet_ > static_cast<int>(sets.size())) break;
      const std::string& records = sets[static_cast<std::size_t>(selectedSet_ - 1)].Records;
      if (blockCursor_ >= records.size()) break;
      std::string block = records.substr(blockCursor_, cmd::BlockSize);
      blockCursor_ += block.size();
      Send(std::move(block), now);
      break;
    }
    case cmd::Erase:
      logger_.Erase();
      selectedSet_ = 0;
      blockCursor_ = 0;
      break;
    default: {  // 'a'..'f'
      LoadSample sample = load_.Sample(now, rng_);
      Send(PackSamples(WaveformSamples(c - cmd::WaveFirst, sample, load_.Settings().Hz, rng_)), now);
      break;
    }
  }
}

void Instrument::SendFrame(double now) {
  EncodedFrame frame = EncodeLiveFrame(load_.Sample(now, rng_));
  lastTexts_ = frame.Texts;
  lastFrame_ = frame.Bytes;
  if (listener_) listener_->FrameSent(lastTexts_);
  std::string bytes = std::move(frame.Bytes);
  if (rng_.Chance(settings_.Faults.DropFrame)) {
    ++framesDamaged_;
    if (rng_.Chance(0.5)) {
      bytes.back() = static_cast<char>(0x00);  // wrong end mark
    } else {
      // One to three bytes lost somewhere between the marks.
      auto lost = static_cast<std::size_t>(1 + rng_.Below(3));
      auto at = static_cast<std::size_t>(1 + rng_.Below(cmd::FrameSize - 2 - lost));
      bytes.erase(at, lost);
    }
  }
  Send(std::move(bytes), now);
}

void Instrument::Send(std::string bytes, double now) {
  const double noise = settings_.Faults.Noise;
  if (noise > 0) {
    for (char& c : bytes) {
      if (!rng_.Chance(noise)) continue;
      c = static_cast<char>(static_cast<std::uint8_t>(c) ^ static_cast<std::uint8_t>(1 + rng_.Below(255)));
      ++bytesCorrupted_;
    }
  }
  double at = now;
  if (settings_.Paced) {
    at = now + settings_.ReplyLatency;
    if (!queue_.empty()) at = std::max(at, queue_.back().At);
  }
  const double perByte = settings_.Paced ? 1.0 / settings_.BytesPerSecond : 0.0;
  for (std::size_t k = 0; k < bytes.size(); ++k)
    queue_.push_back({at + perByte * static_cast<double>(k + 1), bytes[k]});
}

void Instrument::DropUnsent(double now) {
  while (!queue_.empty() && queue_.back().At > now) queue_.pop_back();
}

std::string Instrument::TakeArrived(double now) {
  std::string out;
  while (!queue_.empty() && queue_.front().At <= now) {
    out.push_back(queue_.front().Value);
    queue_.pop_front();
  }
  return out;
}

std::size_t Instrument::ArrivedCount(double now) const {
  auto it = std::upper_bound(queue_.begin(), queue_.end(), now, [](double t, const Byte& b) { return t < b.At; });
  return static_cast<std::size_t>(it - queue_.begin());
}

double Instrument::NextArrival() const { return queue_.empty() ? Never : queue_.front().At; }

double Instrument::NextArrivalAfter(double t) const {
  auto it = std::upper_bound(queue_.begin(), queue_.end(), t, [](double x, const Byte& b) { return x < b.At; });
  return it == queue_.end() ? Never : it->At;
}

double Instrument::LastArrivalBy(double t) const {
  auto it = std::upper_bound(queue_.begin(), queue_.end(), t, [](double x, const Byte& b) { return x < b.At; });
  return it == queue_.begin() ? -Never : std::prev(it)->At;
}

DateTime Instrument::ClockAt(double now) const {
  return FromCivilSeconds(clockBase_ + static_cast<long long>(std::floor(now - clockAt_)));
}

void Instrument::SetClock(const DateTime& t, double now) {
  clockBase_ = ToCivilSeconds(t);
  clockAt_ = now;
}

bool Instrument::LogSet(int count, int intervalSeconds, double now) {
  if (count < 0 || intervalSeconds < 0) return false;
  const long long end = ToCivilSeconds(ClockAt(now));
  const DateTime start = FromCivilSeconds(end - static_cast<long long>(count) * intervalSeconds);
  const LoadSettings& load = load_.Settings();
  return logger_.LogSet(load, start, load.WiringCode, intervalSeconds, count, rng_);
}

}  // namespace qelt
