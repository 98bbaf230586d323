#pragma once
// For as long as it lives, the user can stop the exchange a window runs
// while that exchange waits: a click on the window's cancel button, Escape in
// the window and the window's close reach it through the wait's hold; the
// rest of the input to every window stays held until the wait is over.
#include <QPointer>
#include <QWidget>

#include "platform/qt/WaitInput.hpp"

namespace qelt {

class CancelPassage : public InputPassage {
 public:
  // input: the hold of the program's waits (none: nothing is let through).
  // cancel: the window's cancel button, or none (Escape and the close only).
  CancelPassage(WaitInput* input, QWidget& window, QWidget* cancel);
  ~CancelPassage() override;
  CancelPassage(const CancelPassage&) = delete;
  CancelPassage& operator=(const CancelPassage&) = delete;

  bool LetsThrough(QObject* receiver, QEvent* event) const override;

 private:
  bool InWindow(QObject* receiver) const;

  WaitInput* input_;
  const InputPassage* outer_ = nullptr;
  QPointer<QWidget> window_;
  QPointer<QWidget> cancel_;
};

}  // namespace qelt
