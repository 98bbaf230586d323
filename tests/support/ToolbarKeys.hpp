#pragma once
// Finds a toolbar button by its key, as a user finds it by its picture, and
// presses it as a click or its shortcut does.
#include "platform/qt/Toolbar.hpp"

namespace qelt::test {

// 0 when no button has the key.
inline int NumberOf(const Toolbar& toolbar, const QString& key) {
  for (int i = 1; i <= toolbar.Count(); ++i)
    if (toolbar.Key(i) == key) return i;
  return 0;
}

inline void Press(Toolbar& toolbar, const QString& key) { toolbar.Click(NumberOf(toolbar, key)); }

}  // namespace qelt::test
