#pragma once
// Presses a list's Summary button as a user does and finds the window it shows.
#include <QApplication>

#include "ToolbarKeys.hpp"
#include "analysis/SummaryWindow.hpp"
#include "records/RecordListWindow.hpp"

namespace qelt::test {

// Null when the list has no Summary button or no Summary window is shown.
inline SummaryWindow* OpenSummaryOf(RecordListWindow& list) {
  const int index = NumberOf(list.Toolbar1(), "Summary");
  if (index == 0) return nullptr;
  list.Toolbar1().Click(index);
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* summary = qobject_cast<SummaryWindow*>(w); summary && summary->isVisible()) return summary;
  return nullptr;
}

}  // namespace qelt::test
