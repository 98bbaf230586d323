#pragma once
// What the logic needs of its surroundings: clocks and a way to let the event
// loop run during a wait. Qt-free, so exchanges can be tested on a virtual clock.

#include <string>

namespace qelt {

struct DateTime {
  int Year = 2000;
  int Month = 1;
  int Day = 1;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
};

// "yyyy/mm/dd hh:mm:ss", as headings and notes show a moment.
inline std::string DateTimeText(const DateTime& when) {
  auto two = [](int v) { return std::string(v < 10 ? "0" : "") + std::to_string(v); };
  return std::to_string(when.Year) + "/" + two(when.Month) + "/" + two(when.Day) + " " + two(when.Hour) + ":" +
         two(when.Minute) + ":" + two(when.Second);
}

class Host {
 public:
  virtual ~Host() = default;
  // Wall clock: seconds since local midnight, with fractions.
  virtual double SecondsSinceMidnight() = 0;
  // Local date and time.
  virtual DateTime Now() = 0;
  // Seconds from an arbitrary origin; never jumps, holds across midnight.
  virtual double Monotonic() = 0;
  // Lets the event loop run; returns after it handled something or after
  // maxSeconds. Blocks, never spins.
  virtual void RunEvents(double maxSeconds) = 0;

  // True while a RunEvents call is on the stack: an exchange is waiting.
  virtual bool InsideWait() const { return false; }
};

}  // namespace qelt
