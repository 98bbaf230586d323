#include "link/Link.hpp"

#include <algorithm>
#include <cmath>

#include "link/Commands.hpp"

namespace qelt {

int ComPortFromText(const std::string& text) {
  if (text == "Auto") return 1;
  for (int n = 1; n <= 16; ++n)
    if (text == "COM" + std::to_string(n)) return n;
  return 0;
}

std::string PortLabelFor(const std::string& device, int comPort) {
  if (comPort > 0) return "COM" + std::to_string(comPort);
  // Under /dev the name is the rest of the path, so that a pseudo-terminal
  // reads "pts/3" rather than a bare "3".
  if (device.rfind("/dev/", 0) == 0 && device.size() > 5) return device.substr(5);
  auto slash = device.find_last_of("/\\");
  return slash == std::string::npos ? device : device.substr(slash + 1);
}

std::string DeviceForComPort(int comPort) {
#ifdef _WIN32
  return "COM" + std::to_string(comPort);
#else
  return "/dev/ttyS" + std::to_string(comPort - 1);
#endif
}

bool Link::OpenPort(const std::string& device, int comPort, std::string& error) {
  portLabel_ = PortLabelFor(device, comPort);
  if (!port_.IsOpen() && !port_.Open(device, cmd::PortSettings, error)) return false;
  ShowLinkText(portLabel_);
  port_.Write(std::string(1, cmd::Reset));
  return true;
}

void Link::Delay(double seconds) {
  if (!std::isfinite(seconds) || seconds <= 0.0) {
    host_.RunEvents(0.0);
    return;
  }
  // By the monotonic clock alone: a deadline in seconds since midnight would
  // end every wait of the day's last second at once (a burst of wake-ups and a
  // lost or doubled record), and a clock set back would stretch a wait.
  const double end = host_.Monotonic() + seconds;
  for (;;) {
    double remaining = end - host_.Monotonic();
    if (remaining <= 0.0) break;
    host_.RunEvents(remaining);
  }
  // Even a wait that ends at once lets pending events run.
  host_.RunEvents(0.0);
}

void Link::AwaitPending(std::size_t count, double seconds) {
  if (!std::isfinite(seconds)) seconds = 0.0;
  const double end = host_.Monotonic() + seconds;
  for (;;) {
    if (port_.Pending() >= count) return;
    const double remaining = end - host_.Monotonic();
    if (remaining <= 0.0) return;
    host_.RunEvents(remaining);
  }
}

bool Link::Abandoned(const ExchangeGuard::Ticket& ticket) {
  return !ticket.Held() || host_.Monotonic() >= ticket.Deadline;
}

bool Link::WakeMeter(const ExchangeGuard::Ticket& ticket) {
  if (Abandoned(ticket)) return false;
  port_.ReadAll();
  const std::string wake(1, cmd::Wake);
  for (;;) {
    std::string received;
    int tries = 0;
    std::size_t pending = 0;
    do {
      ++tries;
      port_.Write(wake);
      // The instrument has ShortPause to answer; the next request goes out
      // as soon as it has.
      AwaitPending(1, ShortPause);
      if (Abandoned(ticket)) return false;
      pending = port_.Pending();
      received = port_.ReadAll();
    } while (tries < WakeTries && pending < 1);

    if (tries == WakeTries) {
      // The link-lost cycle, inline so that a long outage does not deepen
      // the stack: "E", "No COM", a pause, and the handshake again.
      LinkLostPause();
      if (Abandoned(ticket)) return false;
      port_.ReadAll();
      continue;
    }
    if (!received.empty() && received[0] == cmd::Wake) break;
  }
  ShowLinkText(portLabel_);
  return true;
}

bool Link::ComLost(const ExchangeGuard::Ticket& ticket) {
  if (Abandoned(ticket)) return false;
  LinkLostPause();
  return WakeMeter(ticket);
}

void Link::LinkLostPause() {
  port_.Write(std::string(1, cmd::Reset));
  ShowLinkText("No COM");
  Delay(ShortPause);
}

}  // namespace qelt
