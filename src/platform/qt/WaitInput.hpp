#pragma once
// The user's input during an exchange's wait. Held: mouse, keys, shortcuts
// and the window system's close that come during a wait are delivered once
// the event loop is back at its top (or in a dialog's own loop), so that no
// click opens a dialog or starts a command on top of an exchange.
//
// A long exchange the user may stop opens a passage for its own cancel
// controls: what the passage accepts reaches its window at once (and is
// turned into a cancel request the exchange checks after the wait); all
// else stays held. QtCore only: the passage knows the widgets.
#include <QEventLoop>
#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

namespace qelt {

class InputPassage {
 public:
  virtual ~InputPassage() = default;
  // Whether an input event on its way to receiver may pass the hold.
  virtual bool LetsThrough(QObject* receiver, QEvent* event) const = 0;
};

class WaitInput : public QObject {
 public:
  // Filters the running application's events from now on.
  WaitInput();
  ~WaitInput() override;
  WaitInput(const WaitInput&) = delete;
  WaitInput& operator=(const WaitInput&) = delete;

  // One wait's turn of the event loop: up to ms milliseconds (0: only what
  // is pending), returning after something was handled.
  void Wait(int ms);
  bool InsideWait() const { return depth_ > 0; }

  // The window system's input is then read during waits, so that the
  // passage can pick its own out of it. One at a time; null closes it.
  void SetPassage(const InputPassage* passage) { passage_ = passage; }
  const InputPassage* Passage() const { return passage_; }

 private:
  struct Held {
    QPointer<QObject> Receiver;
    std::unique_ptr<QEvent> Event;
  };
  // Inside a wait, and not inside a dialog's own loop that began within it.
  bool Holds() const;
  void Release();
  bool eventFilter(QObject* watched, QEvent* event) override;

  int depth_ = 0;
  int waitLoopLevel_ = 0;  // the thread's loop level at the innermost wait
  const InputPassage* passage_ = nullptr;
  std::vector<Held> held_;
};

}  // namespace qelt
