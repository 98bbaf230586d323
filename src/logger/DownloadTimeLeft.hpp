#pragma once
// The time a logger download still needs: the bytes still to come at the
// rate the line has delivered them so far, or at 19 200 baud until that
// rate is known. Seconds on the host's
// monotonic clock.
#include <cstddef>
#include <string>

namespace qelt {

class DownloadTimeLeft {
 public:
  // 19 200 baud, ten bits a byte.
  static constexpr double LineBytesPerSecond = 1920.0;
  // The line's own rate is trusted after this long and this many bytes.
  static constexpr double MeasureAfter = 1.0;
  static constexpr std::size_t MeasureBytes = 512;

  // A download of total record bytes begins at now.
  void Start(std::size_t total, double now);
  // received of the total have come by now.
  void Update(std::size_t received, double now);
  // Seconds until the last byte; 0 once all have come, negative before Start.
  double SecondsLeft() const;

 private:
  std::size_t total_ = 0;
  std::size_t received_ = 0;
  bool started_ = false;
  bool measuring_ = false;
  double firstAt_ = 0.0;  // when the first record byte came
  std::size_t firstBytes_ = 0;
  double rate_ = 0.0;  // bytes per second since the first byte; 0 while not yet known
};

// "2 min 35 s left", "40 s left"; minutes round to 5 s. Empty for a negative time.
std::string TimeLeftText(double seconds);

}  // namespace qelt
