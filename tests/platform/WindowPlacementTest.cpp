// Where a window the user has not placed opens.
#include <gtest/gtest.h>

#include "platform/WindowPlacement.hpp"

namespace qelt {
namespace {

const PlaceBox Screen{0, 0, 1600, 1000};
const PlaceBox Main{0, 0, 457, 696};

bool HidesNone(const PlaceBox& box, const std::vector<PlaceBox>& open) {
  for (const PlaceBox& o : open)
    if (SharedArea(box, o) > 0) return false;
  return true;
}

bool OnScreen(const PlaceBox& b) {
  return b.Left >= 0 && b.Top >= 0 && b.Right() <= Screen.Right() && b.Bottom() <= Screen.Bottom();
}

TEST(WindowPlacement, AFreePlaceIsKept) {
  const PlaceBox wanted{500, 0, 300, 200};
  EXPECT_EQ(PlaceWindow(wanted, {Main}, Screen), wanted);
  EXPECT_EQ(PlaceWindow(wanted, {}, Screen), wanted);
  // Touching is not hiding.
  EXPECT_EQ(PlaceWindow(PlaceBox{457, 0, 300, 200}, {Main}, Screen), (PlaceBox{457, 0, 300, 200}));
}

TEST(WindowPlacement, WindowsOpenedAtOneSpotSpreadOutAndStayOnTheScreen) {
  // The five list windows all ask for the main window's right side.
  std::vector<PlaceBox> open{Main};
  const PlaceBox wanted{457, 0, 533, 385};
  for (int n = 0; n < 4; ++n) {
    const PlaceBox placed = PlaceWindow(wanted, open, Screen);
    EXPECT_EQ(placed.Width, wanted.Width);  // the design size stays
    EXPECT_EQ(placed.Height, wanted.Height);
    EXPECT_TRUE(OnScreen(placed)) << n;
    EXPECT_TRUE(HidesNone(placed, open)) << n;
    open.push_back(placed);
  }
  EXPECT_EQ(open[1], wanted);
  EXPECT_EQ(open[2], (PlaceBox{990, 0, 533, 385}));    // beside the first
  EXPECT_EQ(open[3], (PlaceBox{457, 385, 533, 385}));  // below it
}

TEST(WindowPlacement, AGraphWindowAtTheTopLeftMovesOffTheMainWindow) {
  const PlaceBox placed = PlaceWindow(PlaceBox{0, 0, 700, 500}, {Main}, Screen);
  EXPECT_EQ(placed, (PlaceBox{457, 0, 700, 500}));
}

TEST(WindowPlacement, WithNoFreeRoomItHidesLeastAndCascadesOffTitleBars) {
  // The screen is full: every place hides something.
  const std::vector<PlaceBox> open{{0, 0, 800, 1000}, {800, 0, 800, 1000}};
  const PlaceBox placed = PlaceWindow(PlaceBox{0, 0, 400, 300}, open, Screen);
  EXPECT_TRUE(OnScreen(placed));
  for (const PlaceBox& o : open)
    EXPECT_FALSE(std::abs(o.Left - placed.Left) < CascadeStep && std::abs(o.Top - placed.Top) < CascadeStep);
  // A second window of the same size does not land on the first.
  std::vector<PlaceBox> more = open;
  more.push_back(placed);
  const PlaceBox second = PlaceWindow(PlaceBox{0, 0, 400, 300}, more, Screen);
  EXPECT_NE(second, placed);
  EXPECT_TRUE(OnScreen(second));
}

TEST(WindowPlacement, ACrowdedScreenLeavesEveryTitleBarInSight) {
  // A small window stands where the wide one would hide least.
  const std::vector<PlaceBox> open{Main, {457, 0, 533, 385}, {990, 0, 180, 225}, {605, 250, 995, 750}};
  const PlaceBox placed = PlaceWindow(PlaceBox{990, 225, 937, 445}, open, Screen);
  EXPECT_TRUE(OnScreen(placed));
  for (const PlaceBox& o : open)
    EXPECT_EQ(SharedArea(placed, PlaceBox{o.Left, o.Top, o.Width, TitleBarHeight}), 0) << o.Left << "," << o.Top;
}

TEST(WindowPlacement, AWindowLargerThanTheScreenStartsAtItsCorner) {
  const PlaceBox placed = PlaceWindow(PlaceBox{300, 300, 2000, 1200}, {Main}, Screen);
  EXPECT_EQ(placed.Left, 0);
  EXPECT_EQ(placed.Top, 0);
  EXPECT_EQ(placed.Width, 2000);
}

}  // namespace
}  // namespace qelt
