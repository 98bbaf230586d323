#include "cli/CliInstrument.hpp"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "cli/SystemPorts.hpp"
#include "link/PortChoice.hpp"
#include "link/PortSearch.hpp"
#include "text/NumberText.hpp"

namespace qelt::cli {

void Complain(const std::string& message) {
  // Messages made for a message box come in CR LF lines; on stderr every
  // line carries the prefix, so that a script can tell them from others.
  std::string_view rest = message;
  do {
    std::size_t end = std::min(rest.find_first_of("\r\n"), rest.size());
    std::fprintf(stderr, "qelt-cli: %.*s\n", static_cast<int>(end), rest.data());
    if (end + 1 < rest.size() && rest[end] == '\r' && rest[end + 1] == '\n') ++end;
    rest = end < rest.size() ? rest.substr(end + 1) : std::string_view{};
  } while (!rest.empty());
}

CliInstrument::CliInstrument(double timeoutSeconds) : timeout(timeoutSeconds) {}

int CliInstrument::Open(const std::string& text) {
  PortChoice choice = ChoosePort(text);
  if (!choice.Named) {
    Complain("\"" + text + "\" names no port (COM1 to COM16, Auto, or a device path)");
    return Usage;
  }
  session.Meter.ComPort = choice.ComPort;
  session.Meter.PortDevice = choice.Device;
  std::string error;
  if (!link.OpenPort(choice.Device, choice.ComPort, error)) {
    Complain("cannot open " + choice.Device + ": " + error);
    return FileError;
  }
  return Ok;
}

int CliInstrument::Open(const PortOptions& options) {
  if (options.Port != "find") return Open(options.Port);
  std::vector<std::string> devices = SplitDeviceList(options.Candidates);
  if (options.Candidates.empty())
    for (const SystemPortInfo& info : SystemPorts()) devices.push_back(info.Device);
  PortSearchResult found = FindInstrumentPort(host, devices, [] { return std::make_unique<QtSerialPort>(); });
  for (const PortTried& tried : found.Refused) Complain("tried " + tried.Device + ": " + tried.Reason);
  if (found.Device.empty()) {
    Complain(devices.empty() ? "no serial port to try" : "no port answered the wake-up");
    return NoAnswer;
  }
  Complain("found the instrument on " + found.Device);
  return Open(found.Device);
}

bool CliInstrument::ReadOnce() {
  const double deadline = Deadline();
  for (;;) {
    PollOutcome outcome = poll.Tick({deadline});
    if (outcome == PollOutcome::Reading) return true;
    if (host.Monotonic() >= deadline) return false;
    // A timed-out reply: the link is back, ask again. Busy cannot happen
    // here (nothing else owns the port), but must not spin if it did.
    if (outcome == PollOutcome::Busy) host.RunEvents(0.1);
  }
}

int CliInstrument::NoAnswerExit() const {
  Complain("the instrument did not answer within " + GeneralNumber(timeout) + " s");
  return NoAnswer;
}

}  // namespace qelt::cli
