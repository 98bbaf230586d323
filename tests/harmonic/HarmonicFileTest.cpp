// Harmonic files written as "Save" writes them and read back as "Open" reads
// them, and the text prints of the acquisition window's lists.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "TempDir.hpp"
#include "harmonic/Analysis.hpp"
#include "harmonic/HarmonicCommands.hpp"
#include "harmonic/HarmonicFile.hpp"
#include "harmonic/HarmonicPrints.hpp"
#include "records/GridFile.hpp"
#include "sim/Waveform.hpp"

namespace qelt::test {
namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

HarmonicState Acquired(const std::string& hz) {
  std::vector<std::int32_t> samples;
  for (int i = 0; i < 81; ++i)
    samples.push_back(static_cast<std::int32_t>(std::lround(81234 * std::sin(2 * M_PI * i / 54 + 0.3) + 77 * (i % 5))));
  HarmonicState s;
  StartHarmonicLists(s);
  TakeReply(s, PackSamples(samples), hz);
  AnalyseCycle(s, false);
  return s;
}

TEST(HarmonicFile, SavesTheSampleListAndReadsItBack) {
  TempDir dir;
  HarmonicState s = Acquired("60Hz");
  const std::string path = dir.File("h.txt");
  ASSERT_TRUE(WriteGridFile(path, s.Grid54).Ok);
  const std::string bytes = Slurp(path);
  const std::string first = "\t\t\r\n1\t" + std::string(s.Grid54.Cell(1, 1)) + "\t\r\n";
  EXPECT_EQ(bytes.substr(0, first.size()), first);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 55);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");

  HarmonicFileRead read = ReadHarmonicFile(path);
  ASSERT_TRUE(read.Ok);
  ASSERT_EQ(read.Rows.size(), 54u);
  HarmonicState opened;
  StartHarmonicLists(opened);
  TakeFileRows(opened, read.Rows, FileCycle::Stretch54);
  AnalyseCycle(opened, true);
  for (int i = 0; i < 54; ++i)
    EXPECT_EQ(opened.ShownSamples[static_cast<std::size_t>(i)], s.ShownSamples[static_cast<std::size_t>(i)]);
  // Only the inner points differ, by the three-decimal rounding.
  EXPECT_EQ(opened.Grid64.Rows(), 65);
  EXPECT_EQ(opened.Grid64.Cell(1, 1), s.Grid54.Cell(1, 1));
  EXPECT_EQ(opened.Grid64.Cell(64, 0), "64");
  EXPECT_EQ(opened.Grid64.Cell(64, 1), s.Grid54.Cell(54, 1));
  const std::string inner(opened.Grid64.Cell(2, 1));
  EXPECT_EQ(inner.size() - inner.find('.'), 4u) << inner;
  for (int j = 0; j < 64; ++j)
    EXPECT_NEAR(opened.CycleSamples[static_cast<std::size_t>(j)], s.CycleSamples[static_cast<std::size_t>(j)], 5e-4);
  for (int r = 1; r <= 64; ++r) EXPECT_EQ(opened.Grid.Cell(r, 1), s.Grid.Cell(r, 1)) << r;
  EXPECT_EQ(opened.GridK.Rows(), 32);
  EXPECT_NEAR(opened.HarmonicAmp[1], s.HarmonicAmp[1], 1.0);
  AnalyseCycle(opened, true);  // a second open lists 31 orders again, not 62
  EXPECT_EQ(opened.GridK.Rows(), 32);
}

TEST(HarmonicFile, SixtyFourRowFileAsStretchedOrAsItStands) {
  TempDir dir;
  HarmonicState s50 = Acquired("50Hz");
  const std::string path = dir.File("h50.txt");
  ASSERT_TRUE(WriteGridFile(path, s50.Grid54).Ok);
  HarmonicFileRead read = ReadHarmonicFile(path);
  ASSERT_EQ(read.Rows.size(), 64u);

  EXPECT_EQ(CycleModeFor("60Hz", 64), FileCycle::Stretch54);
  EXPECT_EQ(CycleModeFor("50Hz", 63), FileCycle::Stretch54);
  EXPECT_EQ(CycleModeFor("50Hz", 64), FileCycle::Whole64);

  HarmonicState stretched;
  TakeFileRows(stretched, read.Rows, FileCycle::Stretch54);
  EXPECT_EQ(stretched.Grid54.Rows(), 65);  // all lines listed, 54 used
  EXPECT_EQ(stretched.CycleSamples[63], s50.ShownSamples[53]);

  HarmonicState whole;
  TakeFileRows(whole, read.Rows, FileCycle::Whole64);
  for (int j = 0; j < 64; ++j)
    EXPECT_EQ(whole.CycleSamples[static_cast<std::size_t>(j)], s50.CycleSamples[static_cast<std::size_t>(j)]);
  EXPECT_EQ(whole.Grid64.Cell(30, 1), s50.Grid54.Cell(30, 1));  // no decimals added
}

TEST(HarmonicFile, FieldsEndAtLineBreaksAndCommas) {
  auto fields = HarmonicFileFields("\t\t\r\n7\t-1234\t\r\n   8\t5,6\t\n9\t1\r");
  ASSERT_EQ(fields.size(), 4u);
  EXPECT_EQ(fields[0], "7\t-1234\t");
  EXPECT_EQ(fields[1], "8\t5");
  EXPECT_EQ(fields[2], "6\t");
  EXPECT_EQ(fields[3], "9\t1");
  HarmonicState s;
  std::vector<std::string> rows(54, "1\t2\t");
  rows[6] = fields[0];
  TakeFileRows(s, rows, FileCycle::Stretch54);
  EXPECT_EQ(s.ShownSamples[6], -1234.0);
  EXPECT_TRUE(HarmonicFileFields("").empty());
  EXPECT_TRUE(HarmonicFileFields("\t\t").empty());

  TempDir dir;
  HarmonicFileRead missing = ReadHarmonicFile(dir.File("none"));
  EXPECT_FALSE(missing.Ok);
  EXPECT_FALSE(missing.Reason.empty());
  HarmonicFileRead folder = ReadHarmonicFile(dir.Path().string());
  EXPECT_FALSE(folder.Ok);
}

TEST(HarmonicPrints, LineLayouts) {
  GridRows grid(2);
  grid.SetRows(1);
  grid.AddRow("7\t-0.3826");
  grid.AddRow("64\t1.0000");
  auto lines = CyclePrintLines(grid);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "   No.s  Value");
  EXPECT_EQ(lines[1], "   ---------------");
  EXPECT_EQ(lines[2], "    7   -0.3826");
  EXPECT_EQ(lines[3], "   64    1.0000");
  auto list = ListPrintLines(grid);
  EXPECT_EQ(list[0], "No.s        Value");
  EXPECT_EQ(list[1], "----------------------------");
  EXPECT_EQ(list[2], "7     -0.3826");
  GridRows empty(2);
  empty.SetRows(1);
  EXPECT_EQ(ListPrintLines(empty).size(), 2u);
}

}  // namespace
}  // namespace qelt::test
