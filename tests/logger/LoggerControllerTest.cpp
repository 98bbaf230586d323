// The logger commands against the simulated instrument on the virtual clock:
// the window fill, downloads, the cache, erase, the split into two lists
// and the workbook.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <regex>

#include "FakePanel.hpp"
#include "FakePort.hpp"
#include "LoggerRecordsSupport.hpp"
#include "SimTestSupport.hpp"
#include "TempDir.hpp"
#include "ZipEntry.hpp"
#include "link/Commands.hpp"
#include "link/Link.hpp"
#include "logger/DirectoryRead.hpp"
#include "logger/DownloadTimeLeft.hpp"
#include "logger/LoggerController.hpp"
#include "logger/SetDownload.hpp"
#include "logger/WorkbookExport.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "text/NumberText.hpp"

namespace qelt {
namespace {

using test::FakePanel;

struct FakeView : LoggerView {
  void ShowDirectory(const std::string& r, const std::vector<std::string>& list, int sets) override {
    remain = r;
    setRows = list;
    setCount = sets;
  }
  void SetDownloadFill(int percent) override { downloadFill.push_back(percent); }
  void SetDownloading(bool running) override { downloading = running; }
  void SetDownloadTimeLeft(const std::string& text) override { timeLeft.push_back(text); }
  void ClearSetRows() override { setRows.clear(); }
  void CloseMemory() override {
    memoryOpen = false;
    if (onCloseMemory) onCloseMemory();
  }
  void CloseDataLists() override { open[0] = open[1] = false; }
  void OpenDataList(int list) override {
    open[list] = true;
    rows[list].clear();
    ++opened[list];
  }
  bool DataListOpen(int list) const override { return open[list]; }
  void AddListRow(int list, std::string_view row) override {
    if (!open[list]) ++rowsToClosedList;
    rows[list].emplace_back(row);
  }
  void SetDetailsFill(int list, int percent) override { detailsFill[list].push_back(percent); }
  bool OpenWorkbook(const std::string& path) override {
    workbooks.push_back(path);
    return canOpen;
  }

  std::string remain;
  std::vector<std::string> setRows;
  int setCount = 0;
  std::vector<int> downloadFill;
  std::vector<std::string> timeLeft;
  bool downloading = false;
  bool memoryOpen = true;
  std::function<void()> onCloseMemory;
  bool open[2] = {false, false};
  int opened[2] = {0, 0};
  std::vector<std::string> rows[2];
  std::vector<int> detailsFill[2];
  int rowsToClosedList = 0;
  std::vector<std::string> workbooks;
  bool canOpen = true;
};

struct Rig {
  explicit Rig(const char* preset = "small", bool paced = true)
      : bench(Settings(preset, paced)),
        link(bench.host, bench.port),
        controller({link, guard, logger, cos, panel, dialogs, view}, folder.File("exports")) {
    FillCosTable(cos);
    view.onCloseMemory = [this] { controller.Unload(); };
  }
  static InstrumentSettings Settings(const char* preset, bool paced) {
    InstrumentSettings s;
    s.Logger = preset;
    s.Paced = paced;
    return s;
  }
  // Replaces the instrument's memory with sets of the given record counts.
  void Sets(const std::vector<int>& counts) {
    bench.instrument.Logger().Erase();
    for (int n : counts) {
      LoggerSet set;
      set.Start = {2011, 7, 29, 9, 5, 0};
      set.IntervalSeconds = 1;
      test::RawRecord r;
      r.V = {2300, 2300, 2300};
      r.I = {50, 50, 50};
      r.KW = {10, 10, 10};
      for (int i = 0; i < n; ++i) {
        r.Hz = 500 + i % 10;
        set.Records += r.Bytes();
      }
      ASSERT_TRUE(bench.instrument.Logger().AddSet(set));
    }
  }
  // "Memory": the directory, then the window fills itself.
  void OpenMemory() {
    panel.StopTimer1();
    ASSERT_EQ(ReadLoggerDirectory(link, guard, logger, {}), DirectoryOutcome::Complete);
    controller.FillMemory("3P4W");
    bench.port.ClearWritten();
  }
  long Count(char c) const {
    const std::string& w = bench.port.Written();
    return std::count(w.begin(), w.end(), c);
  }

