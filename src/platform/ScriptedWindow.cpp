#include "platform/ScriptedWindow.hpp"

#include <algorithm>

namespace qelt {

std::string ScriptedWindow::Caption() const { return closed_ ? std::string() : Title; }

void ScriptedWindow::SetCaption(const std::string& caption) {
  if (closed_) return;
  Title = caption;
  Captions.push_back(caption);
}

void ScriptedWindow::SetBusy(bool busy) {
  Busy += busy ? 1 : -1;
  MaxBusy = std::max(MaxBusy, Busy);
}

}  // namespace qelt
