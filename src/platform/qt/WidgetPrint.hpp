#pragma once
// Prints a window's image on one page: the printer (or PDF file), orientation
// and copies chosen in the printer dialog. The image is drawn from the page's
// top left corner at its screen size, made smaller when larger than the page;
// a heading line, when given, stands above it.
#include <QWidget>
#include <string>

#include "platform/Dialogs.hpp"

namespace qelt {

// False with a reason when the printer or the file cannot be opened.
bool PrintWidgetImage(QWidget& widget, const PrinterChoice& choice, std::string& reason,
                      const std::string& heading = {});

}  // namespace qelt
