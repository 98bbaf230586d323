#pragma once
// Remembers where the user moved each named top-level window and puts it
// there again the next time it shows, to the pixel (when that place is still
// on a screen); the place kept is the client area's. A window the user never moved opens at the place its code gives
// when that hides no open window, else where PlaceWindow finds room.
#include <QHash>
#include <QObject>
#include <QPoint>
#include <QSet>

class QWidget;

namespace qelt {

class StoredSettings;

// Moves a window about to show from the place its code gave it to one that
// hides none of the open windows (PlaceWindow), on its screen. Returns where
// its frame stands then.
QPoint PlaceClearOfOthers(QWidget& window);

// Moves a shown window whose frame runs past an edge of its screen's room
// for windows back inside it (title bar first where it is too large); true
// when it moved it.
bool KeepFrameOnScreen(QWidget& window);

class WindowPlaces : public QObject {
 public:
  // Watches every window of the application.
  explicit WindowPlaces(StoredSettings& settings, QObject* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // tries: how often to wait for the window manager's frame first.
  void KeepOnScreen(QWidget& window, int tries);

  StoredSettings& settings_;
  // Where each shown window stood once placed; a window that leaves from
  // elsewhere was moved by the user.
  QHash<QObject*, QPoint> shownAt_;
  // Shown where they were left: kept again where they leave from.
  QSet<QObject*> remembered_;
};

}  // namespace qelt
