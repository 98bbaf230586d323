#include "records/GridCommands.hpp"

#include "records/PrintLayout.hpp"

namespace qelt {
namespace {

// Puts the pointer and the caption back however the command ends.
class WindowRestore {
 public:
  explicit WindowRestore(const GridWindowHooks& window) : window_(window) {
    if (window_.SetBusy) window_.SetBusy(true);
    if (window_.Caption) caption_ = window_.Caption();
  }
  ~WindowRestore() {
    if (window_.SetCaption && window_.Caption) window_.SetCaption(caption_);
    if (window_.SetBusy) window_.SetBusy(false);
  }
  WindowRestore(const WindowRestore&) = delete;
  WindowRestore& operator=(const WindowRestore&) = delete;

 private:
  const GridWindowHooks& window_;
  std::string caption_;
};

}  // namespace

void SaveDialog(RecorderState& state, Dialogs& dialogs) {
  FileRequest request;
  request.Filter = AllFilesFilter;
  request.FilterIndex = 1;
  request.OverwritePrompt = true;
  auto choice = dialogs.SaveFile(request);
  if (!choice) {
    state.DialogOK = false;
    return;
  }
  state.RecFileName = choice->Path;
  state.DialogOK = !choice->FileName.empty();
}

GridFileResult WriteGridShowingProgress(const std::string& path, const GridRows& grid, const GridWindowHooks& window) {
  WindowRestore restore(window);
  return WriteGridFile(path, grid, [&](int row) {
    if (window.SetCaption) window.SetCaption(SaveProgressCaption(row));
  });
}

GridFileResult SaveGrid(RecorderState& state, const GridRows& grid, const GridWindowHooks& window, Dialogs& dialogs) {
  GridFileResult result = WriteGridShowingProgress(state.RecFileName, grid, window);
  if (result.Ok)
    state.DialogOK = false;
  else
    dialogs.Message("The file cannot be written:\r\n" + state.RecFileName + "\r\n" + result.Reason, MessageIcon::Stop);
  return result;
}

PrintOutcome PrintGrid(const GridRows& grid, Dialogs& dialogs, PrintJob& job, const GridWindowHooks& window,
                       const PrintGridHooks& hooks) {
  PrinterChoice offered;
  offered.OutputFile = hooks.OfferedPdf;
  auto choice = dialogs.ChoosePrinter(offered);
  if (!choice) return PrintOutcome::Cancelled;

  PageSetup page = hooks.Page;
  page.WidestLine = PrintHeaderLine();
  page.ColumnHeader = PrintHeaderLine();
  page.TitleCells = PrintTitleCells(grid);
  page.LineCells = PrintLineCells(grid);
  page.Lines = grid.Rows() - 1;  // the records; the header is on every page
  job.Prepare(std::move(page));
  std::string reason;
  bool begun = job.Begin(*choice, reason);
  bool printed = false;
  {
    WindowRestore restore(window);
    struct PollRestart {
      const PrintGridHooks& hooks;
      ~PollRestart() {
        if (hooks.StartPoll) hooks.StartPoll();
      }
    } pollRestart{hooks};
    if (hooks.StopPoll) hooks.StopPoll();
    if (begun) {
      PrintRunHooks run;
      run.SetCaption = window.SetCaption;
      run.RunEvents = hooks.RunEvents;
      run.Gone = hooks.Gone;
      run.PrintLine = [&](const std::string& line) { return job.Line(line); };
      printed = PrintRecords(grid, run);
      if (printed) job.End();
    }
  }
  if (!begun) {
    dialogs.Message("The printer cannot be used:\r\n" + reason, MessageIcon::Stop);
    return PrintOutcome::Failed;
  }
  return printed ? PrintOutcome::Printed : PrintOutcome::Failed;
}

}  // namespace qelt
