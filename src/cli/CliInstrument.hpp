#pragma once
// The instrument as the command-line tool reaches it: a Qt event loop without
// windows, the real serial port, and the same link and poll as the program.
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "cli/CliOptions.hpp"
#include "link/Link.hpp"
#include "panel/LivePoll.hpp"
#include "platform/qt/QtHost.hpp"
#include "platform/qt/QtSerialPort.hpp"
#include "session/Session.hpp"

namespace qelt::cli {

// Exit codes of qelt-cli.
enum Exit : int { Ok = 0, Usage = 2, NoAnswer = 3, FileError = 4, BadContents = 5, BrokerRefused = 6 };

// Writes "qelt-cli: " + message + LF to stderr; each line of a message of
// several (CR LF or LF) lines gets the prefix.
void Complain(const std::string& message);

class CliInstrument {
 public:
  explicit CliInstrument(double timeoutSeconds);

  // Opens the port named by text ("COM3", "Auto", a device path). Returns
  // Ok, Usage for a text that names no port, FileError when it cannot be opened.
  int Open(const std::string& text);
  // The same for the command's options; --port find first looks for the
  // port whose instrument answers and names it on stderr (NoAnswer if none).
  int Open(const PortOptions& options);

  // Polls until a reading arrives; false after timeout seconds without one.
  bool ReadOnce();

  // Monotonic time at which an exchange begun now gives up.
  double Deadline() { return host.Monotonic() + timeout; }
  // Says "the instrument did not answer within 10 s" and returns NoAnswer.
  int NoAnswerExit() const;

  QtHost host;
  QtSerialPort port;
  Session session;
  Link link{host, port};
  LivePoll poll{link, session.Guard, session.Meter, session.Live};
  double timeout;
};

// Calls lost each time the link indicator turns to "No COM" (the instrument
// stopped answering), for as long as this lives.
class LinkLossWatch : private LinkTextSink {
 public:
  LinkLossWatch(Link& link, std::function<void()> lost) : link_(link), lost_(std::move(lost)) {
    link_.SetLinkTextSink(this);
  }
  ~LinkLossWatch() override { link_.SetLinkTextSink(nullptr); }
  LinkLossWatch(const LinkLossWatch&) = delete;
  LinkLossWatch& operator=(const LinkLossWatch&) = delete;

 private:
  void LinkTextChanged(const std::string& text) override {
    if (text == "No COM") lost_();
  }

  Link& link_;
  std::function<void()> lost_;
};

}  // namespace qelt::cli
