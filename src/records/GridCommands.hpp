#pragma once
// The shared grid operations of the record and data lists: the save dialog,
// saving a grid as a list file and printing a record grid. They report
// progress in the caption of the grid's window and show the busy pointer
// through its WindowSurface; nothing here knows a window.
#include <string>

#include "platform/Dialogs.hpp"
#include "platform/GridRows.hpp"
#include "platform/PrintJob.hpp"
#include "platform/WindowSurface.hpp"
#include "records/GridFile.hpp"
#include "session/PanelControl.hpp"
#include "session/RecorderState.hpp"

namespace qelt {

// Shows the save dialog ("All Files (*.*)", asks before replacing a file).
// Cancelled: DialogOK cleared, RecFileName kept. Otherwise RecFileName is the
// chosen path and DialogOK tells whether a file name was chosen.
void SaveDialog(RecorderState& state, Dialogs& dialogs);

// Writes the grid to path with the busy pointer on and "<row>Records
// Completed" in the caption, then puts pointer and caption back.
GridFileResult WriteGridShowingProgress(const std::string& path, const GridRows& grid, WindowSurface& window);

// Writes the grid to RecFileName, the caption showing "<row>Records
// Completed" meanwhile; clears DialogOK when written. A file that cannot be
// created or written is reported with its name and the reason; the rows
// written before stay in it.
GridFileResult SaveGrid(RecorderState& state, const GridRows& grid, WindowSurface& window, Dialogs& dialogs);

struct PrintGridSetup {
  // The page header's title and date; the print fits the record lines to the
  // page width and numbers the pages.
  PageSetup Page;
  std::string OfferedPdf;  // the file name the printer dialog offers for a PDF
};

enum class PrintOutcome { Printed, Cancelled, Failed };

// Asks for a printer; cancelled: nothing printed, nothing changed. Otherwise
// prints the header line and the record lines with "<r> record(s) completed"
// in the caption, the live poll stopped meanwhile, and at the end (also after
// a failure) restores the pointer and the caption and starts the live poll
// again, whatever it was before. The rows are the caller's, so the print goes
// on when the window closes meanwhile. A printer that cannot be opened is
// reported.
PrintOutcome PrintGrid(const GridRows& grid, Dialogs& dialogs, PrintJob& job, WindowSurface& window,
                       PanelControl& panel, const PrintGridSetup& setup);

}  // namespace qelt
