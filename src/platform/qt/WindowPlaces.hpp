#pragma once
// Remembers where the user moved each named top-level window and puts it
// there again the next time it shows (when that place is still on a
// screen). Windows the user never moved keep the place their code gives.
#include <QHash>
#include <QObject>
#include <QPoint>

namespace qelt {

class StoredSettings;

class WindowPlaces : public QObject {
 public:
  // Watches every window of the application.
  explicit WindowPlaces(StoredSettings& settings, QObject* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  StoredSettings& settings_;
  // Where each shown window stood once placed; a window that leaves from
  // elsewhere was moved by the user.
  QHash<QObject*, QPoint> shownAt_;
};

}  // namespace qelt
