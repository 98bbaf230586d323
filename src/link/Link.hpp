#pragma once
// The serial link: opening the port, the cooperative wait, the wake-up
// handshake and the link-lost cycle. Every wait lets the host's event loop run;
// an exchange stops as soon as its ticket is no longer held or its deadline
// has passed, and then touches neither the port nor the link indicator.
#include <string>

#include "link/ExchangeGuard.hpp"
#include "platform/Host.hpp"
#include "platform/SerialPort.hpp"

namespace qelt {

// Receives every new caption of the link indicator ("COM3", "No COM").
class LinkTextSink {
 public:
  virtual ~LinkTextSink() = default;
  virtual void LinkTextChanged(const std::string& text) = 0;
};

class Link {
 public:
  Link(Host& host, SerialPort& port) : host_(host), port_(port) {}

  // The one receiver of the link indicator's captions; nullptr for none.
  // It must outlive the link or be taken away first.
  void SetLinkTextSink(LinkTextSink* sink) { linkText_ = sink; }

  // Opens device once with "19200,n,8,1", shows the port label, writes "E".
  // comPort is the chosen number (0 when the text named a device path).
  bool OpenPort(const std::string& device, int comPort, std::string& error);

  // "COM" & ComPort, or the device's own name for a device path.
  const std::string& PortLabel() const { return portLabel_; }
  void SetPortLabel(std::string label) { portLabel_ = std::move(label); }

  // Waits while the event loop runs, for the given seconds on the monotonic
  // clock, so a wait lasts its time across midnight.
  void Delay(double seconds);
  // Waits while the event loop runs until at least count bytes are pending
  // or seconds have passed, whichever comes first. Returns at once when they
  // are there already, without running other work.
  void AwaitPending(std::size_t count, double seconds);

  // Wake-up handshake, including the link-lost cycle, as one loop. Returns
  // true once the instrument echoed "w"; false when the exchange was abandoned.
  // Each try waits for the echo at most ShortPause and ends when it is there.
  bool WakeMeter(const ExchangeGuard::Ticket& ticket);
  // Link-lost handling: "E", "No COM", 0.02 s, then the wake-up.
  bool ComLost(const ExchangeGuard::Ticket& ticket);

  // True when the exchange must end now: ticket lost or deadline passed.
  bool Abandoned(const ExchangeGuard::Ticket& ticket);

  void ShowLinkText(const std::string& text) {
    if (linkText_) linkText_->LinkTextChanged(text);
  }

  Host& EventHost() { return host_; }
  SerialPort& Port() { return port_; }

  static constexpr int WakeTries = 100;
  static constexpr double ShortPause = 0.02;

 private:
  // "E", "No COM", 0.02 s: the start of the link-lost cycle.
  void LinkLostPause();

  Host& host_;
  SerialPort& port_;
  std::string portLabel_ = "COM0";
  LinkTextSink* linkText_ = nullptr;
};

// "COM3" -> 3, "Auto" -> 1, anything else 0 (exact and case-sensitive).
int ComPortFromText(const std::string& text);
// The name the link indicator shows for a device: "COM3" for port 3, the
// path below /dev ("/dev/ttyUSB0" -> "ttyUSB0", "/dev/pts/3" -> "pts/3"), else
// the last path element.
std::string PortLabelFor(const std::string& device, int comPort);
// The platform's device for port n: "/dev/ttyS<n-1>" on Linux, "COMn" on Windows.
std::string DeviceForComPort(int comPort);

}  // namespace qelt
