#include <gtest/gtest.h>

#include "link/Decoding.hpp"
#include "link/LiveReading.hpp"

using namespace qelt;

TEST(Decoding, ValueTextsKeepFourDigitsAndTheirZeros) {
  MeterState s;
  EXPECT_EQ(DecodeValue(s, 0x09, 0x01, false, 1, false), "230.5");
  EXPECT_EQ(DecodeValue(s, 0, 0, false, 1, false), "000.0");
  EXPECT_EQ(DecodeValue(s, 0, 0, false, 3, false), "0.000");
  EXPECT_EQ(DecodeValue(s, 0xFF, 0xFF, false, 1, false), "553.5");  // 65535 keeps its last four digits
  EXPECT_EQ(DecodeValue(s, 0, 123, false, 1, false), "012.3");
  EXPECT_EQ(DecodeValue(s, 0, 5, false, 3, false), "0.005");
  EXPECT_EQ(DecodeValue(s, 0x03, 0xE6, false, 3, false), "0.998");
  EXPECT_EQ(DecodeValue(s, 0, 123, false, 1, true), "-012.3");
  EXPECT_EQ(s.MeterValue, "-012.3");
}

TEST(Decoding, OverRangeUnlessDecodingLoggerRecords) {
  MeterState s;
  EXPECT_EQ(DecodeValue(s, 0x09, 0x01, true, 1, false), "OL");
  EXPECT_EQ(DecodeValue(s, 0x09, 0x01, true, 1, true), "-OL");
  s.LoggerDecoding = true;
  EXPECT_EQ(DecodeValue(s, 0x09, 0x01, true, 1, false), "230.5");
  EXPECT_EQ(DecodeValue(s, 0x09, 0x01, true, 1, true), "-230.5");
}

TEST(Decoding, WiringKeepsTheLastKnownMode) {
  MeterState s;
  DecodeWiring(s, 0x03);
  EXPECT_EQ(s.WiringCode, 3);
  EXPECT_EQ(s.WiringMode, "");
  DecodeWiring(s, 0x18);
  EXPECT_EQ(s.WiringCode, 8);
  EXPECT_EQ(s.WiringMode, "3P4W");
  DecodeWiring(s, 0x03);
  EXPECT_EQ(s.WiringCode, 3);
  EXPECT_EQ(s.WiringMode, "3P4W");
  DecodeWiring(s, 0x24);
  EXPECT_EQ(s.WiringMode, "3P3W2M");
  DecodeWiring(s, 0x01);
  EXPECT_EQ(s.WiringMode, "1P2W");
  DecodeWiring(s, 0x02);
  EXPECT_EQ(s.WiringMode, "1P3W");
}

TEST(Decoding, FlagBitsFromTheLeastSignificant) {
  MeterState s;
  UnpackFlagsA(s, 0x81);
  EXPECT_TRUE(s.NegKW1);
  EXPECT_TRUE(s.OverI1);
  EXPECT_FALSE(s.NegKVAR1 || s.NegKW2 || s.NegKVAR2 || s.NegKW3 || s.NegKVAR3 || s.OverV1);
  UnpackFlagsB(s, 0x60);
  EXPECT_TRUE(s.NegTKW);
  EXPECT_TRUE(s.NegTKVAR);
  EXPECT_FALSE(s.OverV2 || s.OverI2 || s.OverV3 || s.OverI3 || s.OverI4 || s.FlagB7);
  UnpackFlagsB(s, 0x80);
  EXPECT_TRUE(s.FlagB7);
  EXPECT_FALSE(s.NegTKW);
}

namespace {
// Frame with value pair k (0..27, frame order) = 1000 + k.
std::string Frame(std::uint8_t wiring, std::uint8_t flagsA, std::uint8_t flagsB) {
  std::string f(61, '\0');
  f[0] = 0x02;
  for (int k = 0; k < 28; ++k) {
    int v = 1000 + k;
    f[static_cast<std::size_t>(1 + 2 * k)] = static_cast<char>(v / 256);
    f[static_cast<std::size_t>(2 + 2 * k)] = static_cast<char>(v % 256);
  }
  f[57] = static_cast<char>(wiring);
  f[58] = static_cast<char>(flagsA);
  f[59] = static_cast<char>(flagsB);
  f[60] = 0x03;
  return f;
}
}  // namespace

TEST(Decoding, LiveFrameFillsEveryMemberFromItsPosition) {
  MeterState s;
  LiveReading r;
  ASSERT_TRUE(FrameMarksOk(Frame(8, 0, 0)));
  DecodeLiveFrame(s, Frame(8, 0, 0), r);
  EXPECT_EQ(s.WiringMode, "3P4W");
  EXPECT_EQ(r.V1, "100.0");
  EXPECT_EQ(r.I1, "100.1");
  EXPECT_EQ(r.KVA1, "100.2");
  EXPECT_EQ(r.KW1, "100.3");
  EXPECT_EQ(r.PF1, "1.004");
  EXPECT_EQ(r.Theta1, "100.5");
  EXPECT_EQ(r.KVAR1, "100.6");
  EXPECT_EQ(r.V2, "100.7");
  EXPECT_EQ(r.PF2, "1.011");
  EXPECT_EQ(r.KVAR3, "102.0");
  EXPECT_EQ(r.TKVA, "102.1");
  EXPECT_EQ(r.TKW, "102.2");
  EXPECT_EQ(r.TPF, "1.023");
  EXPECT_EQ(r.TTheta, "102.4");
  EXPECT_EQ(r.TKVAR, "102.5");
  EXPECT_EQ(r.Hz, "102.6");
  EXPECT_EQ(r.I4, "102.7");

  // Bit 6 of the first flag byte: V1 over range; bit 1: KVAR1 and Theta1 negative.
  DecodeLiveFrame(s, Frame(8, 0x42, 0x70), r);
  EXPECT_EQ(r.V1, "OL");
  EXPECT_EQ(r.KVAR1, "-100.6");
  EXPECT_EQ(r.Theta1, "-100.5");
  EXPECT_EQ(r.KW1, "100.3");
  EXPECT_EQ(r.I4, "OL");
  EXPECT_EQ(r.TKW, "-102.2");
  EXPECT_EQ(r.TTheta, "-102.4");
  EXPECT_EQ(r.TKVAR, "-102.5");

  std::string bad = Frame(8, 0, 0);
  bad[60] = 0x04;
  EXPECT_FALSE(FrameMarksOk(bad));
  EXPECT_FALSE(FrameMarksOk(bad.substr(0, 60)));
  bad = Frame(8, 0, 0) + "xyz";  // bytes after 61 are ignored
  EXPECT_TRUE(FrameMarksOk(bad));
}

TEST(Decoding, QuantityOrderMatchesTheRecordColumns) {
  LiveReading r;
  for (int i = 0; i < QuantityCount; ++i) r.ByIndex(i) = QuantityNames[static_cast<std::size_t>(i)];
  EXPECT_EQ(r.KW1, "KW1");
  EXPECT_EQ(r.I1, "I1");
  EXPECT_EQ(r.Hz, "Hz");
  EXPECT_EQ(r.TTheta, "TTheta");
  EXPECT_EQ(QuantityIndexOf("TPF"), 26);
  EXPECT_TRUE(IsThreeDecimal(QuantityIndexOf("PF2")));
  EXPECT_EQ(QuantityIndexOf("nope"), -1);
}
