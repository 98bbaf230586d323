#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "text/NumberText.hpp"

using namespace qelt;

TEST(NumberText, NumericPrefixReadsTheLeadingNumberOnly) {
  EXPECT_DOUBLE_EQ(NumericPrefix("230.5"), 230.5);
  EXPECT_DOUBLE_EQ(NumericPrefix("  -012.3"), -12.3);
  EXPECT_DOUBLE_EQ(NumericPrefix("+1 2 3.5x"), 123.5);
  EXPECT_DOUBLE_EQ(NumericPrefix("1.5E2"), 150.0);
  EXPECT_DOUBLE_EQ(NumericPrefix("2D-1"), 0.2);
  EXPECT_DOUBLE_EQ(NumericPrefix("1.2.3"), 1.2);
  EXPECT_DOUBLE_EQ(NumericPrefix("7E"), 7.0);  // exponent without digits is not part of it
  EXPECT_DOUBLE_EQ(NumericPrefix(".5"), 0.5);
  EXPECT_EQ(NumericPrefix("OL"), 0.0);
  EXPECT_EQ(NumericPrefix("-OL"), 0.0);
  EXPECT_EQ(NumericPrefix(""), 0.0);
  EXPECT_EQ(NumericPrefix("-"), 0.0);
}

TEST(NumberText, NumericPrefixBeyondTheRangeOfADouble) {
  // Too small is 0, too large is infinite, whatever the digits' length.
  EXPECT_EQ(NumericPrefix("1e-400"), 0.0);
  EXPECT_EQ(NumericPrefix("-2.5D-99999999999999999999"), 0.0);
  EXPECT_EQ(NumericPrefix("0." + std::string(1000, '0') + "1"), 0.0);
  EXPECT_EQ(NumericPrefix("0.000000001e-320"), 0.0);
  EXPECT_EQ(NumericPrefix("1e400"), HUGE_VAL);
  EXPECT_EQ(NumericPrefix("-0.001e99999"), -HUGE_VAL);
  EXPECT_EQ(NumericPrefix(std::string(100000, '9')), HUGE_VAL);
  EXPECT_EQ(NumericPrefix("1" + std::string(400, '0') + "e-399"), 10.0);
  EXPECT_EQ(NumericPrefix("0e99999"), 0.0);
}

TEST(NumberText, PatternsRoundHalfAwayFromZeroOnTheDecimalForm) {
  EXPECT_EQ(FormatPattern(0.15, "0.0"), "0.2");  // 0.15 is below .15 in binary; the decimal form decides
  EXPECT_EQ(FormatPattern(-0.25, "0.0"), "-0.3");
  EXPECT_EQ(FormatPattern(12.34, "000.0"), "012.3");
  EXPECT_EQ(FormatPattern(1234.56, "000.0"), "1234.6");
  EXPECT_EQ(FormatPattern(0.9995, "0.000"), "1.000");
  EXPECT_EQ(FormatPattern(99.96, "0.0"), "100.0");
  EXPECT_EQ(FormatPattern(2.5, "00000"), "00003");
  EXPECT_EQ(FormatPattern(1.005, "0.00"), "1.01");
  EXPECT_EQ(FormatPattern(3.14159, "0.0000"), "3.1416");
  EXPECT_EQ(FormatPattern(1e-7, "0.000"), "0.000");
  EXPECT_EQ(FormatPattern(-0.01, "0.0"), "0.0");  // no sign on a zero result
}

TEST(NumberText, OptionalDecimalsKeepThePoint) {
  EXPECT_EQ(FormatPattern(1.0, "0.##"), "1.");
  EXPECT_EQ(FormatPattern(-0.5, "0.##"), "-0.5");
  EXPECT_EQ(FormatPattern(2.345, "0.##"), "2.35");
  EXPECT_EQ(FormatPattern(0.0, "0.##"), "0.");
}

TEST(NumberText, ShortestAndGeneralForms) {
  EXPECT_EQ(ShortestSingle(100.0f), "100");
  EXPECT_EQ(ShortestSingle(4.527831f), "4.527831");
  EXPECT_EQ(ShortestSingle(0.1f), "0.1");
  EXPECT_EQ(ShortestSingle(-2.5f), "-2.5");
  EXPECT_EQ(GeneralNumber(0.1 + 0.2), "0.3");
  EXPECT_EQ(GeneralNumber(123456789012.5), "123456789012.5");
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(2.6), 3);
  EXPECT_EQ(RoundHalfEven(1e30), std::numeric_limits<long long>::max());
  EXPECT_EQ(RoundHalfEven(-HUGE_VAL), std::numeric_limits<long long>::min());
  EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
}
