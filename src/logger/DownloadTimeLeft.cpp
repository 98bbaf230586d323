#include "logger/DownloadTimeLeft.hpp"

#include <cmath>

namespace qelt {

void DownloadTimeLeft::Start(std::size_t total, double now) {
  *this = {};
  total_ = total;
  started_ = true;
  firstAt_ = now;
}

void DownloadTimeLeft::Update(std::size_t received, double now) {
  if (!started_) return;
  received_ = received < total_ ? received : total_;
  if (!measuring_) {
    if (received_ == 0) return;
    // Measured from the first byte on: the wait for it is no part of the rate.
    measuring_ = true;
    firstAt_ = now;
    firstBytes_ = received_;
    return;
  }
  const double elapsed = now - firstAt_;
  const std::size_t bytes = received_ - firstBytes_;
  if (elapsed >= MeasureAfter && bytes >= MeasureBytes) rate_ = static_cast<double>(bytes) / elapsed;
}

double DownloadTimeLeft::SecondsLeft() const {
  if (!started_) return -1.0;
  const std::size_t left = total_ - received_;
  if (left == 0) return 0.0;
  if (rate_ > 0.0) return static_cast<double>(left) / rate_;
  // A block request's pause passes while that block's bytes arrive, so the
  // line's rate alone is the best guess until the rate is measured.
  return static_cast<double>(left) / LineBytesPerSecond;
}

std::string TimeLeftText(double seconds) {
  if (seconds < 0.0) return {};
  if (seconds < 60.0) return std::to_string(static_cast<long>(std::ceil(seconds))) + " s left";
  const long total = 5 * static_cast<long>(std::ceil(seconds / 5.0));
  const long minutes = total / 60, rest = total % 60;
  return std::to_string(minutes) + " min" + (rest ? " " + std::to_string(rest) + " s" : std::string()) + " left";
}

}  // namespace qelt
