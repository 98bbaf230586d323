#include "platform/qt/QtWindowSurface.hpp"

#include <QApplication>

namespace qelt {

QtWindowSurface::~QtWindowSurface() {
  for (; busy_ > 0; --busy_) QApplication::restoreOverrideCursor();
}

std::string QtWindowSurface::Caption() const { return window_ ? window_->windowTitle().toStdString() : std::string(); }

void QtWindowSurface::SetCaption(const std::string& caption) {
  if (window_) window_->setWindowTitle(QString::fromStdString(caption));
}

void QtWindowSurface::SetBusy(bool busy) {
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++busy_;
  } else if (busy_ > 0) {
    // Only what this surface set: another command's pointer stays.
    QApplication::restoreOverrideCursor();
    --busy_;
  }
}

void QtWindowSurface::RunEventsOnce() { QCoreApplication::processEvents(); }

}  // namespace qelt
