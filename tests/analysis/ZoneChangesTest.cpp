#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "analysis/ZoneChanges.hpp"

namespace qelt {
namespace {

// The process's local zone for one test: central European rules as a POSIX
// TZ text, so no zone database is needed.
class LocalZone {
 public:
  explicit LocalZone(const char* tz) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    had_ = std::getenv("TZ") != nullptr;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~LocalZone() {
    if (had_)
      setenv("TZ", old_.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }
  LocalZone(const LocalZone&) = delete;
  LocalZone& operator=(const LocalZone&) = delete;

 private:
  std::string old_;
  bool had_ = false;
};

constexpr const char* CentralEurope = "CET-1CEST,M3.5.0,M10.5.0/3";

Moment At(const char* date, const char* time) { return *ReadMoment(date, time); }

TEST(ZoneChanges, SpringForwardAndFallBackWithinTheRecording) {
  LocalZone zone(CentralEurope);
  const auto year = ZoneChangesBetween(At("2026/01/01", "00:00:00"), At("2026/12/31", "23:59:59"));
  ASSERT_EQ(year.size(), 2u);
  EXPECT_EQ(MomentText(year[0].Before), "2026/03/29 02:00:00");
  EXPECT_EQ(year[0].ShiftMinutes, 60);
  EXPECT_EQ(MomentText(year[1].Before), "2026/10/25 03:00:00");
  EXPECT_EQ(year[1].ShiftMinutes, -60);
  EXPECT_EQ(ZoneChangeNote(year),
            "Daylight saving: at 2026/03/29 02:00:00 the local clock went forward by 60 minutes; the records skip "
            "the 60 minutes after it.\n"
            "Daylight saving: at 2026/10/25 03:00:00 the local clock went back by 60 minutes; the records repeat "
            "the 60 minutes before it.\n");
  // A night's recording across the change back, and one that ends just before it.
  EXPECT_EQ(ZoneChangesBetween(At("2026/10/24", "22:00:00"), At("2026/10/25", "06:00:00")).size(), 1u);
  EXPECT_TRUE(ZoneChangesBetween(At("2026/10/24", "22:00:00"), At("2026/10/25", "02:59:59")).empty());
}

TEST(ZoneChanges, NoneWithoutDaylightSavingOrOutsideTheRecording) {
  {
    LocalZone zone(CentralEurope);
    EXPECT_TRUE(ZoneChangesBetween(At("2026/04/01", "00:00:00"), At("2026/09/30", "00:00:00")).empty());
    EXPECT_TRUE(ZoneChangesBetween(At("2026/05/01", "00:00:00"), At("2026/05/01", "00:00:00")).empty());
    EXPECT_EQ(ZoneChangeNote({}), "");
  }
  LocalZone utc("UTC0");
  EXPECT_TRUE(ZoneChangesBetween(At("2026/01/01", "00:00:00"), At("2026/12/31", "00:00:00")).empty());
}

}  // namespace
}  // namespace qelt
