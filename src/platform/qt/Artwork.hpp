#pragma once
// The program's own pictures, compiled in as resources under ":/qelt/".
#include <QIcon>
#include <QString>

namespace qelt {

// Registers the resources; safe to call more than once. The resources live in
// a static library, so the program calls this before it needs a picture.
void LoadArtwork();

// ":/qelt/toolbar/<name>.svg", e.g. "Save", "RTC", "StopRecording".
QString ToolbarPicturePath(const QString& name);
QIcon ToolbarPicture(const QString& name);
// A small printer picture for the "Print" buttons of the lists and Signal.
QIcon PrintPicture();
// ":/qelt/wiring/<name>.svg" for "P1P2W", "P1P3W", "P3P3W2M", "P3P4W".
QString WiringPicturePath(const QString& name);

}  // namespace qelt
