#pragma once
// Qt's date and time as the logic's DateTime (whole seconds, local time).
#include <QDateTime>

#include "platform/Host.hpp"

namespace qelt {

DateTime ToDateTime(const QDateTime& when);
// The PC's local date and time now.
inline DateTime LocalNow() { return ToDateTime(QDateTime::currentDateTime()); }

}  // namespace qelt
