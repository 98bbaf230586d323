#pragma once
// The PC's serial receiver as a reading program meets it. A UART does not
// hand on every byte as it comes off the line: its receive FIFO passes them
// on once it holds the trigger level, or once the line has been quiet for a
// few character times. The pseudo-terminal simulator delivers paced replies
// the same way, so that a client wakes about as often as on a real port
// (a 61-byte frame in five pieces, not in thirty).
#include <cstddef>

#include "sim/Instrument.hpp"

namespace qelt {

struct ReceiveFifo {
  std::size_t Trigger = 14;    // bytes; the highest trigger level of the common UARTs
  double QuietCharacters = 4;  // character times of silence that pass on what it holds
};

struct FifoStep {
  std::size_t Release = 0;               // arrived bytes to hand on now: all of them, or none while they wait
  double NextCheck = Instrument::Never;  // when to look again, once Release is taken
};

// For the reply bytes queued in the instrument, on the instrument's clock.
// Unpaced replies are handed on as they arrive.
FifoStep ReceiveFifoAt(const Instrument& instrument, double now, const ReceiveFifo& fifo = {});

}  // namespace qelt
