#include <gtest/gtest.h>

#include "recorder/SamplingInterval.hpp"

namespace qelt {
namespace {

TEST(SamplingInterval, PromptTitleAndDefault) {
  EXPECT_EQ(SamplingTitle(), "Input Sampling Time");
  EXPECT_EQ(SamplingPrompt(), "Enter the SAMPLING TIME in seconds\r\n(1 <= t <= 86400 ) ");
  RecorderState state;
  EXPECT_EQ(SamplingDefault(state), "2");
}

TEST(SamplingInterval, RoundsHalvesToEvenAndClamps) {
  EXPECT_EQ(ParseSamplingTime("0"), 1);
  EXPECT_EQ(ParseSamplingTime("-5"), 1);
  EXPECT_EQ(ParseSamplingTime("0.5"), 1);
  EXPECT_EQ(ParseSamplingTime("100000"), 86400);
  EXPECT_EQ(ParseSamplingTime("86400"), 86400);
  EXPECT_EQ(ParseSamplingTime("2.5"), 2);
  EXPECT_EQ(ParseSamplingTime("3.5"), 4);
  EXPECT_EQ(ParseSamplingTime("1.5"), 2);
  EXPECT_EQ(ParseSamplingTime(" 7 "), 7);
  EXPECT_EQ(ParseSamplingTime("+12"), 12);
  EXPECT_EQ(ParseSamplingTime("1e3"), 1000);
  EXPECT_EQ(ParseSamplingTime("1e300"), 86400);
  EXPECT_EQ(ParseSamplingTime("-1e300"), 1);
}

TEST(SamplingInterval, AnAnswerThatIsNoNumberChangesNothing) {
  for (const char* answer : {"", "abc", "5s", "1e", ".", "-", "1.2.3", "OL"})
    EXPECT_FALSE(ParseSamplingTime(answer).has_value()) << answer;

  RecorderState state;
  state.SampleTime = 5;
  state.SampleTick = 3;
  EXPECT_FALSE(ApplySamplingAnswer(state, "ten"));
  EXPECT_EQ(state.SampleTime, 5);
  EXPECT_EQ(state.SampleTick, 3);
  EXPECT_TRUE(ApplySamplingAnswer(state, "10"));
  EXPECT_EQ(state.SampleTime, 10);
  EXPECT_EQ(state.SampleTick, 0);
}

}  // namespace
}  // namespace qelt
