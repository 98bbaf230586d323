#include "platform/qt/Artwork.hpp"

#include <QtGlobal>

// Outside the namespace: the resource initialiser is a global function.
static void RegisterQeltArtwork() { Q_INIT_RESOURCE(qelt_artwork); }

namespace qelt {

void LoadArtwork() {
  static const bool registered = (RegisterQeltArtwork(), true);
  (void)registered;
}

QString ToolbarPicturePath(const QString& name) { return ":/qelt/toolbar/" + name + ".svg"; }

QIcon ToolbarPicture(const QString& name) {
  LoadArtwork();
  return QIcon(ToolbarPicturePath(name));
}

QString WiringPicturePath(const QString& name) {
  LoadArtwork();
  return ":/qelt/wiring/" + name + ".svg";
}

}  // namespace qelt
