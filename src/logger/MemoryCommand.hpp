#pragma once
// "Memory" up to the directory: the progress in the window's caption, the
// remembered caption restored, and the messages for an empty logger and for
// an instrument that stopped sending. Stopping and starting the live poll is
// the window's; the result says what comes next.
#include <string>

#include "link/ExchangeGuard.hpp"
#include "link/Link.hpp"
#include "platform/Dialogs.hpp"
#include "platform/WindowSurface.hpp"
#include "session/LoggerState.hpp"

namespace qelt {

enum class MemoryNext {
  Nothing,     // the exchange was abandoned (the program is ending); touch nothing
  ResumePoll,  // empty logger, stalled directory, or port busy: start the live poll again
  OpenLogger,  // the directory holds sets: the logger window takes over
};

inline constexpr const char* NoDataInMemory = "No Data in Memory";
inline constexpr const char* DirectoryStalledMessage =
    "The instrument stopped sending its memory directory.\r\nThe live readings go on; try \"Data Logger\" again.";

// Runs the directory exchange, its progress in the caption of window (the
// main window, which may go during a wait); waits let the event loop run.
MemoryNext ReadMemoryDirectory(Link& link, ExchangeGuard& guard, LoggerState& logger, Dialogs& dialogs,
                               WindowSurface& window);

}  // namespace qelt
