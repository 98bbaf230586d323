#pragma once
// The logger's own exchanges: downloading one set ("K", the set number, the
// 10-byte entry, then 256-byte blocks on "k") and erasing the memory ("G").
// Every wait lets the event loop run; a wait with no new byte for
// SetStallLimit seconds ends the download. A cancelled download leaves the
// line quiet: the block under way is let come and dropped, and "E" ends a
// "K" that still waits for its set number.
#include <cstddef>
#include <functional>
#include <string>

#include "link/ExchangeGuard.hpp"
#include "link/Link.hpp"

namespace qelt {

inline constexpr double SetStallLimit = 3.0;  // seconds without a new byte
// After a cancel: the line is quiet once no byte came for SettleGap seconds,
// or after SettleLimit seconds whatever comes (a block takes 0.13 s).
inline constexpr double SettleGap = 0.05;
inline constexpr double SettleLimit = 0.5;

enum class DownloadOutcome {
  Complete,   // Entry and Data hold the whole set
  Busy,       // another exchange holds the port; nothing was sent
  Stalled,    // no new byte for SetStallLimit seconds
  Cancelled,  // the caller's cancel check said so
  Abandoned,  // the deadline passed or the port was taken
};

struct DownloadResult {
  DownloadOutcome Outcome = DownloadOutcome::Busy;
  std::string Entry;         // the 10-byte set entry
  std::string Data;          // the record bytes
  std::size_t Expected = 0;  // bytes of the stage that stopped: 10 for the entry, else the set's size
  std::size_t Received = 0;  // of those, how many came
};

struct DownloadHooks {
  std::function<void(int percent)> Fill;  // progress 0..100 as bytes arrive
  // The record bytes come so far (at most total) and the set's total, first
  // with 0 once the entry is there.
  std::function<void(std::size_t received, std::size_t total)> Bytes;
  std::function<bool()> Cancelled;                     // checked after every wait
  double Deadline = ExchangeGuard::Ticket().Deadline;  // monotonic time the wake-up gives up at
};

// Downloads set setNumber (1..99).
DownloadResult DownloadLoggerSet(Link& link, ExchangeGuard& guard, int setNumber, const DownloadHooks& hooks);

// Wake-up, then "G"; nothing is read back. False when the port was busy or
// the exchange was abandoned before "G" went out.
bool EraseLoggerMemory(Link& link, ExchangeGuard& guard, double deadline = ExchangeGuard::Ticket().Deadline);

// The message for a download that stopped: names the set and the bytes that came.
std::string DownloadStalledMessage(int setNumber, std::size_t received, std::size_t expected);

}  // namespace qelt
