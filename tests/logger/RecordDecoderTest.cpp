// The record decoding, the set entry texts and the directory fill.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

#include "LoggerRecordsSupport.hpp"
#include "logger/RecordDecoder.hpp"
#include "logger/SetEntry.hpp"

namespace qelt {
namespace {

using test::Entry;
using test::RawRecord;

struct Decoded {
  explicit Decoded(std::string entry) : decoder(Table(), entry) {}
  static const CosTableArray& Table() {
    static const CosTableArray table = [] {
      CosTableArray t{};
      FillCosTable(t);
      return t;
    }();
    return table;
  }
  // Decodes the records and returns the row of the last one.
  const std::array<std::string, ListColumns>& Of(const std::vector<RawRecord>& records) {
    data.clear();
    for (const RawRecord& r : records) data += r.Bytes();
    for (int r = 0; r < static_cast<int>(records.size()); ++r) decoder.Decode(r, data);
    return decoder.Cells();
  }
  RecordDecoder decoder;
  std::string data;
};

const std::string Plain = Entry(100, {0x11, 0x07, 0x29, 0x09, 0x05, 0x00}, 8, 60);

RawRecord Phase1(int v, int i, int kw, std::uint8_t a = 0) {
  RawRecord r;
  r.A = a;
  r.V[0] = v;
  r.I[0] = i;
  r.KW[0] = kw;
  return r;
}

enum Col { KW1 = 3, KVAR1, KVA1, PF1, Theta1, V1, I1, Hz = 24, I4, TKW, TKVAR, TKVA, TPF, TTheta };

TEST(RecordDecoder, PhaseValuesFromVoltageCurrentAndActivePower) {
  Decoded d(Plain);
  auto c = d.Of({Phase1(2205, 100, 21)});
  EXPECT_EQ(c[V1], "220.5");
  EXPECT_EQ(c[I1], "010.0");
  EXPECT_EQ(c[KVA1], "002.2");
  EXPECT_EQ(c[KW1], "002.1");
  EXPECT_EQ(c[KVAR1], "000.7");
  EXPECT_EQ(c[PF1], "0.952");
  EXPECT_EQ(c[Theta1], "017.8");
  EXPECT_EQ(c[Hz], "050.0");
  // Totals: TPF from the formatted totals 2.1 / 2.2.
  EXPECT_EQ(c[TKW], "002.1");
  EXPECT_EQ(c[TKVA], "002.2");
  EXPECT_EQ(c[TKVAR], "000.7");
  EXPECT_EQ(c[TPF], "0.955");
  EXPECT_EQ(c[TTheta], "017.3");
  auto sheet = d.decoder.SheetRow();
  EXPECT_EQ(sheet[KVA1].What, SheetCell::Kind::Number);
  EXPECT_DOUBLE_EQ(sheet[KVA1].Number, 2.205);  // unrounded
  EXPECT_DOUBLE_EQ(sheet[KW1].Number, 2.1);
  EXPECT_DOUBLE_EQ(sheet[V1].Number, 220.5);

  // The reactive sign turns KVAR, Theta and the total angle negative.
  c = d.Of({Phase1(2205, 100, 21, 0x02)});
  EXPECT_EQ(c[KVAR1], "-000.7");
  EXPECT_EQ(c[Theta1], "-017.8");
  EXPECT_EQ(c[TKVAR], "-000.7");
  EXPECT_EQ(c[TTheta], "-017.3");
  EXPECT_EQ(c[PF1], "0.952");
}

TEST(RecordDecoder, ActivePowerIsLimitedToTheApparentPower) {
  Decoded d(Plain);
  auto c = d.Of({Phase1(1000, 100, 15)});
  EXPECT_EQ(c[KW1], "001.0");
  EXPECT_EQ(c[KVAR1], "000.0");
  EXPECT_EQ(c[PF1], "1.000");
  EXPECT_EQ(c[Theta1], "000.0");
  EXPECT_EQ(c[TKW], "001.0");
  c = d.Of({Phase1(1000, 100, 15, 0x01)});
  EXPECT_EQ(c[KW1], "-001.0");
  EXPECT_EQ(c[TKW], "-001.0");
  EXPECT_DOUBLE_EQ(d.decoder.SheetRow()[KW1].Number, -1.0);

  // No voltage: no apparent power, the angle 90 and KW cut to zero.
  for (auto [v, i] : {std::pair{0, 100}, std::pair{2200, 0}}) {
    c = d.Of({Phase1(v, i, 5)});
    EXPECT_EQ(c[KVA1], "000.0");
    EXPECT_EQ(c[KW1], "000.0");
    EXPECT_EQ(c[PF1], "0.000");
    EXPECT_EQ(c[Theta1], "090.0");
    EXPECT_EQ(c[TPF], "0.000");
    EXPECT_EQ(c[TTheta], "090.0");
  }
  // A power factor of exactly 0.5 finds its table entry.
  c = d.Of({Phase1(2200, 100, 11)});
  EXPECT_EQ(c[PF1], "0.500");
  EXPECT_EQ(c[Theta1], "060.0");
}

TEST(RecordDecoder, PhaseAngleTableSearch) {
  const auto& t = Decoded::Table();
  EXPECT_EQ(PhaseAngle(0.0, t), 90.0);
  EXPECT_EQ(PhaseAngle(1.0, t), 0.0);
  EXPECT_NEAR(PhaseAngle(2.1 / 2.205, t), 17.75, 0.01);
  EXPECT_EQ(PhaseAngle(1.2, t), 0.0);  // matches no entry
  EXPECT_EQ(PhaseAngle(static_cast<double>(t[300]), t), 30.0);
}

TEST(RecordDecoder, TwoMeterWiringTotalsAndPowerFactorAboveOne) {
  RawRecord r;
  r.V = {2200, 2200, 2200};
  r.I = {100, 100, 100};
  r.KW = {22, 22, 22};
  Decoded four(Entry(1, {0x11, 0x07, 0x29, 0, 0, 0}, 4, 1));
  auto c = four.Of({r});
  EXPECT_EQ(c[TKVA], "005.7");  // 0.866 * 6.6
  EXPECT_EQ(c[TKW], "006.6");
  EXPECT_EQ(c[TPF], "1.158");
  EXPECT_EQ(c[TTheta], "000.0");
  r.KW[0] = 20;
  r.A = 0x02;  // phase 1 reactive negative
  c = four.Of({r});
  EXPECT_EQ(c[TKVAR], "-000.9");
  EXPECT_EQ(c[TTheta], "-000.0");
  // The same record with four-wire wiring adds the apparent powers.
  Decoded eight(Entry(1, {0x11, 0x07, 0x29, 0, 0, 0}, 8, 1));
  r.A = 0;
  r.KW[0] = 22;
  c = eight.Of({r});
  EXPECT_EQ(c[TKVA], "006.6");
  EXPECT_EQ(c[TPF], "1.000");
}

TEST(RecordDecoder, RecordMomentsRollOverMidnightAndBadStartsShowDashes) {
  Decoded d(Entry(3, {0x11, 0x07, 0x29, 0x23, 0x59, 0x30}, 2, 60));
  auto c = d.Of({Phase1(2200, 10, 1), Phase1(2200, 10, 1)});
  EXPECT_EQ(c[0], "2");
  EXPECT_EQ(c[1], "2011/07/30");
  EXPECT_EQ(c[2], "00:00:30");
  // Year end, leap day.
  Decoded y(Entry(2, {0x11, 0x12, 0x31, 0x23, 0x59, 0x59}, 8, 1));
  EXPECT_EQ(y.Of({RawRecord{}, RawRecord{}})[1], "2012/01/01");
  Decoded leap(Entry(2, {0x12, 0x02, 0x28, 0x23, 0x59, 0x00}, 8, 60));
  EXPECT_EQ(leap.Of({RawRecord{}, RawRecord{}})[1], "2012/02/29");

  for (auto when : {std::array<std::uint8_t, 6>{0x11, 0x13, 0x01, 0, 0, 0},
                    {0x11, 0x02, 0x30, 0, 0, 0},
                    {0x11, 0x01, 0x01, 0x24, 0, 0},
                    {0x1A, 0x01, 0x01, 0, 0, 0}}) {
    Decoded bad(Entry(1, when, 8, 1));
    EXPECT_FALSE(bad.decoder.StartValid());
    c = bad.Of({Phase1(2205, 100, 21)});
    EXPECT_EQ(c[1], "----/--/--");
    EXPECT_EQ(c[2], "--:--:--");
    EXPECT_EQ(bad.decoder.SheetRow()[1].Text, "----/--/--");  // no date: a text in the sheet too
    EXPECT_EQ(c[KW1], "002.1");                               // still decoded
  }
}

TEST(RecordDecoder, NoReadingRecordsRepeatThePreviousRowOrStayEmpty) {
  Decoded d(Plain);
  std::vector<RawRecord> records;
  for (int i = 0; i < 6; ++i) records.push_back(Phase1(2200 + i, 100, 20 + i));
  records[5].B = 0x80;
  d.Of({records.begin(), records.end() - 1});
  const auto fifth = d.decoder.Cells();
  auto sixth = d.Of(records);
  EXPECT_EQ(sixth[0], "6");
  EXPECT_EQ(sixth[2], "09:10:00");
  for (std::size_t col = 3; col < ListColumns; ++col) EXPECT_EQ(sixth[col], fifth[col]) << col;

  // A set that starts without readings shows empty cells, in the sheet too.
  RawRecord none;
  none.B = 0x80;
  Decoded first(Plain);
  auto c = first.Of({none});
  EXPECT_EQ(c[0], "1");
  for (std::size_t col = 3; col < ListColumns; ++col) EXPECT_EQ(c[col], "") << col;
  auto sheet = first.decoder.SheetRow();
  EXPECT_EQ(sheet[0].Number, 1.0);
  EXPECT_EQ(sheet[1].What, SheetCell::Kind::Date);
  EXPECT_EQ(sheet[1].Number, 40753.0);  // 2011/07/29 as a spreadsheet day
  EXPECT_EQ(sheet[2].What, SheetCell::Kind::Time);
  for (std::size_t col = 3; col < ListColumns; ++col) EXPECT_EQ(sheet[col].What, SheetCell::Kind::Empty) << col;
}

TEST(RecordDecoder, OverRangeDigitsAndShortData) {
  Decoded d(Entry(5, {0x11, 0x07, 0x29, 0, 0, 0}, 8, 1));
  RawRecord r = Phase1(2205, 100, 21, 0xC0);  // OverV1, OverI1
  r.B = 0x10;                                 // OverI4
  r.I4 = 123;
  auto c = d.Of({r});
  // The same digits on every view, never "OL".
  EXPECT_EQ(c[V1], "220.5");
  EXPECT_EQ(c[I1], "010.0");
  EXPECT_EQ(c[I4], "012.3");

  // Only whole records that the data holds are decoded; nothing past its end.
  const std::string data = r.Bytes() + r.Bytes().substr(0, 23);
  EXPECT_EQ(d.decoder.RecordsIn(data), 1);
  EXPECT_TRUE(d.decoder.Decode(0, data));
  EXPECT_FALSE(d.decoder.Decode(1, data));
  EXPECT_FALSE(d.decoder.Decode(-1, data));
  // The entry's count caps it too.
  Decoded two(Entry(2, {0x11, 0x07, 0x29, 0, 0, 0}, 8, 1));
  EXPECT_EQ(two.decoder.RecordsIn(std::string(24 * 5, '\0')), 2);
  EXPECT_EQ(RecordDecoder(Decoded::Table(), "short").RecordCount(), 0);
}

TEST(SetEntry, ADataListIsTitledWithItsSetStartAndMode) {
  EXPECT_EQ(LoggerSetTitle(2, ParseSetEntry(Entry(40, {0x11, 0x08, 0x02, 0x08, 0x00, 0x05}, 0x18, 2))),
            "Logger set 2, 2011/08/02 08:00, 3P4W");
  EXPECT_EQ(LoggerSetTitle(3, ParseSetEntry(Entry(2, {0x11, 0x08, 0x01, 0x14, 0x00, 0x00}, 0x01, 255))),
            "Logger set 3, 2011/08/01 14:00, 1P2W");
  // An entry without a valid start or a known mode still names its set.
  EXPECT_EQ(LoggerSetTitle(4, ParseSetEntry(Entry(2, {0x11, 0x13, 0x01, 0x14, 0x00, 0x00}, 0x05, 1))), "Logger set 4");
}

TEST(SetEntry, DirectoryRowsAndFreeMemory) {
  std::string dir;
  dir += '\x03';
  dir += std::string("\x00\x64\x00", 3);  // 25 600 bytes in use
  dir += Entry(40, {0x11, 0x07, 0x29, 0x09, 0x05, 0x00}, 0x18, 60);
  dir += Entry(300, {0x11, 0x07, 0x29, 0x23, 0x59, 0x30}, 0x03, 5);  // unknown wiring code
  dir += Entry(2, {0x11, 0x08, 0x01, 0x14, 0x00, 0x00}, 0x04, 255);
  auto rows = DirectoryRows(dir, "1P2W");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], "1\t11/07/29\t09:05:00\t3P4W\t40\t60");
  EXPECT_EQ(rows[1], "2\t11/07/29\t23:59:30\t3P4W\t300\t5");
  EXPECT_EQ(rows[2], "3\t11/08/01\t14:00:00\t3P3W2M\t2\t255");
  // The first set keeps the mode it is given.
  dir[4 + 8] = 0x05;
  EXPECT_EQ(DirectoryRows(dir, "1P2W")[0], "1\t11/07/29\t09:05:00\t1P2W\t40\t60");

  EXPECT_EQ(RemainText(dir), "487.0 K");
  const char* old = std::setlocale(LC_ALL, nullptr);
  const std::string saved = old ? old : "C";
  if (std::setlocale(LC_ALL, "de_DE.utf8")) {
    EXPECT_EQ(RemainText(dir), "487.0 K");
    std::setlocale(LC_ALL, saved.c_str());
  }
  dir[0] = 10;
  EXPECT_EQ(RemainText(dir), "0 K");
  dir[0] = 9;
  dir[1] = 0x08;  // 512 K in use
  dir[2] = 0;
  EXPECT_EQ(RemainText(dir), "0.0 K");

  // A directory cut short lists only the entries it holds.
  EXPECT_EQ(DirectoryRows(dir.substr(0, 4 + 15), "").size(), 1u);
  EXPECT_EQ(DirectorySetCount(std::string("\x05", 1)), 0);
}

}  // namespace
}  // namespace qelt
