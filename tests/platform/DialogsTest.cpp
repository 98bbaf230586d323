// The Qt-free side of the dialogs: filters, display lines, the scripted answers.
#include <gtest/gtest.h>

#include "platform/ScriptedDialogs.hpp"

namespace qelt {
namespace {

TEST(Dialogs, FilterEntries) {
  auto e = FilterEntries("All Files (*.*)|*.*|");
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].first, "All Files (*.*)");
  EXPECT_EQ(e[0].second, std::vector<std::string>{"*.*"});

  e = FilterEntries("Text (*.txt;*.mes)|*.txt; *.mes|All|*.*");
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].second, (std::vector<std::string>{"*.txt", "*.mes"}));
  EXPECT_EQ(e[1].first, "All");
  EXPECT_EQ(e[1].second, std::vector<std::string>{"*.*"});

  EXPECT_TRUE(FilterEntries("").empty());
  EXPECT_TRUE(FilterEntries("dangling").empty());
}

TEST(Dialogs, SavedFileTakesTheEndingOfTheChosenEntry) {
  FileRequest request;
  request.Filter = "PNG Image (*.png)|*.png|PDF Document (*.pdf)|*.pdf|All Files (*.*)|*.*|";
  auto saved = [&](const std::string& path, int index) { return WithChosenEnding({path, "", index}, request); };
  EXPECT_EQ(saved("/tmp/v1plot", 1), "/tmp/v1plot.png");
  EXPECT_EQ(saved("/tmp/v1plot", 2), "/tmp/v1plot.pdf");
  EXPECT_EQ(saved("/tmp/v1plot", 0), "/tmp/v1plot.png");  // not known: the request's first choice
  EXPECT_EQ(saved("/tmp/v1plot", 3), "/tmp/v1plot");      // "*.*"
  EXPECT_EQ(saved("/tmp/v1plot.jpg", 1), "/tmp/v1plot.jpg");
  EXPECT_EQ(saved("/tmp/a.b/v1plot", 2), "/tmp/a.b/v1plot.pdf");  // a point in a folder is no ending
  EXPECT_EQ(saved("/tmp/", 1), "/tmp/");
  EXPECT_EQ(saved("/tmp/v1plot", 9), "/tmp/v1plot");
}

TEST(Dialogs, FileNamesAndLines) {
  EXPECT_EQ(FileNameOf("/home/a.b/run.mes"), "run.mes");
  EXPECT_EQ(FileNameOf("C:\\data\\run.mes"), "run.mes");
  EXPECT_EQ(FileNameOf("run"), "run");
  EXPECT_EQ(FileNameOf("/tmp/"), "");
  EXPECT_EQ(DisplayLines("Recording Mode!\n\rPlease stop recording!"), "Recording Mode!\n\nPlease stop recording!");
  EXPECT_EQ(DisplayLines("a\r\nb\rc\nd"), "a\nb\nc\nd");
}

TEST(ScriptedDialogs, RecordsEverythingAndAnswersFromItsQueues) {
  ScriptedDialogs d;
  std::vector<std::string> seen;
  d.OnShown = [&](const ScriptedDialogs::Shown& s) { seen.push_back(s.Text); };

  // Empty queues: the first button, an empty answer, cancellations.
  EXPECT_EQ(d.Message("one", MessageIcon::Stop, MessageButtons::Ok, ""), MessageAnswer::Ok);
  EXPECT_EQ(d.Message("two", MessageIcon::Question, MessageButtons::YesNo, "Warning!"), MessageAnswer::Yes);
  EXPECT_EQ(d.Input("prompt", "title", "2"), "");
  EXPECT_FALSE(d.OpenFile({}).has_value());
  EXPECT_FALSE(d.ChoosePrinter({}).has_value());

  d.Answers.push_back(MessageAnswer::No);
  d.Inputs.push_back("5");
  d.QueueFile("/tmp/x/run.mes");
  d.QueueFileCancel();
  PrinterChoice pdf;
  pdf.OutputFile = "/tmp/out.pdf";
  d.Printers.push_back(pdf);
  EXPECT_EQ(d.Message("three", MessageIcon::Question, MessageButtons::YesNo, ""), MessageAnswer::No);
  EXPECT_EQ(d.Input("p", "t", "2"), "5");
  FileRequest save;
  save.Filter = "All Files (*.*)|*.*|";
  save.OverwritePrompt = true;
  auto f = d.SaveFile(save);
  ASSERT_TRUE(f.has_value());
  EXPECT_EQ(f->Path, "/tmp/x/run.mes");
  EXPECT_EQ(f->FileName, "run.mes");
  EXPECT_FALSE(d.OpenFile({}).has_value());
  EXPECT_EQ(d.ChoosePrinter({})->OutputFile, "/tmp/out.pdf");

  EXPECT_EQ(d.MessageTexts(), (std::vector<std::string>{"one", "two", "three"}));
  ASSERT_EQ(d.History.size(), 10u);
  EXPECT_EQ(d.History[1].Title, "Warning!");
  EXPECT_EQ(d.History[2].DefaultAnswer, "2");
  EXPECT_EQ(d.History[7].What, ScriptedDialogs::Kind::SaveFile);
  EXPECT_TRUE(d.History[7].File.OverwritePrompt);
  EXPECT_EQ(seen.size(), 10u);
}

}  // namespace
}  // namespace qelt
