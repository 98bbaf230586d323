// The simulated instrument on the virtual clock: wake-up, live frames, pacing,
// commands in pieces, the clock and the interruption of a reply.
#include <gtest/gtest.h>

#include <cmath>

#include "SimTestSupport.hpp"
#include "link/Bcd.hpp"
#include "link/Commands.hpp"
#include "link/Decoding.hpp"
#include "link/LiveReading.hpp"
#include "sim/CivilTime.hpp"
#include "text/NumberText.hpp"

namespace qelt::test {
namespace {

void ExpectSameTexts(const LiveReading& decoded, const LiveReading& expected) {
  for (int i = 0; i < QuantityCount; ++i)
    EXPECT_EQ(decoded.ByIndex(i), expected.ByIndex(i)) << QuantityNames[static_cast<std::size_t>(i)];
}

TEST(Instrument, WakeEchoAndFrameDecodeToTheModelsTexts) {
  SimBench sim;
  const double start = sim.host.Monotonic();
  std::string echo = sim.Exchange("w", 1);
  ASSERT_EQ(echo, "w");
  EXPECT_LT(sim.host.Monotonic() - start, 0.02);  // the wake-up reads after 0.02 s

  for (int poll = 0; poll < 5; ++poll) {
    sim.Wait(0.1);
    std::string frame = sim.Exchange(" ", cmd::FrameSize);
    ASSERT_EQ(frame.size(), cmd::FrameSize);
    ASSERT_TRUE(FrameMarksOk(frame));
    EXPECT_EQ(Byte(frame, 57), 0x08u);  // 3P4W by default

    MeterState state;
    LiveReading reading;
    DecodeLiveFrame(state, frame, reading);
    EXPECT_EQ(state.WiringMode, "3P4W");
    ExpectSameTexts(reading, sim.instrument.LastReadingTexts());
    EXPECT_EQ(frame, sim.instrument.LastFrame());

    // The quantities agree with each other within the rounding of the texts.
    const std::string* phase[3][7] = {
        {&reading.V1, &reading.I1, &reading.KVA1, &reading.KW1, &reading.KVAR1, &reading.PF1, &reading.Theta1},
        {&reading.V2, &reading.I2, &reading.KVA2, &reading.KW2, &reading.KVAR2, &reading.PF2, &reading.Theta2},
        {&reading.V3, &reading.I3, &reading.KVA3, &reading.KW3, &reading.KVAR3, &reading.PF3, &reading.Theta3}};
    double sumKw = 0, sumKva = 0;
    for (auto& p : phase) {
      double v = NumericPrefix(*p[0]), i = NumericPrefix(*p[1]), kva = NumericPrefix(*p[2]);
      double kw = NumericPrefix(*p[3]), kvar = NumericPrefix(*p[4]), pf = NumericPrefix(*p[5]);
      double theta = NumericPrefix(*p[6]);
      EXPECT_NEAR(v, 230, 10);
      EXPECT_NEAR(kva, v * i / 1000, 0.1);
      EXPECT_NEAR(kw, kva * pf, 0.1);
      EXPECT_NEAR(kvar, kva * std::sin(theta * M_PI / 180), 0.1);
      EXPECT_NEAR(pf, std::cos(theta * M_PI / 180), 0.002);
      sumKw += kw;
      sumKva += kva;
    }
    EXPECT_NEAR(NumericPrefix(reading.TKW), sumKw, 0.2);
    EXPECT_NEAR(NumericPrefix(reading.TKVA), sumKva, 0.2);
    EXPECT_NEAR(NumericPrefix(reading.TPF), sumKw / sumKva, 0.01);
    EXPECT_NEAR(NumericPrefix(reading.Hz), 50, 0.1);
  }
}

TEST(Instrument, RepliesArePacedAt19200Baud) {
  SimBench sim;
  sim.host.Advance(1.0);
  const double t0 = sim.host.Monotonic();
  sim.port.Write(" ");
  EXPECT_EQ(sim.port.Pending(), 0u);
  sim.host.Advance(0.001);
  EXPECT_EQ(sim.port.Pending(), 0u);  // the reply latency
  sim.host.Advance(0.016 - 0.001);
  std::size_t half = sim.port.Pending();
  EXPECT_GT(half, 20u);
  EXPECT_LT(half, 40u);
  std::string frame = sim.Collect(cmd::FrameSize);
  ASSERT_EQ(frame.size(), cmd::FrameSize);
  // 61 bytes at 1920 bytes per second, plus the latency: about 32 ms.
  EXPECT_NEAR(sim.host.Monotonic() - t0, 61.0 / 1920.0 + sim.instrument.Settings().ReplyLatency, 1e-9);

  // Unpaced, everything is there at once.
  SimBench fast(Unpaced());
  fast.port.Write(" ");
  EXPECT_EQ(fast.port.Pending(), cmd::FrameSize);
}

TEST(Instrument, CommandsMayArriveInPieces) {
  SimBench sim;
  // "K", 0.2 s, then the set number in a write of its own.
  sim.port.Write("K");
  EXPECT_EQ(sim.Wait(0.2), "");
  std::string entry = sim.Exchange(std::string(1, '\x02'), 10);
  EXPECT_EQ(entry, sim.instrument.Logger().EntryBytes(2));

  // "D" and the six clock bytes 0.02 s apart, one write each.
  sim.port.Write("D");
  for (char b : std::string("\x11\x07\x29\x13\x45\x07", 6)) {
    sim.Wait(0.02);
    sim.port.Write(std::string(1, b));
  }
  EXPECT_EQ(sim.instrument.LastClockBytes(), std::string("\x11\x07\x29\x13\x45\x07", 6));
  DateTime clock = sim.instrument.ClockAt(sim.host.Monotonic());
  EXPECT_EQ(clock.Year, 2011);
  EXPECT_EQ(clock.Month, 7);
  EXPECT_EQ(clock.Day, 29);
  EXPECT_EQ(clock.Hour, 13);
  EXPECT_EQ(clock.Minute, 45);  // 0x45 is data here, not "E"
  EXPECT_EQ(clock.Second, 7);
  // The clock keeps running from there.
  sim.Wait(3600.0);
  EXPECT_EQ(sim.instrument.ClockAt(sim.host.Monotonic()).Hour, 14);

  // A pending command that is never finished does not swallow the next wake-up.
  sim.port.Write("D\x09\x12");
  sim.Wait(2.0);
  EXPECT_EQ(sim.Exchange("w", 1), "w");
  // "E" ends a pending "K" or "D".
  sim.port.Write("KE");
  EXPECT_EQ(sim.Exchange("w", 1), "w");
  sim.port.Write(
      "D\x09"
      "E");
  EXPECT_EQ(sim.Exchange("w", 1), "w");
  EXPECT_EQ(sim.instrument.LastClockBytes(), std::string("\x11\x07\x29\x13\x45\x07", 6));
}

TEST(Instrument, ClockKeepsAnOffsetAndRefusesImpossibleDates) {
  InstrumentSettings s;
  s.Clock = DateTime{2009, 12, 31, 23, 59, 58};
  Instrument instrument(s);
  DateTime later = instrument.ClockAt(3.0);
  EXPECT_EQ(later.Year, 2010);
  EXPECT_EQ(later.Month, 1);
  EXPECT_EQ(later.Day, 1);
  EXPECT_EQ(later.Second, 1);

  instrument.Receive(std::string("D\x11\x02\x30\x10\x00\x00", 7), 10.0);  // 30 February
  EXPECT_FALSE(instrument.LastClockValid());
  EXPECT_EQ(instrument.LastClockBytes().size(), 6u);
  EXPECT_EQ(instrument.ClockAt(10.0).Year, 2010);                         // unchanged
  instrument.Receive(std::string("D\x12\x02\x29\x10\x00\x00", 7), 20.0);  // 2012 was a leap year
  EXPECT_TRUE(instrument.LastClockValid());
  EXPECT_EQ(instrument.ClockAt(20.0).Day, 29);
  // Without a clock of its own the instrument starts at 2000-01-01.
  EXPECT_EQ(Instrument().ClockAt(0.0).Year, 2000);
}

TEST(Instrument, ANewCommandDropsTheUnsentRestOfAReply) {
  SimBench sim;
  sim.port.Write("a");
  std::string early = sim.Wait(0.02);
  EXPECT_GT(early.size(), 0u);
  EXPECT_LT(early.size(), cmd::WaveReplySize);
  // The wake-up of the next pass gets its echo next, not the old samples.
  EXPECT_EQ(sim.Exchange("w", 1), "w");
  EXPECT_EQ(sim.Wait(1.0), "");

  // The program's acquisition: two passes, the reply read after the last.
  sim.port.ReadAll();
  for (int pass = 0; pass < 2; ++pass) {
    sim.port.ReadAll();
    ASSERT_EQ(sim.Exchange("w", 1), "w");
    sim.Wait(0.2);
    sim.port.Write("d");
  }
  std::string reply = sim.Collect(cmd::WaveReplySize + 1, 2.0);
  EXPECT_EQ(reply.size(), cmd::WaveReplySize);
}

TEST(Instrument, UnknownBytesAreIgnored) {
  SimBench sim(Unpaced());
  sim.port.Write("xyz\x01\xff");
  EXPECT_EQ(sim.port.Pending(), 0u);
  EXPECT_EQ(sim.instrument.CommandCount(), 0);
  EXPECT_EQ(sim.Exchange("w", 1), "w");
}

TEST(SimPort, OpenErrorsClosedPortsAndTheWriteLog) {
  VirtualHost host;
  Instrument instrument(Unpaced());
  SimPort port(host, instrument);
  EXPECT_FALSE(port.IsOpen());
  port.Write("w");  // lost: the port is closed
  EXPECT_EQ(instrument.CommandCount(), 0);

  std::string error;
  port.SetOpenError("No such file or directory");
  EXPECT_FALSE(port.Open("/dev/ttyUSB9", "19200,n,8,1", error));
  EXPECT_EQ(error, "No such file or directory");
  port.SetOpenError("");
  ASSERT_TRUE(port.Open("/dev/ttyUSB9", "19200,n,8,1", error));
  EXPECT_EQ(port.Device(), "/dev/ttyUSB9");
  EXPECT_EQ(port.Settings(), "19200,n,8,1");

  port.Write("w");
  port.Write("E");
  EXPECT_EQ(port.Written(), "wE");
  EXPECT_EQ(port.Pending(), 1u);
  port.Close();
  EXPECT_EQ(port.ReadAll(), "");
  ASSERT_TRUE(port.Open("/dev/ttyUSB9", "19200,n,8,1", error));
  EXPECT_EQ(port.ReadAll(), "");  // what came while closed is gone
}

TEST(SimPort, UnreadBytesDoNotStopTheClock) {
  SimBench sim;
  sim.port.Write("w");
  // A wait that does not read must still reach its end.
  const double end = sim.host.Monotonic() + 0.5;
  int rounds = 0;
  while (sim.host.Monotonic() < end && rounds < 100) {
    sim.host.RunEvents(end - sim.host.Monotonic());
    ++rounds;
  }
  EXPECT_GE(sim.host.Monotonic(), end);
  EXPECT_EQ(sim.port.ReadAll(), "w");
}

TEST(CivilTime, RoundTripsAndBcd) {
  for (long long s : {0LL, 86399LL, 86400LL, 365LL * 86400 * 12 + 12345, -1LL}) {
    EXPECT_EQ(ToCivilSeconds(FromCivilSeconds(s)), s);
  }
  DateTime leap = FromCivilSeconds(ToCivilSeconds({2012, 2, 28, 23, 59, 59}) + 1);
  EXPECT_EQ(leap.Month, 2);
  EXPECT_EQ(leap.Day, 29);
  EXPECT_EQ(ToBcd(29), 0x29);
  EXPECT_EQ(ToBcd(7), 0x07);
  EXPECT_EQ(FromBcd(0x59), 59);
  EXPECT_TRUE(IsBcd(0x99));
  EXPECT_FALSE(IsBcd(0x4A));
}

}  // namespace
}  // namespace qelt::test
