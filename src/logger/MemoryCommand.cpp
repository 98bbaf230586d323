#include "logger/MemoryCommand.hpp"

#include "logger/DirectoryRead.hpp"

namespace qelt {

MemoryNext ReadMemoryDirectory(Link& link, ExchangeGuard& guard, LoggerState& logger, Dialogs& dialogs,
                               const CaptionAccess& caption) {
  const std::string remembered = caption.Get ? caption.Get() : std::string();
  DirectoryOutcome outcome = ReadLoggerDirectory(link, guard, logger, caption.Set);
  switch (outcome) {
    case DirectoryOutcome::Busy: return MemoryNext::ResumePoll;
    case DirectoryOutcome::Abandoned: return MemoryNext::Nothing;
    case DirectoryOutcome::Stalled:
      if (caption.Set) caption.Set(remembered);
      dialogs.Message(DirectoryStalledMessage, MessageIcon::Stop);
      return MemoryNext::ResumePoll;
    case DirectoryOutcome::Complete: break;
  }
  if (caption.Set) caption.Set(remembered);
  if (logger.LoggerSetCount == 0) {
    dialogs.Message(NoDataInMemory, MessageIcon::Stop);
    return MemoryNext::ResumePoll;
  }
  return MemoryNext::OpenLogger;
}

}  // namespace qelt
