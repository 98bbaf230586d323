#include <gtest/gtest.h>

#include "TempDir.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/ScriptedWindow.hpp"
#include "platform/VirtualHost.hpp"
#include "recorder/PcSampling.hpp"

namespace qelt {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct FakeRecorderView : RecorderView {
  std::string fileName = "-", count = "-", rec = "Rec.";
  bool recVisible = false;
  bool recording = false;
  void SetFileNameLabel(const std::string& t) override { fileName = t; }
  void SetCountLabel(const std::string& t) override { count = t; }
  void SetRecLabel(const std::string& t) override { rec = t; }
  void SetRecLabelVisible(bool v) override { recVisible = v; }
  void SetRecordingButton(bool r) override { recording = r; }
  ValueTexts ValueLabelTexts() const override { return {}; }
};

struct FakeList : LiveListView {
  GridRows grid{RecordColumns};
  int top = 1;
  int restarts = 0;
  ScriptedWindow window{"List"};
  FakeList() { grid.AddRow(HeaderLine()); }
  const GridRows& Rows() const override { return grid; }
  std::function<const GridRows*()> Grid() {
    return [this] { return &grid; };
  }
  void AppendRow(std::string_view row) override { grid.AddRow(row); }
  int TopRow() const override { return top; }
  void SetTopRow(int row) override { top = row; }
  WindowSurface& Surface() override { return window; }
  void ShowSkippedTicks(std::int64_t n) override { skipped = n; }
  std::int64_t skipped = 0;
  void Restart() override {
    ++restarts;
    grid.SetRows(1);
    top = 1;
  }
};

struct FakeFileList : FileListTarget {
  int closes = 0, opens = 0;
  std::vector<std::string> rows, captions;
  void CloseOpenList() override { ++closes; }
  void OpenList(const std::string& caption) override {
    ++opens;
    rows.clear();
    captions.push_back(caption);
  }
  void AppendRow(std::string_view row) override { rows.emplace_back(row); }
  void SetCaption(const std::string& caption) override { captions.push_back(caption); }
};

struct Rig {
  RecorderState state;
  VirtualHost host{10 * 3600.0, DateTime{2011, 7, 29, 0, 0, 0}};
  ScriptedDialogs dialogs;
  FakeRecorderView view;
  PcSampling sampling{state, host, dialogs, view};
  ValueTexts values;

  SampleStepResult Tick(LiveListView* list = nullptr, std::optional<std::uint64_t> serial = std::nullopt) {
    auto r = sampling.Tick([&] { return values; }, list, serial);
    host.Advance(1.0);
    return r;
  }
};

TEST(PcSampling, TicksWithoutANewReadingAreSkippedAndCounted) {
  // The link is lost for three ticks: the labels still show reading 7.
  TempDir dir;
  Rig rig;
  rig.state.SampleTime = 1;
  rig.dialogs.QueueFile(dir.File("run.mes"));
  rig.sampling.Save();
  FakeList list;
  rig.state.ListActive = true;
  const std::uint64_t serials[] = {5, 6, 7, 7, 7, 7, 9, 10};
  for (std::uint64_t serial : serials) {
    rig.values[5] = "23" + std::to_string(serial) + ".0";
    rig.Tick(&list, serial);
  }
  EXPECT_EQ(rig.state.RecCount, 5);
  EXPECT_EQ(rig.state.SkippedRecords, 3);
  EXPECT_EQ(rig.view.count, "5 (3 skipped)");
  EXPECT_EQ(list.skipped, 3);
  ASSERT_EQ(list.grid.Rows(), 6);  // titles and five rows, numbered without a gap
  EXPECT_EQ(list.grid.Cell(5, 0), "5");

  // The file: records 1 to 5, the gap shows in the times (10:00:02, then 10:00:06).
  std::string file = ReadFile(dir.File("run.mes"));
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 6);
  EXPECT_NE(file.find("\r\n3\t2011/07/29\t10:00:02\t"), std::string::npos);
  EXPECT_NE(file.find("\r\n4\t2011/07/29\t10:00:06\t"), std::string::npos);
  EXPECT_EQ(file.find("237.0", file.find("237.0") + 1), std::string::npos);