  test::TempDir folder;
  test::SimBench bench;
  Link link;
  ExchangeGuard guard;
  LoggerState logger;
  CosTableArray cos{};
  FakePanel panel;
  ScriptedDialogs dialogs;
  FakeView view;
  LoggerController controller;
};

TEST(LoggerController, FillsTheWindowFromTheDirectoryAndResumesThePoll) {
  Rig rig;
  rig.OpenMemory();
  EXPECT_TRUE(rig.panel.active);
  EXPECT_EQ(rig.view.setCount, 3);
  ASSERT_EQ(rig.view.setRows.size(), 3u);
  EXPECT_EQ(rig.view.setRows[0], "1\t11/07/29\t09:05:00\t3P4W\t40\t60");
  EXPECT_EQ(rig.view.setRows[1], "2\t11/07/29\t23:59:30\t1P3W\t11\t60");
  EXPECT_EQ(rig.view.setRows[2], "3\t11/08/01\t14:00:00\t3P3W2M\t32\t10");
  // (40 + 11 + 32) * 24 bytes in use.
  EXPECT_EQ(rig.view.remain, FormatPattern(512.0 - 83 * 24 / 1024.0, "0.0") + " K");
}

TEST(LoggerController, DownloadsInBlocksAndListsTheRecords) {
  for (auto [records, blocks] : {std::pair{0, 0}, std::pair{11, 2}, std::pair{32, 3}}) {
    Rig rig;
    rig.Sets({records});
    rig.OpenMemory();
    rig.controller.ReadCommand("1");
    const std::string& w = rig.bench.port.Written();
    EXPECT_EQ(w.substr(w.find('K'), 2), std::string("K\x01")) << records;
    EXPECT_EQ(rig.Count('k'), blocks) << records;
    EXPECT_EQ(rig.logger.SetHeaderCache[1].size(), 10u);
    EXPECT_EQ(rig.logger.SetDataCache[1].size(), static_cast<std::size_t>(records) * 24);
    EXPECT_EQ(rig.view.opened[0], 1);
    EXPECT_EQ(rig.view.opened[1], 0);
    ASSERT_EQ(rig.view.rows[0].size(), static_cast<std::size_t>(records));
    if (records) {
      EXPECT_EQ(rig.view.rows[0].back().substr(0, 3 + (records > 9)), std::to_string(records) + "\t2");
      EXPECT_EQ(rig.view.downloadFill.back(), -1);
      EXPECT_EQ(rig.view.downloadFill[rig.view.downloadFill.size() - 2], 100);
      EXPECT_EQ(rig.view.detailsFill[0].back(), -1);
      EXPECT_EQ(rig.view.detailsFill[0][rig.view.detailsFill[0].size() - 2], 100);
    }
    EXPECT_TRUE(rig.panel.active);
    EXPECT_FALSE(rig.controller.Decoding());
    EXPECT_FALSE(rig.view.downloading);
    EXPECT_TRUE(rig.dialogs.History.empty());
  }
}

TEST(LoggerController, CachedSetSendsNothingAndSameRowsAgain) {
  Rig rig;
  rig.OpenMemory();
  rig.controller.ReadCommand("3");
  const auto first = rig.view.rows[0];
  ASSERT_EQ(first.size(), 32u);
  // The sixth record carries no reading: it repeats the fifth.
  EXPECT_EQ(first[5].substr(first[5].find('\t', 20)), first[4].substr(first[4].find('\t', 20)));
  rig.bench.port.ClearWritten();
  rig.panel.starts = 0;
  bool stopped = false;
  rig.bench.host.OnEvents = [&] { stopped = stopped || !rig.panel.active; };
  rig.controller.ReadCommand("3");
  EXPECT_TRUE(rig.bench.port.Written().empty());
  EXPECT_FALSE(stopped);
  EXPECT_TRUE(rig.panel.active);
  EXPECT_EQ(rig.view.opened[0], 2);
  EXPECT_EQ(rig.view.rows[0], first);
}

TEST(LoggerController, OnlySetNumbersOfTheDirectoryAreRead) {
  Rig rig;
  rig.OpenMemory();
  for (const char* text : {"", "Set", "0", "4", "100", "-1", "1.5", "x1", "256"}) {
    rig.controller.ReadCommand(text);
    EXPECT_TRUE(rig.bench.port.Written().empty()) << text;
    EXPECT_EQ(rig.view.opened[0], 0) << text;
  }
  EXPECT_EQ(rig.controller.SetNumberOf(" 2 "), 2);
  EXPECT_EQ(rig.controller.SetNumberOf("03"), 3);
}

TEST(LoggerController, SilentInstrumentEndsTheDownloadWithAMessage) {
  Rig rig;
  rig.OpenMemory();
  // Set 1 is 960 bytes: the instrument stops after the entry and two blocks.
  rig.bench.instrument.Faults().SilentAfter = rig.bench.instrument.CommandCount() + 1 + 1 + 2;
  const double start = rig.bench.host.Monotonic();
  rig.controller.ReadCommand("1");
  EXPECT_LT(rig.bench.host.Monotonic() - start, 5.0);
  ASSERT_EQ(rig.dialogs.MessageTexts().size(), 1u);
  EXPECT_NE(rig.dialogs.MessageTexts()[0].find("set 1 (512 of 960 bytes)"), std::string::npos);
  EXPECT_EQ(rig.dialogs.History[0].Icon, MessageIcon::Stop);
  EXPECT_TRUE(rig.logger.SetHeaderCache[1].empty());
  EXPECT_TRUE(rig.logger.SetDataCache[1].empty());
  EXPECT_TRUE(rig.panel.active);
  EXPECT_FALSE(rig.view.downloading);
  EXPECT_EQ(rig.view.opened[0], 0);
  EXPECT_FALSE(rig.guard.Busy());

  // Silent after the wake-up: the entry never comes.
  Rig mute;
  mute.OpenMemory();
  mute.bench.instrument.Faults().SilentAfter = mute.bench.instrument.CommandCount() + 1;
  mute.controller.ReadCommand("2");
  ASSERT_EQ(mute.dialogs.MessageTexts().size(), 1u);
  EXPECT_NE(mute.dialogs.MessageTexts()[0].find("set 2 (0 of 10 bytes)"), std::string::npos);
}

TEST(LoggerController, ClosingTheWindowCancelsADownload) {
  Rig rig;
  rig.OpenMemory();
  rig.bench.host.OnEvents = [&] {
    if (rig.bench.host.Monotonic() > 0.5 && rig.view.memoryOpen) rig.view.CloseMemory();
  };
  rig.controller.ReadCommand("1");
  EXPECT_TRUE(rig.logger.SetHeaderCache[1].empty());
  EXPECT_EQ(rig.view.opened[0], 0);
  EXPECT_TRUE(rig.panel.active);
  EXPECT_FALSE(rig.controller.Downloading());
  EXPECT_TRUE(rig.dialogs.History.empty());
  EXPECT_LT(rig.Count('k'), 4);
}

TEST(LoggerController, CancelEndsTheDownloadAndLeavesTheInstrumentQuiet) {
  Rig rig;
  rig.Sets({400});  // 9 600 bytes, about 6 s
  rig.OpenMemory();
  std::string pausedWhileDownloading;
  rig.bench.host.OnEvents = [&] {
    if (!rig.controller.Downloading()) return;
    pausedWhileDownloading = rig.panel.paused;
    if (rig.bench.host.Monotonic() > 1.5) rig.controller.CancelDownload();
  };
  rig.controller.ReadCommand("1");
  rig.bench.host.OnEvents = nullptr;
  EXPECT_EQ(pausedWhileDownloading, PollPausedTip);
  EXPECT_TRUE(rig.panel.paused.empty());
  EXPECT_TRUE(rig.panel.active);
  EXPECT_FALSE(rig.controller.Downloading());
  EXPECT_TRUE(rig.logger.SetHeaderCache[1].empty());
  EXPECT_EQ(rig.view.opened[0], 0);
  EXPECT_TRUE(rig.view.memoryOpen);
  EXPECT_FALSE(rig.view.downloading);
  EXPECT_EQ(rig.view.downloadFill.back(), -1);
  ASSERT_GE(rig.view.timeLeft.size(), 2u);
  EXPECT_NE(rig.view.timeLeft.front().find(" s left"), std::string::npos);
  EXPECT_EQ(rig.view.timeLeft.back(), "");
  EXPECT_TRUE(rig.dialogs.History.empty());
  EXPECT_FALSE(rig.guard.Busy());
  // The block under way came and went; "E" ended the exchange; the line is
  // quiet and the next wake-up and reading are answered as usual.
  EXPECT_EQ(rig.bench.port.Written().back(), 'E');
  EXPECT_LT(rig.Count('k'), 40);
  EXPECT_EQ(rig.bench.Wait(1.0), "");
  EXPECT_EQ(rig.bench.Exchange("w", 1), "w");
  const std::string frame = rig.bench.Exchange(" ", cmd::FrameSize);
  ASSERT_EQ(frame.size(), cmd::FrameSize);
  EXPECT_EQ(static_cast<unsigned char>(frame.front()), cmd::FrameStart);

  // Read again: the set comes whole.
  rig.controller.ReadCommand("1");
  EXPECT_EQ(rig.logger.SetDataCache[1].size(), 9600u);
  EXPECT_EQ(rig.view.rows[0].size(), 400u);
}

TEST(LoggerController, EraseAsksFirstThenSendsGAndUnloads) {
  Rig rig;
  rig.OpenMemory();
  rig.controller.ReadCommand("2");
  rig.bench.port.ClearWritten();
  rig.dialogs.Answers.push_back(MessageAnswer::Cancel);
  rig.controller.EraseCommand();
  ASSERT_EQ(rig.dialogs.History.size(), 1u);
  EXPECT_EQ(rig.dialogs.History[0].Text, "All data in memory will be deleted!");
  EXPECT_EQ(rig.dialogs.History[0].Title, "Warning!");
  EXPECT_EQ(rig.dialogs.History[0].Icon, MessageIcon::Exclamation);
  EXPECT_EQ(rig.dialogs.History[0].Buttons, MessageButtons::OkCancelDefaultCancel);
  EXPECT_TRUE(rig.bench.port.Written().empty());
  EXPECT_TRUE(rig.view.memoryOpen);
  EXPECT_FALSE(rig.logger.SetHeaderCache[2].empty());

  rig.dialogs.Answers.push_back(MessageAnswer::Ok);
  rig.controller.EraseCommand();
  EXPECT_EQ(rig.bench.port.Written().back(), 'G');
  EXPECT_TRUE(rig.logger.SetHeaderCache[2].empty());
  EXPECT_TRUE(rig.view.setRows.empty());
  EXPECT_FALSE(rig.view.memoryOpen);
  EXPECT_TRUE(rig.panel.active);
  rig.bench.Wait(0.1);
  EXPECT_TRUE(rig.bench.instrument.Logger().Sets().empty());
}

// The instrument stopped answering: the erase's wake-up goes on until the
// user stops it, and then nothing is erased.
TEST(LoggerController, AnEraseStoppedDuringItsWakeUpSendsNothingAndKeepsTheSets) {
  Rig rig;
  rig.OpenMemory();
  rig.controller.ReadCommand("2");
  rig.bench.instrument.Faults().Silent = true;
  rig.bench.port.ClearWritten();
  rig.dialogs.Answers.push_back(MessageAnswer::Ok);
  const double start = rig.bench.host.Monotonic();
  double stoppedAt = -1;
  rig.bench.host.OnEvents = [&] {
    if (stoppedAt < 0 && rig.bench.host.Monotonic() - start > 1.0) {
      stoppedAt = rig.bench.host.Monotonic();
      rig.controller.CancelDownload();  // Escape in the window
    }
  };
  rig.controller.EraseCommand();
  rig.bench.host.OnEvents = nullptr;
  ASSERT_GT(stoppedAt, 0);
  EXPECT_LE(rig.bench.host.Monotonic() - stoppedAt, 0.5);
  EXPECT_EQ(rig.Count('G'), 0);
  EXPECT_FALSE(rig.logger.SetHeaderCache[2].empty());
  EXPECT_FALSE(rig.view.setRows.empty());
  EXPECT_TRUE(rig.view.memoryOpen);
  EXPECT_TRUE(rig.panel.active);
  EXPECT_FALSE(rig.guard.Busy());
}

TEST(LoggerController, ClosingAListEndsTheDecodingCleanly) {
  Rig rig("large", false);
  rig.OpenMemory();
  rig.view.canOpen = false;
  rig.dialogs.QueueFile(rig.folder.File("kept.xlsx"));
  int seen = 0;
  rig.bench.host.OnEvents = [&] {
    if (rig.controller.Decoding() && ++seen == 3) rig.view.open[0] = false;
  };
  rig.controller.ReadCommand("1");
  EXPECT_FALSE(rig.controller.Decoding());
  EXPECT_TRUE(rig.panel.active);
  EXPECT_EQ(rig.view.rowsToClosedList, 0);
  EXPECT_LT(rig.view.rows[0].size(), 10000u);
  EXPECT_TRUE(rig.view.workbooks.empty());
  EXPECT_FALSE(std::filesystem::exists(rig.folder.File("kept.xlsx")));
  EXPECT_FALSE(std::filesystem::exists(rig.controller.ExportFolder()) &&
               !std::filesystem::is_empty(rig.controller.ExportFolder()));

  // A new "Read" during a decoding replaces it: only the new set's rows.
  rig.view.canOpen = true;
  rig.controller.ReadCommand("2");  // 20 records, now cached
  seen = 0;
  rig.bench.host.OnEvents = [&] {
    if (rig.controller.Decoding() && ++seen == 2) rig.controller.ReadCommand("2");
  };
  rig.logger.SetHeaderCache[1].clear();  // set 1 downloads again
  rig.dialogs.QueueFile(rig.folder.File("kept.xlsx"));
  rig.controller.ReadCommand("1");
  EXPECT_EQ(seen, 2);
  EXPECT_FALSE(rig.controller.Decoding());
  EXPECT_TRUE(rig.panel.active);
  EXPECT_EQ(rig.view.rowsToClosedList, 0);
  ASSERT_EQ(rig.view.rows[0].size(), 20u);
  EXPECT_EQ(rig.view.rows[0][0].substr(0, 21), "1\t2011/08/03\t10:30:00");
  EXPECT_FALSE(rig.view.open[1]);
  // The first set's workbook was dropped unfinished.
  EXPECT_TRUE(rig.view.workbooks.empty());
  EXPECT_FALSE(std::filesystem::exists(rig.folder.File("kept.xlsx")));
  EXPECT_FALSE(std::filesystem::exists(rig.controller.ExportFolder()) &&
               !std::filesystem::is_empty(rig.controller.ExportFolder()));
}

TEST(LoggerController, OverTenThousandRecordsSplitAndExport) {
  Rig rig("empty", false);
  rig.Sets({10000, 10001});
  rig.OpenMemory();
  rig.controller.ReadCommand("1");
  EXPECT_EQ(rig.dialogs.MessageTexts(), std::vector<std::string>{});
  EXPECT_EQ(rig.logger.SetDataCache[1].size(), 240000u);
  EXPECT_EQ(rig.view.opened[0], 1);
  EXPECT_EQ(rig.view.rows[0].size(), 10000u);
  EXPECT_EQ(rig.view.opened[1], 0);
  EXPECT_TRUE(rig.dialogs.History.empty());
  EXPECT_TRUE(rig.view.workbooks.empty());

  rig.view.canOpen = false;
  const std::string documents = rig.folder.File("documents");
  std::filesystem::create_directories(documents);
  rig.controller.SetWorkbookFolder(documents);
  const std::string kept = rig.folder.File("kept.xlsx");
  rig.dialogs.QueueFile(kept);
  rig.controller.ReadCommand("2");
  ASSERT_GE(rig.dialogs.History.size(), 2u);
  EXPECT_EQ(rig.dialogs.History[0].Text, "Over 10000 records, two files will be generated.");
  EXPECT_EQ(rig.dialogs.History[0].Icon, MessageIcon::None);
  EXPECT_EQ(rig.dialogs.History[0].Buttons, MessageButtons::Ok);
  // Then where to keep the workbook: named as before, in the documents folder.
  const FileRequest& asked = rig.dialogs.History[1].File;
  EXPECT_EQ(rig.dialogs.History[1].What, ScriptedDialogs::Kind::SaveFile);
  EXPECT_EQ(asked.InitialPath, "Set2 2011-07-29 090500.xlsx");
  EXPECT_EQ(asked.FallbackFolder, documents);
  EXPECT_TRUE(asked.OverwritePrompt);
  EXPECT_EQ(asked.Filter, WorkbookFilter);
  ASSERT_EQ(rig.view.rows[0].size(), 10000u);
  ASSERT_EQ(rig.view.rows[1].size(), 1u);
  EXPECT_EQ(rig.view.rows[1][0].substr(0, 6), "10001\t");
  EXPECT_EQ(rig.view.detailsFill[1].front(), 0);
  EXPECT_EQ(rig.view.detailsFill[1][rig.view.detailsFill[1].size() - 2], 100);
  EXPECT_EQ(rig.view.detailsFill[1].back(), -1);
  // Kept where chosen, nothing left in the temporary folder; nothing opens
  // workbooks here, so the program says where it is.
  EXPECT_EQ(rig.view.workbooks, std::vector<std::string>{kept});
  EXPECT_EQ(rig.controller.LastWorkbook(), kept);
  EXPECT_TRUE(std::filesystem::is_empty(rig.controller.ExportFolder()));
  ASSERT_EQ(rig.dialogs.History.size(), 3u);
  EXPECT_EQ(rig.dialogs.History[2].Text, WorkbookNotOpenedMessage(kept));

  const std::string xml = qelt::test::ZipEntry(kept, "xl/worksheets/sheet1.xml");
  std::regex rowRe("<row r=\"(\\d+)\"");
  std::regex firstCell("<row r=\"(\\d+)\"[^>]*><c r=\"A\\d+\"[^>]*><v>(\\d+)</v>");
  int rows = 0, expected = 1;
  for (auto it = std::sregex_iterator(xml.begin(), xml.end(), rowRe); it != std::sregex_iterator(); ++it) ++rows;
  EXPECT_EQ(rows, 10002);
  for (auto it = std::sregex_iterator(xml.begin(), xml.end(), firstCell); it != std::sregex_iterator(); ++it) {
    EXPECT_EQ(std::stoi((*it)[1]), expected + 1);
    EXPECT_EQ(std::stoi((*it)[2]), expected);
    ++expected;
  }
  EXPECT_EQ(expected, 10002);
  // Dates and times are numbers in their own formats: 2011/07/29 is day
  // 40753, and record 10001, 10000 s after 09:05:00, is at 11:51:40 the same day.
  auto cell = [&](const std::string& ref) {
    std::smatch m;
    const std::regex re("<c r=\"" + ref + "\" s=\"(\\d+)\"><v>([^<]+)</v>");
    EXPECT_TRUE(std::regex_search(xml, m, re)) << ref;
    return m.empty() ? std::pair<std::string, double>{} : std::pair{m[1].str(), std::stod(m[2])};
  };
  const auto [dateStyle, day] = cell("B2");
  const auto [timeStyle, time] = cell("C2");
  EXPECT_EQ(day, 40753.0);
  EXPECT_NEAR(time, (9 * 3600 + 5 * 60) / 86400.0, 1e-12);
  EXPECT_NE(dateStyle, timeStyle);
  EXPECT_EQ(cell("B10002"), std::pair(dateStyle, 40753.0));
  EXPECT_NEAR(cell("C10002").second, (11 * 3600 + 51 * 60 + 40) / 86400.0, 1e-12);
  const std::string styles = qelt::test::ZipEntry(kept, "xl/styles.xml");
  EXPECT_NE(styles.find("formatCode=\"yyyy/mm/dd\""), std::string::npos);
  EXPECT_NE(styles.find("formatCode=\"hh:mm:ss\""), std::string::npos);

  // The next export starts in the folder last used, numbered past what is
  // there; a cancelled dialog keeps no workbook and the lists still fill.
  rig.logger.ClearCaches();
  test::WriteFile(rig.folder.File("Set2 2011-07-29 090500.xlsx"), "x");
  rig.dialogs.QueueFileCancel();
  rig.controller.ReadCommand("2");
  ASSERT_EQ(rig.dialogs.History.size(), 5u);
  EXPECT_EQ(rig.dialogs.History[4].File.InitialPath, rig.folder.File("Set2 2011-07-29 090500 (2).xlsx"));
  EXPECT_EQ(rig.view.rows[1].size(), 1u);
  EXPECT_EQ(rig.view.workbooks.size(), 1u);
  EXPECT_TRUE(std::filesystem::is_empty(rig.controller.ExportFolder()));

  // Opened by the desktop: still says where it was written.
  rig.logger.ClearCaches();
  rig.view.canOpen = true;
  rig.dialogs.QueueFile(kept);
  rig.controller.ReadCommand("2");
  EXPECT_EQ(rig.view.workbooks.back(), kept);
  EXPECT_EQ(rig.dialogs.History.back().Text, WorkbookWrittenMessage(kept));
  EXPECT_EQ(rig.dialogs.History.back().Icon, MessageIcon::Information);
}

TEST(LoggerController, ExportIntoAFolderThatCannotBeMadeSaysSoAndStillLists) {
  Rig rig("empty", false);
  rig.Sets({10001});
  test::WriteFile(rig.folder.File("file"), "x");
  LoggerController blocked({rig.link, rig.guard, rig.logger, rig.cos, rig.panel, rig.dialogs, rig.view},
                           rig.folder.File("file") + "/sub");
  rig.OpenMemory();
  rig.dialogs.QueueFile(rig.folder.File("kept.xlsx"));
  blocked.ReadCommand("1");
  EXPECT_EQ(rig.view.rows[0].size(), 10000u);
  EXPECT_EQ(rig.view.rows[1].size(), 1u);
  ASSERT_EQ(rig.dialogs.History.size(), 3u);
  EXPECT_NE(rig.dialogs.History[2].Text.find("The workbook could not be written:"), std::string::npos);
  EXPECT_NE(rig.dialogs.History[2].Text.find("file/sub"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(rig.folder.File("kept.xlsx")));
  EXPECT_TRUE(rig.view.workbooks.empty());
  EXPECT_TRUE(rig.panel.active);
}

}  // namespace
}  // namespace qelt

namespace qelt {
namespace {

TEST(DownloadTimeLeft, LineRateFirstThenTheRateMeasured) {
  DownloadTimeLeft left;
  EXPECT_LT(left.SecondsLeft(), 0.0);
  left.Start(12000 * 24, 10.0);
  // 288 000 bytes at 1 920 a second.
  EXPECT_DOUBLE_EQ(left.SecondsLeft(), 150.0);
  left.Update(256, 10.5);
  left.Update(1024, 11.0);  // measured only after a second
  EXPECT_NEAR(left.SecondsLeft(), (288000 - 1024) / 1920.0, 1e-9);
  left.Update(2048, 12.0);  // 1 792 bytes in 1.5 s
  EXPECT_NEAR(left.SecondsLeft(), (288000 - 2048) / (1792 / 1.5), 1e-9);
  left.Update(300000, 200.0);
  EXPECT_EQ(left.SecondsLeft(), 0.0);

  EXPECT_EQ(TimeLeftText(-1), "");
  EXPECT_EQ(TimeLeftText(0.2), "1 s left");
  EXPECT_EQ(TimeLeftText(40), "40 s left");
  EXPECT_EQ(TimeLeftText(59.5), "60 s left");
  EXPECT_EQ(TimeLeftText(120), "2 min left");
  EXPECT_EQ(TimeLeftText(151.2), "2 min 35 s left");
}

TEST(DownloadTimeLeft, EstimateMatchesThePacedSimulator) {
  test::SimBench bench;
  bench.instrument.Logger().Erase();
  LoggerSet set;
  set.Start = {2011, 7, 29, 9, 5, 0};
  set.IntervalSeconds = 1;
  set.Records = std::string(3000 * 24, '\0');
  ASSERT_TRUE(bench.instrument.Logger().AddSet(set));
  Link link(bench.host, bench.port);
  ExchangeGuard guard;
  DownloadTimeLeft left;
  std::vector<std::pair<double, double>> estimates;  // (time, seconds left) at 0 %, 25 %, 75 %
  DownloadHooks hooks;
  hooks.Bytes = [&](std::size_t received, std::size_t total) {
    const double now = bench.host.Monotonic();
    if (received == 0) left.Start(total, now);
    left.Update(received, now);
    const std::size_t marks[] = {0, total / 4, 3 * total / 4};
    if (estimates.size() < 3 && received >= marks[estimates.size()]) estimates.emplace_back(now, left.SecondsLeft());
  };
  ASSERT_EQ(DownloadLoggerSet(link, guard, 1, hooks).Outcome, DownloadOutcome::Complete);
  const double end = bench.host.Monotonic();
  ASSERT_EQ(estimates.size(), 3u);
  for (auto [at, estimate] : estimates) EXPECT_NEAR(estimate, end - at, 0.05 * (end - at)) << at;
}

TEST(SetDownload, ExtraEntryByteIsDroppedAndThePausesAreKept) {
  VirtualHost host;
  test::FakePort port(host);
  std::string error;
  port.Open("X", "19200,n,8,1", error);
  Link link(host, port);
  ExchangeGuard guard;
  const std::string entry = test::Entry(2, {0x11, 0x07, 0x29, 0x09, 0x05, 0x00}, 8, 60);
  const std::string records(48, '\x11');
  port.Reply = [&](char c) -> std::vector<test::FakePort::Chunk> {
    if (c == 'w') return {{0.001, "w"}};
    if (c == '\x01') return {{0.01, entry + "Z"}};  // one byte too many
    if (c == 'k') return {{0.01, records}};
    return {};
  };
  DownloadResult got = DownloadLoggerSet(link, guard, 1, {});
  ASSERT_EQ(got.Outcome, DownloadOutcome::Complete);
  EXPECT_EQ(got.Entry, entry);
  EXPECT_EQ(got.Data, records);
  std::string sent;
  double kAt = 0, setAt = 0, blockAt = 0;
  for (auto [at, c] : port.Written) {
    if (c == 'w') continue;
    sent += c;
    if (c == 'K') kAt = at;
    if (c == '\x01') setAt = at;
    if (c == 'k') blockAt = at;
  }
  EXPECT_EQ(sent, std::string("K\x01k"));
  // Delay reads the day clock in single precision: steps of 1/256 s at 10:00.
  EXPECT_GE(setAt - kAt, 0.2 - 1.0 / 256);
  EXPECT_GE(blockAt - setAt, 0.02 - 1.0 / 256);
  EXPECT_FALSE(guard.Busy());
}

}  // namespace
}  // namespace qelt
