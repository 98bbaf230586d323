#pragma once
// "Memory" up to the directory: wake-up, "T", and the 4 + 10 * n bytes.
#include <functional>
#include <string>

#include "link/ExchangeGuard.hpp"
#include "link/Link.hpp"
#include "session/LoggerState.hpp"

namespace qelt {

enum class DirectoryOutcome {
  Complete,   // LoggerDirectory holds at least 4 + 10 * n bytes
  Busy,       // another exchange holds the port; nothing was sent
  Stalled,    // no new byte for StallLimit seconds before the directory was complete
  Abandoned,  // the deadline passed or the port was taken
};

// Receives each progress caption ("50.0% Completed").
using ProgressCaption = std::function<void(const std::string&)>;

DirectoryOutcome ReadLoggerDirectory(Link& link, ExchangeGuard& guard, LoggerState& logger,
                                     const ProgressCaption& progress,
                                     double deadline = ExchangeGuard::Ticket().Deadline);

// The caption for received of expected bytes: "45.3% Completed".
std::string PercentCompleted(std::size_t received, std::size_t expected);

inline constexpr double StallLimit = 3.0;  // seconds without a new directory byte

}  // namespace qelt