  // A new recording starts its own count, and its first record is taken at once.
  rig.sampling.Save();
  rig.dialogs.QueueFile(dir.File("again.mes"));
  rig.sampling.Save();
  rig.Tick(&list, 10);
  EXPECT_EQ(rig.state.RecCount, 1);
  EXPECT_EQ(rig.view.count, "1");
}

TEST(PcSampling, SaveStartsAndStopsARecording) {
  TempDir dir;
  Rig rig;
  rig.state.SampleTime = 1;
  rig.values[5] = "230.5";

  rig.dialogs.QueueFileCancel();
  rig.sampling.Save();
  EXPECT_FALSE(rig.state.Recording);
  EXPECT_FALSE(rig.view.recording);

  rig.dialogs.QueueFile(dir.File("run.mes"));
  rig.sampling.Save();
  EXPECT_TRUE(rig.state.Recording);
  EXPECT_TRUE(rig.view.recording);
  EXPECT_TRUE(rig.view.recVisible);
  EXPECT_EQ(rig.view.fileName, "run.mes");
  EXPECT_EQ(ReadFile(dir.File("run.mes")), HeaderLine() + "\r\n");

  for (int i = 0; i < 3; ++i) rig.Tick();
  EXPECT_EQ(rig.view.count, "3");
  EXPECT_EQ(rig.view.rec, "Rec");

  rig.sampling.Save();
  EXPECT_FALSE(rig.state.Recording);
  EXPECT_FALSE(rig.view.recording);
  EXPECT_FALSE(rig.view.recVisible);
  EXPECT_EQ(rig.view.count, "");
  EXPECT_EQ(rig.view.fileName, "");
  EXPECT_FALSE(rig.state.DialogOK);
  std::string file = ReadFile(dir.File("run.mes"));
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 4);
  EXPECT_NE(file.find("\r\n3\t2011/07/29\t10:00:02\t\t\t\t\t\t230.5\t"), std::string::npos);

  rig.Tick();  // no recording: the status labels are emptied
  EXPECT_EQ(rig.view.rec, "");
}

TEST(PcSampling, ARecordingFileThatCannotBeCreatedOrWrittenIsReported) {
  TempDir dir;
  Rig rig;
  rig.state.SampleTime = 1;
  rig.dialogs.QueueFile(dir.File("none/run.mes"));
  rig.sampling.Save();
  EXPECT_FALSE(rig.state.Recording);
  EXPECT_FALSE(rig.view.recording);
  ASSERT_EQ(rig.dialogs.MessageTexts().size(), 1u);
  EXPECT_NE(rig.dialogs.MessageTexts()[0].find(dir.File("none/run.mes")), std::string::npos);
  EXPECT_EQ(rig.dialogs.History.back().Icon, MessageIcon::Stop);

  std::filesystem::create_directory(dir.File("run-1.mes"));
  rig.dialogs.QueueFile(dir.File("run.mes"));
  rig.sampling.Save();
  ASSERT_TRUE(rig.state.Recording);
  rig.state.RecCount = 10000;
  rig.Tick();
  EXPECT_FALSE(rig.state.Recording);
  EXPECT_FALSE(rig.view.recording);  // "Start Recording" again
  EXPECT_FALSE(rig.view.recVisible);
  EXPECT_EQ(rig.view.fileName, "");
  ASSERT_EQ(rig.dialogs.MessageTexts().size(), 2u);
  EXPECT_NE(rig.dialogs.MessageTexts()[1].find(dir.File("run-1.mes")), std::string::npos);
  EXPECT_NE(rig.dialogs.MessageTexts()[1].find("Is a directory"), std::string::npos);
}

