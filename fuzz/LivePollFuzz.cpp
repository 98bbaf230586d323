// The live poll against a port that answers with arbitrary bytes, on the
// virtual clock: no crash; a tick that reads gives well-formed values and
// counts one reading; a tick that does not leaves the reading alone; no tick
// outlives its deadline, and each one hands the port back.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ScriptedPort.hpp"
#include "ValueText.hpp"
#include "link/ExchangeGuard.hpp"
#include "link/Link.hpp"
#include "link/LiveReading.hpp"
#include "link/MeterState.hpp"
#include "panel/LivePoll.hpp"
#include "platform/VirtualHost.hpp"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::array<std::string, qelt::QuantityCount> Texts(const qelt::LiveReading& reading) {
  std::array<std::string, qelt::QuantityCount> texts;
  for (int i = 0; i < qelt::QuantityCount; ++i) texts[static_cast<std::size_t>(i)] = reading.ByIndex(i);
  return texts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  // The first byte: the time of day the poll starts at. The last second
  // before midnight is left out: its pauses end at once, which makes a
  // silent port cost a hundred thousand wake-up bytes per run.
  const double start = 3600.0 + data[0] * 300.0 + data[0] / 7.0;
  qelt::VirtualHost host(start);
  qelt::fuzz::ScriptedPort port(host, std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  qelt::Link link(host, port);
  qelt::ExchangeGuard guard;
  qelt::MeterState meter;
  qelt::LiveReading reading;
  qelt::LivePoll poll(link, guard, meter, reading);

  const double deadline = host.Monotonic() + 30.0;
  for (int tick = 0; tick < 3; ++tick) {
    const auto before = Texts(reading);
    const auto serial = meter.ReadingSerial;
    const qelt::PollOutcome outcome = poll.Tick({deadline});
    Check(!guard.Busy());
    Check(host.Monotonic() <= deadline + 0.5);
    if (outcome == qelt::PollOutcome::Reading) {
      Check(meter.ReadingSerial == serial + 1);
      for (int i = 0; i < qelt::QuantityCount; ++i)
        Check(qelt::fuzz::IsValueText(reading.ByIndex(i), qelt::IsThreeDecimal(i)));
      Check(meter.WiringCode >= 0 && meter.WiringCode < 16);
    } else {
      Check(outcome != qelt::PollOutcome::Busy);
      Check(meter.ReadingSerial == serial && Texts(reading) == before);
    }
    if (outcome == qelt::PollOutcome::Abandoned) break;
  }
  return 0;
}
