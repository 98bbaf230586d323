#include "records/GridCommands.hpp"

#include "records/PrintLayout.hpp"

namespace qelt {
namespace {

// Puts the pointer and the caption back however the command ends.
class WindowRestore {
 public:
  explicit WindowRestore(WindowSurface& window) : window_(window), caption_(window.Caption()) { window_.SetBusy(true); }
  ~WindowRestore() {
    window_.SetCaption(caption_);
    window_.SetBusy(false);
  }
  WindowRestore(const WindowRestore&) = delete;
  WindowRestore& operator=(const WindowRestore&) = delete;

 private:
  WindowSurface& window_;
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

GridFileResult WriteGridShowingProgress(const std::string& path, const GridRows& grid, WindowSurface& window) {
  WindowRestore restore(window);
  return WriteGridFile(path, grid, [&](int row) { window.SetCaption(SaveProgressCaption(row)); });
}

GridFileResult SaveGrid(RecorderState& state, const GridRows& grid, WindowSurface& window, Dialogs& dialogs) {
  GridFileResult result = WriteGridShowingProgress(state.RecFileName, grid, window);
  if (result.Ok)
    state.DialogOK = false;
  else
    dialogs.Message("The file cannot be written:\r\n" + state.RecFileName + "\r\n" + result.Reason, MessageIcon::Stop);
  return result;
}

PrintOutcome PrintGrid(const GridRows& grid, Dialogs& dialogs, PrintJob& job, WindowSurface& window,
                       PanelControl& panel, const PrintGridSetup& setup) {
  PrinterChoice offered;
  offered.OutputFile = setup.OfferedPdf;
  auto choice = dialogs.ChoosePrinter(offered);
  if (!choice) return PrintOutcome::Cancelled;

  PageSetup page = setup.Page;
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
    PollPause pause(panel);
    if (begun) {
      // The rows are the caller's: the print goes on if the window closes.
      printed = PrintRecords(grid, window, job, WhenWindowGone::PrintOn);
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
