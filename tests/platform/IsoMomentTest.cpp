#include <gtest/gtest.h>

#include "platform/IsoMoment.hpp"

namespace qelt {
namespace {

TEST(IsoMoment, TheOffsetComesFromTheInstantNotFromTheWallTime) {
  // 02:30 on 2026-10-25 in central Europe: first in summer time, then again
  // an hour later in winter time.
  const DateTime twice{2026, 10, 25, 2, 30, 0};
  EXPECT_EQ(UtcOffsetMinutes(twice, 1792888200.0), 120);
  EXPECT_EQ(UtcOffsetMinutes(twice, 1792891800.0), 60);
  // West of UTC, and a zone off the whole hour.
  EXPECT_EQ(UtcOffsetMinutes({2026, 10, 24, 21, 0, 0}, 1792888200.0), -210);
  EXPECT_EQ(UtcOffsetMinutes({2026, 10, 25, 6, 15, 0}, 1792888200.0), 345);
  // The wall second read just before the epoch's second turned, or after.
  EXPECT_EQ(UtcOffsetMinutes({2026, 10, 25, 1, 30, 0}, 1792891800.999), 0);
  EXPECT_EQ(UtcOffsetMinutes({2026, 10, 25, 1, 29, 59}, 1792891800.001), 0);
}

TEST(IsoMoment, TextWithMillisecondsAndOffset) {
  const DateTime t{2026, 12, 10, 10, 0, 0};
  EXPECT_EQ(IsoMoment(t, 250, 60), "2026-12-10T10:00:00.250+01:00");
  EXPECT_EQ(IsoMoment(t, 0, 0), "2026-12-10T10:00:00.000+00:00");
  EXPECT_EQ(IsoMoment(t, 999, -210), "2026-12-10T10:00:00.999-03:30");
  EXPECT_EQ(IsoMoment(t, 5, 345), "2026-12-10T10:00:00.005+05:45");
  EXPECT_EQ(IsoMoment(t, 1000, 0).substr(19, 4), ".999");
}

}  // namespace
}  // namespace qelt
