#pragma once
// A window's image on the printer (or PDF file) chosen in the printer dialog:
// the client area scaled to fit the page, in the chosen orientation.
#include <QWidget>
#include <string>

#include "platform/Dialogs.hpp"

namespace qelt {

// False with a reason when the printer or file cannot be used.
bool PrintWidgetImage(QWidget& widget, const PrinterChoice& choice, std::string& reason);

}  // namespace qelt
