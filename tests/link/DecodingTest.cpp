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

TEST(Decoding, EveryQuantityComesFromItsPairAndFlags) {
  // Frame position (from 1) of each quantity's pair, in record order, and
  // which bit of which flag byte makes it "OL" or negative.
  struct Place {
    const char* name;
    int position;
    int overByte, overBit;  // 0: no over flag
    int negByte, negBit;    // 0: no negative flag
  };
  const Place places[] = {
      {"KW1", 8, 0, 0, 59, 0},     {"KVAR1", 14, 0, 0, 59, 1}, {"KVA1", 6, 0, 0, 0, 0},     {"PF1", 10, 0, 0, 0, 0},
      {"Theta1", 12, 0, 0, 59, 1}, {"V1", 2, 59, 6, 0, 0},     {"I1", 4, 59, 7, 0, 0},      {"KW2", 22, 0, 0, 59, 2},
      {"KVAR2", 28, 0, 0, 59, 3},  {"KVA2", 20, 0, 0, 0, 0},   {"PF2", 24, 0, 0, 0, 0},     {"Theta2", 26, 0, 0, 59, 3},
      {"V2", 16, 60, 0, 0, 0},     {"I2", 18, 60, 1, 0, 0},    {"KW3", 36, 0, 0, 59, 4},    {"KVAR3", 42, 0, 0, 59, 5},
      {"KVA3", 34, 0, 0, 0, 0},    {"PF3", 38, 0, 0, 0, 0},    {"Theta3", 40, 0, 0, 59, 5}, {"V3", 30, 60, 2, 0, 0},
      {"I3", 32, 60, 3, 0, 0},     {"Hz", 54, 0, 0, 0, 0},     {"I4", 56, 60, 4, 0, 0},     {"TKW", 46, 0, 0, 60, 5},
      {"TKVAR", 52, 0, 0, 60, 6},  {"TKVA", 44, 0, 0, 0, 0},   {"TPF", 48, 0, 0, 0, 0},     {"TTheta", 50, 0, 0, 60, 6},
  };
  for (const Place& p : places) {
    int index = QuantityIndexOf(p.name);
    ASSERT_GE(index, 0) << p.name;
    std::string f = Frame(8, 0, 0);
    const std::string digits = std::to_string(1000 + p.position / 2 - 1);  // the pair's value
    const std::size_t whole = IsThreeDecimal(index) ? 1 : 3;
    MeterState s;
    LiveReading r;
    ASSERT_TRUE(DecodeLiveFrame(s, f, r));
    EXPECT_EQ(r.ByIndex(index), digits.substr(0, whole) + "." + digits.substr(whole)) << p.name;
    for (int byte : {59, 60}) {
      for (int bit = 0; bit < 8; ++bit) {
        f = Frame(8, byte == 59 ? 1 << bit : 0, byte == 60 ? 1 << bit : 0);
        ASSERT_TRUE(DecodeLiveFrame(s, f, r));
        bool over = byte == p.overByte && bit == p.overBit;
        bool negative = byte == p.negByte && bit == p.negBit;
        const std::string& text = r.ByIndex(index);
        EXPECT_EQ(text == "OL", over) << p.name << " flag byte " << byte << " bit " << bit;
        EXPECT_EQ(!text.empty() && text[0] == '-', negative) << p.name << " flag byte " << byte << " bit " << bit;
      }
    }
  }
}

TEST(Decoding, ShortFramesAndOddDecimalsAreHarmless) {
  MeterState s;
  LiveReading r;
  r.V1 = "230.5";
  std::string f = Frame(1, 0xFF, 0xFF);
  EXPECT_FALSE(DecodeLiveFrame(s, f.substr(0, 60), r));
  EXPECT_FALSE(DecodeLiveFrame(s, "", r));
  EXPECT_EQ(r.V1, "230.5");
  EXPECT_EQ(s.WiringCode, 0);
  EXPECT_FALSE(s.NegKW1);
  EXPECT_EQ(DecodeValue(s, 0x04, 0xD2, false, 0, false), "1234.");
  EXPECT_EQ(DecodeValue(s, 0x04, 0xD2, false, 4, false), ".1234");
  EXPECT_EQ(DecodeValue(s, 0x04, 0xD2, false, 9, false), ".1234");
  EXPECT_EQ(DecodeValue(s, 0x04, 0xD2, false, -2, false), "1234.");
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

TEST(Decoding, EveryQuantityHasAFullNameAndUnit) {
  EXPECT_EQ(QuantityTitle("KW1"), "Phase 1 active power (kW)");
  EXPECT_EQ(QuantityTitle("KVAR2"), "Phase 2 reactive power (kvar)");
  EXPECT_EQ(QuantityTitle("KVA3"), "Phase 3 apparent power (kVA)");
  EXPECT_EQ(QuantityTitle("PF1"), "Phase 1 power factor");
  EXPECT_EQ(QuantityTitle("Theta3"), "Phase 3 phase angle (\u00b0)");
  EXPECT_EQ(QuantityTitle("TTheta"), "Total phase angle (\u00b0)");
  EXPECT_EQ(QuantityTitle("TKVAR"), "Total reactive power (kvar)");
  EXPECT_EQ(QuantityTitle("V2"), "Phase 2 voltage (V)");
  EXPECT_EQ(QuantityTitle("I4"), "Fourth current input (A)");
  EXPECT_EQ(QuantityTitle("Hz"), "Frequency (Hz)");
  EXPECT_EQ(QuantityTitle("Time"), "");
  for (int i = 0; i < QuantityCount; ++i)
    EXPECT_FALSE(QuantityTitle(QuantityNames[static_cast<std::size_t>(i)]).empty());
  EXPECT_STREQ(QuantityUnit(QuantityIndexOf("TPF")), "");
  EXPECT_STREQ(QuantityUnit(QuantityIndexOf("I3")), "A");
}
