#pragma once
// The shared grid operations of the record and data lists: the save dialog,
// saving a grid as a list file and printing a record grid. They report
// progress in the window's caption and show the busy pointer through the
// hooks; nothing here knows a window.
#include <functional>
#include <string>

#include "platform/Dialogs.hpp"
#include "platform/GridRows.hpp"
#include "platform/PrintJob.hpp"
#include "records/GridFile.hpp"
#include "session/RecorderState.hpp"

namespace qelt {

// What a grid command needs of the window that holds the grid.
struct GridWindowHooks {
  std::function<std::string()> Caption;
  std::function<void(const std::string&)> SetCaption;
  std::function<void(bool busy)> SetBusy;  // the busy pointer on or off
};

// Shows the save dialog ("All Files (*.*)", asks before replacing a file).
// Cancelled: DialogOK cleared, RecFileName kept. Otherwise RecFileName is the
// chosen path and DialogOK tells whether a file name was chosen.
void SaveDialog(RecorderState& state, Dialogs& dialogs);

// Writes the grid to path with the busy pointer on and "<row>Records
// Completed" in the caption, then puts pointer and caption back.
GridFileResult WriteGridShowingProgress(const std::string& path, const GridRows& grid, const GridWindowHooks& window);

// Writes the grid to RecFileName, the caption showing "<row>Records
// Completed" meanwhile; clears DialogOK when written. A file that cannot be
// created or written is reported with its name and the reason; the rows
// written before stay in it.
GridFileResult SaveGrid(RecorderState& state, const GridRows& grid, const GridWindowHooks& window, Dialogs& dialogs);

struct PrintGridHooks {
  std::function<void()> StopPoll;   // stop the live poll
  std::function<void()> StartPoll;  // start it again, whatever it was before
  std::function<void()> RunEvents;  // let the event loop run once
  std::function<bool()> Gone;       // optional: true ends the print (the grid went away)
  // The page header's title and date; the print fits the record lines to the
  // page width and numbers the pages.
  PageSetup Page;
  std::string OfferedPdf;  // the file name the printer dialog offers for a PDF
};

enum class PrintOutcome { Printed, Cancelled, Failed };

// Asks for a printer; cancelled: nothing printed, nothing changed. Otherwise
// prints the header line and the record lines with "<r> record(s) completed"
// in the caption, and at the end (also after a failure) restores the pointer
// and the caption and starts the live poll again. A printer that cannot be
// opened is reported.
PrintOutcome PrintGrid(const GridRows& grid, Dialogs& dialogs, PrintJob& job, const GridWindowHooks& window,
                       const PrintGridHooks& hooks);

}  // namespace qelt
