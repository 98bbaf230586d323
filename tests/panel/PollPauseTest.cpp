// Poll pauses that nest, and the window-lifetime stops and starts beside them.
#include <gtest/gtest.h>

#include <optional>

#include "FakePanel.hpp"

using namespace qelt;
using test::FakePanel;

TEST(PollPause, OnlyTheLastPauseToEndStartsThePollAgain) {
  FakePanel panel;
  {
    PollPause outer(panel);
    EXPECT_FALSE(panel.active);
    {
      PollPause inner(panel);
      EXPECT_EQ(panel.Pauses(), 2);
    }
    EXPECT_FALSE(panel.active);  // the outer work still runs
    EXPECT_EQ(panel.starts, 0);
  }
  EXPECT_TRUE(panel.active);
  EXPECT_EQ(panel.starts, 1);
  EXPECT_EQ(panel.Pauses(), 0);

  // Ended in another order than begun (a decoding ends the download's pause
  // while a print's pause is still held).
  std::optional<PollPause> first(std::in_place, panel);
  std::optional<PollPause> second(std::in_place, panel);
  first.reset();
  EXPECT_FALSE(panel.active);
  second.reset();
  EXPECT_TRUE(panel.active);
  EXPECT_EQ(panel.starts, 2);
}

TEST(PollPause, AWindowsOwnStartWaitsForThePausesToEnd) {
  FakePanel panel;
  {
    PollPause download(panel, "reading the set");
    EXPECT_EQ(panel.paused, "reading the set");
    // The Memory window closed meanwhile: it starts the poll as it unloads.
    panel.StartTimer1();
    EXPECT_FALSE(panel.active);
    EXPECT_EQ(panel.paused, "reading the set");
  }
  EXPECT_TRUE(panel.active);
  EXPECT_TRUE(panel.paused.empty());
}
