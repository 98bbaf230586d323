// The receiver in front of the pseudo-terminal: paced replies are handed on
// a trigger level at a time and the rest after a quiet line, never before
// the bytes arrived; unpaced ones at once.
#include <gtest/gtest.h>

#include <vector>

#include "link/Commands.hpp"
#include "sim/ReceiveFifo.hpp"

namespace qelt::test {
namespace {

// Takes the frame the way the pseudo-terminal simulator does, jumping from
// one NextCheck to the next; returns the sizes of the pieces and when each
// was handed on.
struct Piece {
  std::size_t Size;
  double At;
};

std::vector<Piece> Deliver(Instrument& instrument, double from) {
  std::vector<Piece> pieces;
  double t = from;
  while (t != Instrument::Never) {
    FifoStep step = ReceiveFifoAt(instrument, t);
    if (step.Release > 0) {
      EXPECT_EQ(instrument.TakeArrived(t).size(), step.Release);
      pieces.push_back({step.Release, t});
    }
    EXPECT_GT(step.NextCheck, t);
    t = step.NextCheck;
  }
  return pieces;
}

TEST(ReceiveFifo, PacedFrameComesInTriggerSizedPiecesAndTheRestAfterAQuietLine) {
  Instrument instrument;
  const InstrumentSettings& s = instrument.Settings();
  const double perByte = 1.0 / s.BytesPerSecond;
  instrument.Receive(" ", 1.0);
  std::vector<Piece> pieces = Deliver(instrument, 1.0);
  ASSERT_EQ(pieces.size(), 5u);  // 14 + 14 + 14 + 14 + 5 = 61
  for (std::size_t k = 0; k < 4; ++k) {
    EXPECT_EQ(pieces[k].Size, 14u);
    // Handed on when the 14th byte of the piece has arrived, not earlier.
    EXPECT_NEAR(pieces[k].At, 1.0 + s.ReplyLatency + perByte * 14.0 * static_cast<double>(k + 1), 1e-9);
  }
  EXPECT_EQ(pieces[4].Size, cmd::FrameSize - 56);
  const double lastByte = 1.0 + s.ReplyLatency + perByte * cmd::FrameSize;
  EXPECT_NEAR(pieces[4].At, lastByte + 4 * perByte, 1e-9);

  // A lone echo waits for the quiet line too.
  instrument.Receive("w", 2.0);
  pieces = Deliver(instrument, 2.0);
  ASSERT_EQ(pieces.size(), 1u);
  EXPECT_EQ(pieces[0].Size, 1u);
  EXPECT_NEAR(pieces[0].At, 2.0 + s.ReplyLatency + 5 * perByte, 1e-9);

  // Bytes held in the receiver have left the instrument: a new command does
  // not take them back, it only stops what was still to be sent.
  instrument.Receive(" ", 3.0);
  const double afterTen = 3.0 + s.ReplyLatency + perByte * 10.5;
  EXPECT_EQ(ReceiveFifoAt(instrument, afterTen).Release, 0u);
  instrument.Receive("E", afterTen);
  FifoStep step = ReceiveFifoAt(instrument, afterTen);
  EXPECT_EQ(step.Release, 0u);
  EXPECT_NEAR(step.NextCheck, 3.0 + s.ReplyLatency + perByte * 14.0, 1e-9);
  pieces = Deliver(instrument, afterTen);
  ASSERT_EQ(pieces.size(), 1u);
  EXPECT_EQ(pieces[0].Size, 10u);
}

TEST(ReceiveFifo, UnpacedRepliesAreHandedOnAtOnce) {
  InstrumentSettings settings;
  settings.Paced = false;
  Instrument instrument(settings);
  EXPECT_EQ(ReceiveFifoAt(instrument, 0.5).Release, 0u);
  EXPECT_EQ(ReceiveFifoAt(instrument, 0.5).NextCheck, Instrument::Never);
  instrument.Receive("w", 0.5);
  FifoStep step = ReceiveFifoAt(instrument, 0.5);
  EXPECT_EQ(step.Release, 1u);
  EXPECT_EQ(step.NextCheck, Instrument::Never);
}

}  // namespace
}  // namespace qelt::test
