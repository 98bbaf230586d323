#include "platform/qt/QtDateTime.hpp"

namespace qelt {

DateTime ToDateTime(const QDateTime& when) {
  const QDate d = when.date();
  const QTime t = when.time();
  return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

}  // namespace qelt
