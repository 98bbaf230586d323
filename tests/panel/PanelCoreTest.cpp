// The main window's Qt-free side: the cosine table and the layout.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "panel/PanelLayout.hpp"
#include "session/CosTable.hpp"

namespace qelt {
namespace {

TEST(CosTable, EndsAndMiddle) {
  CosTableArray table{};
  table.fill(-7.0f);
  FillCosTable(table);
  EXPECT_EQ(table[0], 1.0f);
  EXPECT_EQ(table[450], static_cast<float>(std::cos(45.0 / 180.0 * 3.14159265358979)));
  EXPECT_FLOAT_EQ(table[450], 0.70710677f);
  // cos(90 degrees) with pi rounded to 15 digits is not exactly 0.
  EXPECT_EQ(table[900], static_cast<float>(std::cos(90.0 / 180.0 * 3.14159265358979)));
  EXPECT_NE(table[900], 0.0f);
  EXPECT_LT(std::fabs(table[900]), 1e-14f);
  for (std::size_t i = 1; i < table.size(); ++i) EXPECT_LT(table[i], table[i - 1]) << i;
}

TEST(PanelLayout, CaptionToggleAndWiringPictures) {
  EXPECT_EQ(ToggledPanelCaption("Panel  V8.00"), "Panel  V8.00   110729");
  EXPECT_EQ(ToggledPanelCaption(ToggledPanelCaption("Panel  V8.00")), "Panel  V8.00");
  // Any caption that holds the date goes back to the plain one.
  EXPECT_EQ(ToggledPanelCaption("50.0% Completed 110729"), "Panel  V8.00");

  EXPECT_EQ(WiringPictureFor(1), 0);
  EXPECT_EQ(WiringPictureFor(2), 1);
  EXPECT_EQ(WiringPictureFor(4), 2);
  EXPECT_EQ(WiringPictureFor(8), 3);
  for (int code : {0, 3, 5, 6, 7, 9, 15}) EXPECT_EQ(WiringPictureFor(code), -1) << code;
  EXPECT_STREQ(WiringPictureNames[2], "P3P3W2M");
}

TEST(PanelLayout, ValueCellsCoverEveryQuantityOnItsGrid) {
  const auto& cells = PanelValueCells();
  std::set<std::string> labels;
  std::set<std::pair<int, int>> places;
  for (const ValueCell& c : cells) {
    labels.insert(c.Label);
    places.insert({c.Left, c.Top});
    EXPECT_EQ(std::string("Lbl") + c.Header, c.Label);
  }
  EXPECT_EQ(labels.size(), 28u);
  EXPECT_EQ(places.size(), 28u);  // no two cells in one place
  for (const char* name : QuantityNames) EXPECT_TRUE(labels.count(std::string("Lbl") + name)) << name;

  auto at = [](const char* label) {
    const ValueCell* c = FindValueCell(label);
    return c ? std::make_pair(c->Left, c->Top) : std::make_pair(-1, -1);
  };
  EXPECT_EQ(at("LblKW1"), std::make_pair(120, 6720));
  EXPECT_EQ(at("LblI1"), std::make_pair(5880, 6720));
  EXPECT_EQ(at("LblTheta2"), std::make_pair(3960, 7560));
  EXPECT_EQ(at("LblV3"), std::make_pair(4920, 8400));
  EXPECT_EQ(at("LblTKW"), std::make_pair(120, 9240));
  EXPECT_EQ(at("LblTTheta"), std::make_pair(3960, 9240));
  EXPECT_EQ(at("LblHz"), std::make_pair(4920, 9240));
  EXPECT_EQ(at("LblI4"), std::make_pair(5880, 9240));
  EXPECT_EQ(FindValueCell("LblCOM"), nullptr);
}

TEST(PanelLayout, LabelCaptionsComeInTheirOrderFromTheirMembers) {
  LiveReading r;
  for (int i = 0; i < QuantityCount; ++i) r.ByIndex(i) = std::string("v") + QuantityNames[static_cast<std::size_t>(i)];
  const PanelValueTexts texts = ValueTextsFor(r);
  ASSERT_EQ(ValueLabelOrder.size(), 28u);
  const std::vector<std::string> expected = {
      "TTheta", "TKVA", "TKW", "TKVAR", "Hz",    "TPF",    "V1", "I1", "KVA1", "KW1", "PF1", "KVAR1", "Theta1", "V2",
      "I2",     "KVA2", "KW2", "PF2",   "KVAR2", "Theta2", "V3", "I3", "KVA3", "KW3", "PF3", "KVAR3", "Theta3", "I4"};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const auto q = static_cast<std::size_t>(ValueLabelOrder[i]);
    EXPECT_EQ(QuantityNames[q], expected[i]);
    EXPECT_EQ(texts[q], "v" + expected[i]);
  }
}

TEST(PanelLayout, ToolbarButtons) {
  const std::vector<std::pair<std::string, std::string>> expected = {{"Save", "Save As"},
                                                                     {"Open", "Open File"},
                                                                     {"List", "List Display"},
                                                                     {"Graph", "Graphic Display"},
                                                                     {"Sampling", "PC Sampling"},
                                                                     {"Memory", "Data Logger"},
                                                                     {"Harmonic", "Harmonic Analyzer"},
                                                                     {"RTC", "Set Real Time Clock to System Time"},
                                                                     {"StopRecording", "Stop Recording"},
                                                                     {"StopRec", "Stop Rec"},
                                                                     {"sss", "sss"}};
  ASSERT_EQ(PanelToolButtons.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(PanelToolButtons[i].Key, expected[i].first);
    EXPECT_EQ(PanelToolButtons[i].ToolTip, expected[i].second);
    EXPECT_EQ(PanelToolButtons[i].Shown, i < 8) << i;
  }
}

TEST(PanelLayout, ClockNoteAndCloseQuestion) {
  EXPECT_EQ(ClockSetText(std::string("D\x09\x12\x31\x23\x59\x58", 7)), "Clock set to 2009/12/31 23:59:58");
  EXPECT_EQ(ClockSetText(""), "");  // nothing went out
  EXPECT_EQ(ClockSetText("D\x09\x12"), "");
  EXPECT_EQ(CloseWhileRecordingQuestion("/data/run.mes"),
            "A recording is running into\r\n/data/run.mes\r\nClose the program and end the recording?");
  EXPECT_EQ(CloseWhileRecordingQuestion(""), "A recording is running\r\nClose the program and end the recording?");
}

// A 1600x1000 screen at scale factor 2 leaves 800x500 logical pixels, less
// the panels and the frame; the main window's page is 455x666.
TEST(PanelLayout, TheWindowKeepsItsFirstSizeWhereItFitsAndScrollsWhereNot) {
  const PixelSize page{455, 666};
  EXPECT_EQ(FittedClientSize(page, {1600, 960}, 16), page);
  EXPECT_EQ(FittedClientSize(page, {455, 666}, 16), page);  // exactly the room
  // Too short: the room's height, wider by the vertical bar.
  EXPECT_EQ(FittedClientSize(page, {790, 470}, 16), (PixelSize{471, 470}));
  // ... unless the screen is narrower still.
  EXPECT_EQ(FittedClientSize(page, {460, 470}, 16), (PixelSize{460, 470}));
  // Too narrow only: taller by the horizontal bar, as far as the room goes.
  EXPECT_EQ(FittedClientSize(page, {400, 900}, 16), (PixelSize{400, 682}));
  EXPECT_EQ(FittedClientSize(page, {400, 670}, 16), (PixelSize{400, 670}));
  EXPECT_EQ(FittedClientSize(page, {300, 300}, 16), (PixelSize{300, 300}));
}

}  // namespace
}  // namespace qelt