TEST(PcSampling, OpenListsTheRecordsWithCaptionProgress) {
  TempDir dir;
  Rig rig;
  WriteFile(dir.File("three.mes"), HeaderLine() + "\r\n1\ta\r\n2\tb\r\n3\tc\r\n");
  FakeFileList list;
  rig.dialogs.QueueFile(dir.File("three.mes"));
  rig.sampling.Open(list);
  EXPECT_EQ(rig.dialogs.History[0].What, ScriptedDialogs::Kind::OpenFile);
  EXPECT_EQ(rig.dialogs.History[0].File.Filter, "All Files (*.*)|*.*|Measurement Files (*.mes)|*.mes|");
  EXPECT_EQ(list.closes, 1);
  EXPECT_EQ(list.opens, 1);
  EXPECT_EQ(list.rows, (std::vector<std::string>{"1\ta", "2\tb", "3\tc"}));
  // Progress a few times a second at most, not on every line: the clock
  // stands still here, so only the first line shows.
  EXPECT_EQ(list.captions, (std::vector<std::string>{"three.mes", "1 Records Completed", "three.mes"}));

  // Cancelled: nothing happens.
  rig.sampling.Open(list);
  EXPECT_EQ(list.closes, 1);

  // A file that is not there: the user is told, no list is opened.
  rig.dialogs.QueueFile(dir.File("gone.mes"));
  rig.sampling.Open(list);
  EXPECT_EQ(list.opens, 1);
  ASSERT_EQ(rig.dialogs.MessageTexts().size(), 1u);
  EXPECT_NE(rig.dialogs.MessageTexts()[0].find(dir.File("gone.mes")), std::string::npos);
}

