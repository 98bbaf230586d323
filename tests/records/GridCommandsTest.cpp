#include <gtest/gtest.h>

#include "FakePanel.hpp"
#include "TempDir.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/ScriptedWindow.hpp"
#include "recorder/MeasurementFile.hpp"
#include "records/GridCommands.hpp"
#include "records/PrintLayout.hpp"

namespace qelt {
namespace {
using test::FakePanel;

using test::ReadFile;
using test::TempDir;

struct FakeJob : PrintJob {
  bool failBegin = false;
  int failAt = -1;
  std::vector<std::string> lines;
  bool ended = false;
  PrinterChoice choice;
  bool Begin(const PrinterChoice& c, std::string& reason) override {
    choice = c;
    if (failBegin) reason = "cannot open /x.pdf";
    return !failBegin;
  }
  bool Line(const std::string& text) override {
    if (static_cast<int>(lines.size()) == failAt) return false;
    lines.push_back(text);
    return true;
  }
  void End() override { ended = true; }
  const PageSetup& Setup() const { return setup_; }
};

GridRows Records(int n) {
  GridRows grid(RecordColumns);
  grid.AddRow(HeaderLine());
  for (int r = 1; r <= n; ++r) grid.AddRow(RecordLine(r, SampleLine(DateTime{2011, 7, 29, 1, 2, r}, ValueTexts{})));
  return grid;
}

TEST(SaveDialog, FilterOverwritePromptAndCancellation) {
  RecorderState state;
  state.RecFileName = "/old.mes";
  state.DialogOK = true;
  ScriptedDialogs dialogs;
  dialogs.QueueFileCancel();
  SaveDialog(state, dialogs);
  EXPECT_FALSE(state.DialogOK);
  EXPECT_EQ(state.RecFileName, "/old.mes");
  ASSERT_EQ(dialogs.History.size(), 1u);
  EXPECT_EQ(dialogs.History[0].What, ScriptedDialogs::Kind::SaveFile);
  EXPECT_EQ(dialogs.History[0].File.Filter, "All Files (*.*)|*.*|");
  EXPECT_EQ(dialogs.History[0].File.FilterIndex, 1);
  EXPECT_TRUE(dialogs.History[0].File.OverwritePrompt);

  dialogs.QueueFile("/data/new.mes");
  SaveDialog(state, dialogs);
  EXPECT_TRUE(state.DialogOK);
  EXPECT_EQ(state.RecFileName, "/data/new.mes");

  dialogs.Files.push_back(FileChoice{"/data/", ""});  // a folder, no file name
  SaveDialog(state, dialogs);
  EXPECT_FALSE(state.DialogOK);
}

TEST(SaveGrid, WritesEveryRowWithCaptionsThenRestores) {
  TempDir dir;
  RecorderState state;
  state.RecFileName = dir.File("list.mes");
  state.DialogOK = true;
  ScriptedDialogs dialogs;
  ScriptedWindow window("List");
  GridRows grid = Records(2);
  GridFileResult r = SaveGrid(state, grid, window, dialogs);
  EXPECT_TRUE(r.Ok);
  EXPECT_FALSE(state.DialogOK);
  EXPECT_EQ(window.Captions,
            (std::vector<std::string>{"0Records Completed", "1Records Completed", "2Records Completed", "List"}));
  EXPECT_EQ(window.Busy, 0);
  EXPECT_EQ(window.MaxBusy, 1);
  EXPECT_TRUE(dialogs.History.empty());
  std::string file = ReadFile(dir.File("list.mes"));
  EXPECT_TRUE(file.starts_with(HeaderLine() + "\t\r\n1\t2011/07/29\t01:02:01\t"));
  EXPECT_EQ(std::count(file.begin(), file.end(), '\t'), 3 * 31);

  // A file that cannot be written: the user is told which and why; the pointer comes back.
  state.RecFileName = dir.File("no/such/list.mes");
  state.DialogOK = true;
  r = SaveGrid(state, grid, window, dialogs);
  EXPECT_FALSE(r.Ok);
  EXPECT_EQ(window.Busy, 0);
  EXPECT_EQ(window.Title, "List");
  ASSERT_EQ(dialogs.History.size(), 1u);
  EXPECT_EQ(dialogs.History[0].Icon, MessageIcon::Stop);
  EXPECT_NE(dialogs.History[0].Text.find(dir.File("no/such/list.mes")), std::string::npos);
  EXPECT_NE(dialogs.History[0].Text.find("No such file or directory"), std::string::npos);
}

TEST(PrintGrid, CancelledPrintsNothingAndTouchesNothing) {
  ScriptedDialogs dialogs;
  dialogs.Printers.push_back(std::nullopt);
  FakeJob job;
  ScriptedWindow window("List");
  FakePanel poll;
  EXPECT_EQ(PrintGrid(Records(3), dialogs, job, window, poll, {}), PrintOutcome::Cancelled);
  EXPECT_TRUE(job.lines.empty());
  EXPECT_EQ(poll.stops + poll.starts, 0);
  EXPECT_TRUE(window.Captions.empty());
  EXPECT_EQ(window.MaxBusy, 0);
}

TEST(PrintGrid, PrintsWithThePollStoppedAndAlwaysStartsItAgain) {
  ScriptedDialogs dialogs;
  PrinterChoice pdf;
  pdf.OutputFile = "/tmp/x.pdf";
  pdf.Orientation = PageOrientation::Landscape;
  pdf.Copies = 2;
  dialogs.Printers.push_back(pdf);
  FakeJob job;
  ScriptedWindow window("List");
  FakePanel poll;
  EXPECT_EQ(PrintGrid(Records(3), dialogs, job, window, poll, {}), PrintOutcome::Printed);
  EXPECT_EQ(job.choice.OutputFile, "/tmp/x.pdf");
  EXPECT_EQ(job.choice.Orientation, PageOrientation::Landscape);
  EXPECT_EQ(job.choice.Copies, 2);
  // The header line goes to the top of every page, its titles over the
  // columns of the record line.
  ASSERT_EQ(job.lines.size(), 3u);
  EXPECT_TRUE(job.lines[0].starts_with("00001  "));
  EXPECT_EQ(job.Setup().ColumnHeader, PrintHeaderLine());
  EXPECT_EQ(job.Setup().TitleCells.size(), 27u);
  EXPECT_EQ(job.Setup().Lines, 3);
  EXPECT_TRUE(job.ended);
  EXPECT_EQ(window.Captions, (std::vector<std::string>{"1 record(s) completed", "2 record(s) completed",
                                                       "3 record(s) completed", "List"}));
  EXPECT_EQ(poll.stops, 1);
  EXPECT_EQ(poll.starts, 1);
  EXPECT_EQ(window.Events, 3);
  EXPECT_EQ(window.Busy, 0);

  // A line that fails: the job is not ended, but everything is restored.
  dialogs.Printers.push_back(pdf);
  FakeJob failing;
  failing.failAt = 2;
  window.Captions.clear();
  EXPECT_EQ(PrintGrid(Records(3), dialogs, failing, window, poll, {}), PrintOutcome::Failed);
  EXPECT_FALSE(failing.ended);
  EXPECT_EQ(poll.starts, 2);
  EXPECT_EQ(window.Title, "List");
  EXPECT_EQ(window.Busy, 0);

  // A printer that cannot be opened is reported.
  dialogs.Printers.push_back(pdf);
  FakeJob closed;
  closed.failBegin = true;
  EXPECT_EQ(PrintGrid(Records(3), dialogs, closed, window, poll, {}), PrintOutcome::Failed);
  EXPECT_EQ(poll.starts, 3);
  ASSERT_FALSE(dialogs.MessageTexts().empty());
  EXPECT_NE(dialogs.MessageTexts().back().find("cannot open /x.pdf"), std::string::npos);
}

}  // namespace
}  // namespace qelt
