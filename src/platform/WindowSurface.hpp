#pragma once
// What a command needs of the window it runs for: the caption (its progress
// shows there), the busy pointer, whether the window still exists after a
// wait, and a turn of the event loop between two printed lines. Qt-free, so
// the commands are tested without a window.
#include <string>

namespace qelt {

class WindowSurface {
 public:
  virtual ~WindowSurface() = default;
  // Empty once the window has gone.
  virtual std::string Caption() const = 0;
  // Does nothing once the window has gone.
  virtual void SetCaption(const std::string& caption) = 0;
  // The busy pointer on or off; calls pair up, and one that was left on is
  // turned off with the surface, also after the window has gone.
  virtual void SetBusy(bool busy) = 0;
  // True once the window has gone (closed and deleted during a wait).
  virtual bool Gone() const = 0;
  // Lets the event loop run once, the user's input included, so that the
  // window repaints and can be closed while a print runs. Unlike a Host wait,
  // which holds the input back.
  virtual void RunEventsOnce() = 0;
};

}  // namespace qelt
