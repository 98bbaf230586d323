#include "logger/MemoryCommand.hpp"

#include "logger/DirectoryRead.hpp"

namespace qelt {

MemoryNext ReadMemoryDirectory(Link& link, ExchangeGuard& guard, LoggerState& logger, Dialogs& dialogs,
                               WindowSurface& window) {
  const std::string remembered = window.Caption();
  DirectoryOutcome outcome =
      ReadLoggerDirectory(link, guard, logger, [&window](const std::string& text) { window.SetCaption(text); });
  switch (outcome) {
    case DirectoryOutcome::Busy: return MemoryNext::ResumePoll;
    case DirectoryOutcome::Abandoned: return MemoryNext::Nothing;
    case DirectoryOutcome::Stalled:
      window.SetCaption(remembered);
      dialogs.Message(DirectoryStalledMessage, MessageIcon::Stop);
      return MemoryNext::ResumePoll;
    case DirectoryOutcome::Complete: break;
  }
  window.SetCaption(remembered);
  if (logger.LoggerSetCount == 0) {
    dialogs.Message(NoDataInMemory, MessageIcon::Stop);
    return MemoryNext::ResumePoll;
  }
  return MemoryNext::OpenLogger;
}

}  // namespace qelt
