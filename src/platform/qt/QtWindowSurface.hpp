#pragma once
// The WindowSurface of a widget. Made on the stack of the command it serves,
// so it outlives a window that is deleted during one of the command's waits:
// every call stays safe then (the caption reads empty, setting it does
// nothing, Gone() is true), and a busy pointer left on is restored.
#include <QPointer>
#include <QWidget>

#include "platform/WindowSurface.hpp"

namespace qelt {

class QtWindowSurface : public WindowSurface {
 public:
  explicit QtWindowSurface(QWidget* window) : window_(window) {}
  ~QtWindowSurface() override;
  QtWindowSurface(const QtWindowSurface&) = delete;
  QtWindowSurface& operator=(const QtWindowSurface&) = delete;

  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  // The application's override cursor: the pointer is busy over every window.
  void SetBusy(bool busy) override;
  bool Gone() const override { return window_.isNull(); }
  QWidget* Window() const { return window_; }
  // QCoreApplication::processEvents().
  void RunEventsOnce() override;

 private:
  QPointer<QWidget> window_;
  int busy_ = 0;  // override cursors set and not yet restored
};

}  // namespace qelt