TEST(PcSampling, OpenRefusesFilesOfAnotherKindAndSaveAddsTheEnding) {
  TempDir dir;
  Rig rig;
  FakeFileList list;
  WriteFile(dir.File("picture.png"), std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
  WriteFile(dir.File("notes.txt"), "a\tb\tc\r\nnothing like a record\r\n");
  for (const char* name : {"picture.png", "notes.txt"}) {
    rig.dialogs.QueueFile(dir.File(name));
    rig.sampling.Open(list);
    EXPECT_EQ(list.closes, 0) << name;  // the open list stays as it was
    EXPECT_EQ(list.opens, 0) << name;
    ASSERT_FALSE(rig.dialogs.MessageTexts().empty());
    EXPECT_NE(rig.dialogs.MessageTexts().back().find("not a measurement file"), std::string::npos) << name;
  }
  // A saved list (a TAB after every cell) is one.
  WriteFile(dir.File("list.mes"), HeaderLine() + "\t\r\n");
  rig.dialogs.QueueFile(dir.File("list.mes"));
  rig.sampling.Open(list);
  EXPECT_EQ(list.opens, 1);

  // "run" becomes run.mes; a run.mes that exists is asked about.
  rig.dialogs.QueueFile(dir.File("run"));
  rig.sampling.Save();
  ASSERT_TRUE(rig.state.Recording);
  EXPECT_EQ(rig.state.RecFileName, dir.File("run.mes"));
  EXPECT_EQ(rig.view.fileName, "run.mes");
  rig.sampling.Save();
  const std::size_t messages = rig.dialogs.MessageTexts().size();
  rig.dialogs.Answers.push_back(MessageAnswer::No);
  rig.dialogs.QueueFile(dir.File("run"));
  rig.sampling.Save();
  EXPECT_FALSE(rig.state.Recording);
  ASSERT_EQ(rig.dialogs.MessageTexts().size(), messages + 1);
  EXPECT_NE(rig.dialogs.MessageTexts().back().find("already exists"), std::string::npos);
  EXPECT_EQ(ReadFile(dir.File("run.mes")), HeaderLine() + "\r\n");  // not replaced
}

TEST(PcSampling, OpenAndListSaveAreRefusedWhileRecording) {
  TempDir dir;
  Rig rig;
  rig.dialogs.QueueFile(dir.File("run.mes"));
  rig.sampling.Save();
  ASSERT_TRUE(rig.state.Recording);
  FakeFileList files;
  rig.sampling.Open(files);
  EXPECT_EQ(files.closes, 0);
  ASSERT_EQ(rig.dialogs.History.size(), 2u);
  EXPECT_EQ(rig.dialogs.History[1].Text, "Recording Mode!\n\rPlease stop recording!");
  EXPECT_EQ(rig.dialogs.History[1].Icon, MessageIcon::Stop);

  FakeList list;
  SaveLiveListCommand(rig.state, rig.dialogs, list.Grid(), list.window);
  ASSERT_EQ(rig.dialogs.History.size(), 3u);
  EXPECT_EQ(rig.dialogs.History[2].Text, "Aready in recording mode, close it and try again !");
  EXPECT_EQ(rig.dialogs.History[2].Icon, MessageIcon::Stop);

  rig.sampling.Save();
  rig.dialogs.QueueFile(dir.File("list.mes"));
  SaveLiveListCommand(rig.state, rig.dialogs, list.Grid(), list.window);
  EXPECT_EQ(ReadFile(dir.File("list.mes")), HeaderLine() + "\t\r\n");

  // The list went away while the dialog was open: nothing is written, and the
  // user is told.
  rig.dialogs.QueueFile(dir.File("late.mes"));
  SaveLiveListCommand(
      rig.state, rig.dialogs, [] { return static_cast<const GridRows*>(nullptr); }, list.window);
  EXPECT_FALSE(std::filesystem::exists(dir.File("late.mes")));
  EXPECT_FALSE(rig.state.DialogOK);
  EXPECT_NE(rig.dialogs.MessageTexts().back().find(dir.File("late.mes")), std::string::npos);
}

TEST(PcSampling, SamplingAsksWithTheIntervalBox) {
  Rig rig;
  rig.dialogs.Inputs.push_back("2.5");
  rig.sampling.Sampling();
  ASSERT_EQ(rig.dialogs.History.size(), 1u);
  EXPECT_EQ(rig.dialogs.History[0].What, ScriptedDialogs::Kind::Input);
  EXPECT_EQ(rig.dialogs.History[0].Title, "Input Sampling Time");
  EXPECT_EQ(rig.dialogs.History[0].Text, "Enter the SAMPLING TIME in seconds\r\n(1 <= t <= 86400 ) ");
  EXPECT_EQ(rig.dialogs.History[0].DefaultAnswer, "2");
  EXPECT_EQ(rig.state.SampleTime, 2);
  rig.dialogs.Inputs.push_back("7");
  rig.sampling.Sampling();
  EXPECT_EQ(rig.dialogs.History[1].DefaultAnswer, "2");
  EXPECT_EQ(rig.state.SampleTime, 7);
  rig.sampling.Sampling();  // cancelled
  EXPECT_EQ(rig.state.SampleTime, 7);
}

TEST(PcSampling, LiveListGrowsScrollsAndIsSavedAndRestartedEveryTenThousand) {
  TempDir dir;
  std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  Rig rig;
  rig.state.SampleTime = 1;
  rig.state.ListActive = true;
  FakeList list;
  for (int i = 0; i < 15; ++i) rig.Tick(&list);
  EXPECT_EQ(list.grid.Rows(), 16);
  EXPECT_EQ(list.top, 2);  // scrolled once the grid passed 15 rows
  EXPECT_EQ(list.grid.Cell(15, 0), "15");

  while (rig.state.ListCount < 10000) rig.Tick(&list);
  EXPECT_EQ(list.restarts, 1);
  EXPECT_EQ(list.grid.Rows(), 1);
  EXPECT_EQ(list.window.Title, "List");
  EXPECT_EQ(list.window.Captions.front(), "0Records Completed");
  EXPECT_EQ(list.window.Captions[list.window.Captions.size() - 2], "10000Records Completed");
  // 10 000 samples from 10:00:00 on: the last one at 12:46:39.
  std::string saved = ReadFile(dir.File("0729124639.mes"));
  EXPECT_TRUE(saved.starts_with(HeaderLine() + "\t\r\n1\t"));
  EXPECT_TRUE(saved.find("\r\n10000\t2011/07/29\t12:46:39\t") != std::string::npos);

  rig.Tick(&list);
  EXPECT_EQ(list.grid.Cell(1, 0), "10001");  // the count goes on

  // A save that cannot be written keeps the list and says so.
  std::filesystem::create_directory(dir.File("0729153319.mes"));
  while (rig.state.ListCount < 20000) rig.Tick(&list);
  EXPECT_EQ(list.restarts, 1);
  EXPECT_EQ(list.grid.Rows(), 10001);
  ASSERT_EQ(rig.dialogs.MessageTexts().size(), 1u);
  EXPECT_NE(rig.dialogs.MessageTexts()[0].find("0729153319.mes"), std::string::npos);
  std::filesystem::current_path(previous);
}

}  // namespace
}  // namespace qelt
