// The main window's Qt-free side: the cosine table, the layout and the
// "Memory" directory command against the simulated instrument.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "link/Link.hpp"
#include "logger/DirectoryRead.hpp"
#include "logger/MemoryCommand.hpp"
#include "panel/PanelLayout.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/VirtualHost.hpp"
#include "session/CosTable.hpp"
#include "sim/Instrument.hpp"
#include "sim/SimPort.hpp"

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
  auto captions = LabelCaptions(r);
  ASSERT_EQ(captions.size(), 28u);
  const std::vector<std::string> expected = {
      "TTheta", "TKVA", "TKW", "TKVAR", "Hz",    "TPF",    "V1", "I1", "KVA1", "KW1", "PF1", "KVAR1", "Theta1", "V2",
      "I2",     "KVA2", "KW2", "PF2",   "KVAR2", "Theta2", "V3", "I3", "KVA3", "KW3", "PF3", "KVAR3", "Theta3", "I4"};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(captions[i].first, "Lbl" + expected[i]);
    EXPECT_EQ(captions[i].second, "v" + expected[i]);
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

// The instrument on the virtual clock, and a window caption to watch.
struct MemoryRig {
  explicit MemoryRig(const char* logger, double bytesPerSecond = 1920.0)
      : instrument(Settings(logger, bytesPerSecond)), port(host, instrument), link(host, port) {
    std::string error;
    port.Open("SIM", "19200,n,8,1", error);
    caption.Get = [this] { return title; };
    caption.Set = [this](const std::string& t) {
      title = t;
      titles.push_back(t);
    };
  }
  static InstrumentSettings Settings(const char* logger, double bytesPerSecond) {
    InstrumentSettings s;
    s.Logger = logger;
    s.BytesPerSecond = bytesPerSecond;
    return s;
  }
  MemoryNext Run() { return ReadMemoryDirectory(link, guard, state, dialogs, caption); }

  VirtualHost host;
  Instrument instrument;
  SimPort port;
  Link link;
  ExchangeGuard guard;
  LoggerState state;
  ScriptedDialogs dialogs;
  CaptionAccess caption;
  std::string title = "Panel  V8.00   110729";
  std::vector<std::string> titles;
};

TEST(MemoryCommand, ProgressThenRememberedCaptionThenLoggerWindow) {
  // Slow enough that the directory arrives over many reads after the 0.2 s pause.
  MemoryRig rig("small", 60.0);
  EXPECT_EQ(rig.Run(), MemoryNext::OpenLogger);
  EXPECT_EQ(rig.state.LoggerSetCount, 3);
  EXPECT_EQ(rig.state.LoggerDirectory.size(), 34u);
  std::vector<std::string> t = rig.titles;
  ASSERT_GE(t.size(), 3u);
  EXPECT_NE(std::find(t.begin(), t.end(), "50.0% Completed"), t.end());
  EXPECT_EQ(t[t.size() - 2], "100.0% Completed");
  EXPECT_EQ(t.back(), "Panel  V8.00   110729");
  EXPECT_TRUE(rig.dialogs.History.empty());
  EXPECT_FALSE(rig.guard.Busy());
}

TEST(MemoryCommand, EmptyLoggerSaysSoAndResumesThePoll) {
  MemoryRig rig("empty");
  EXPECT_EQ(rig.Run(), MemoryNext::ResumePoll);
  ASSERT_EQ(rig.dialogs.History.size(), 1u);
  EXPECT_EQ(rig.dialogs.History[0].Text, "No Data in Memory");
  EXPECT_EQ(rig.dialogs.History[0].Icon, MessageIcon::Stop);
  EXPECT_EQ(rig.dialogs.History[0].Buttons, MessageButtons::Ok);
  // The caption was back before the message showed.
  EXPECT_EQ(rig.titles.back(), "Panel  V8.00   110729");
  EXPECT_EQ(rig.titles.front(), "100.0% Completed");
}

TEST(MemoryCommand, SilentInstrumentEndsWithAMessageInsteadOfWaitingForever) {
  MemoryRig rig("small");
  // It answers the wake-up, then nothing more.
  rig.instrument.Faults().SilentAfter = rig.instrument.CommandCount() + 1;
  const double start = rig.host.Monotonic();
  EXPECT_EQ(rig.Run(), MemoryNext::ResumePoll);
  EXPECT_GE(rig.host.Monotonic() - start, StallLimit);
  ASSERT_EQ(rig.dialogs.MessageTexts().size(), 1u);
  EXPECT_EQ(rig.dialogs.MessageTexts()[0], DirectoryStalledMessage);
  EXPECT_EQ(rig.dialogs.History[0].Icon, MessageIcon::Stop);
  EXPECT_EQ(rig.title, "Panel  V8.00   110729");
}

TEST(MemoryCommand, BusyPortOrAbandonedExchangeTouchesNothing) {
  MemoryRig rig("small");
  {
    auto held = rig.guard.TakeForCommand();  // another command owns the port
    EXPECT_EQ(rig.Run(), MemoryNext::ResumePoll);
    EXPECT_TRUE(rig.titles.empty());
    EXPECT_TRUE(rig.port.Written().empty());
  }
  // The program ends while the directory arrives.
  MemoryRig slow("small", 60.0);
  ExchangeGuard::Ticket end;
  slow.host.OnEvents = [&] {
    if (slow.host.Monotonic() > 0.3 && !end) end = slow.guard.TakeForShutdown();
  };
  EXPECT_EQ(slow.Run(), MemoryNext::Nothing);
  EXPECT_TRUE(slow.dialogs.History.empty());
  EXPECT_NE(slow.title, "Panel  V8.00   110729");  // left as it was; the window is going
}

}  // namespace
}  // namespace qelt
