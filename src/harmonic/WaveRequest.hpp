#pragma once
// The waveform exchange of "OK": passes of wake-up, 0.2 s and the request
// letter until the selection stayed the same over a whole pass, then the
// 243-byte reply and "E". Every wait lets the event loop run, so the user may
// change the selection meanwhile (one more pass) or close the window (the
// ticket is taken away and the exchange ends without touching the port).
#include <functional>
#include <string>

#include "link/ExchangeGuard.hpp"
#include "link/Link.hpp"

namespace qelt {

// The three texts the repeat test compares.
struct PhaseSelection {
  std::string Phase;
  std::string Multiply;
  std::string VI;
  bool operator==(const PhaseSelection&) const = default;
};

// The six items of the signal list, in order; their letters are "a".."f".
inline constexpr const char* PhaseItems[6] = {"A Phase Voltage", "B Phase Voltage", "C Phase Voltage",
                                              "A Phase Current", "B Phase Current", "C Phase Current"};

// 'a'..'f' for one of the six item texts (exactly), '\0' otherwise.
char RequestLetter(const std::string& phaseText);

// A reply that stops for this long, or grows past 243 bytes, ends the exchange.
inline constexpr double ReplyStallSeconds = 3.0;
inline constexpr double PassPause = 0.2;

enum class WaveOutcome {
  Complete,   // exactly 243 bytes
  Stalled,    // no new byte for ReplyStallSeconds
  TooLong,    // more than 243 bytes
  Abandoned,  // the ticket was taken or its deadline passed; the port is left alone
};

struct WaveReply {
  WaveOutcome Outcome = WaveOutcome::Abandoned;
  std::string Bytes;  // what came
  int Passes = 0;
};

// Runs the passes and collects the reply; writes "E" unless abandoned.
// current() is read at every pass. The ticket must be held by the caller.
WaveReply RequestWave(Link& link, const ExchangeGuard::Ticket& ticket, const std::function<PhaseSelection()>& current);

// "The instrument stopped sending the waveform after 180 of 243 bytes. ..."
std::string WaveFailureMessage(const WaveReply& reply);

}  // namespace qelt
