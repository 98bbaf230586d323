#include "sim/ReceiveFifo.hpp"

#include <algorithm>

namespace qelt {

FifoStep ReceiveFifoAt(const Instrument& instrument, double now, const ReceiveFifo& fifo) {
  FifoStep step;
  step.NextCheck = instrument.NextArrivalAfter(now);
  const std::size_t held = instrument.ArrivedCount(now);
  if (held == 0) return step;
  const InstrumentSettings& settings = instrument.Settings();
  if (!settings.Paced) {
    step.Release = held;
    return step;
  }
  // The next byte is later than now, so a line quiet since the last one
  // stays quiet until then.
  const double quietAt = instrument.LastArrivalBy(now) + fifo.QuietCharacters / settings.BytesPerSecond;
  if (held >= fifo.Trigger || now >= quietAt) {
    step.Release = held;
  } else {
    step.NextCheck = std::min(step.NextCheck, quietAt);
  }
  return step;
}

}  // namespace qelt
