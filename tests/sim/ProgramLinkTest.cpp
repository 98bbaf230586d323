// The program's own wake-up handshake against the paced simulator: the echo
// must come within its 0.02 s pause, and faults must look as they would on a
// real line.
#include <gtest/gtest.h>

#include <algorithm>

#include "SimTestSupport.hpp"
#include "link/Commands.hpp"
#include "link/ExchangeGuard.hpp"
#include "link/Link.hpp"

namespace qelt::test {
namespace {

TEST(ProgramLink, WakeUpFitsThePauseAndFaultsShowAsOnALine) {
  for (int badEcho : {0, 3}) {
    InstrumentSettings s;
    s.Faults.BadEcho = badEcho;
    SimBench sim(s);
    Link link(sim.host, sim.port);
    ExchangeGuard guard;
    auto ticket = guard.TakeForCommand();
    sim.port.ClearWritten();
    ASSERT_TRUE(link.WakeMeter(ticket));
    // One "w" per try; a wrong echo costs one more try, never a link loss.
    EXPECT_EQ(sim.port.Written(), std::string(static_cast<std::size_t>(badEcho + 1), 'w'));
  }

  InstrumentSettings s;
  s.Faults.Silent = true;
  SimBench sim(s);
  Link link(sim.host, sim.port);
  ExchangeGuard guard;
  auto ticket = guard.TakeForCommand();
  ticket.Deadline = sim.host.Monotonic() + 5.0;
  EXPECT_FALSE(link.WakeMeter(ticket));
  const std::string& written = sim.port.Written();
  EXPECT_GE(std::count(written.begin(), written.end(), cmd::Reset), 2);  // the link-lost cycle, about every 2 s
}

}  // namespace
}  // namespace qelt::test
