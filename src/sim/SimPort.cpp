#include "sim/SimPort.hpp"

namespace qelt {

SimPort::SimPort(VirtualHost& host, Instrument& instrument) : host_(host), instrument_(instrument) {
  // Only bytes still to come wake the host; bytes that wait unread do not,
  // or a wait with unread input would never let the clock move.
  wakeSource_ = host_.AddWakeSource(
      [this] { return open_ ? instrument_.NextArrivalAfter(host_.Monotonic()) : VirtualHost::Never; });
}

SimPort::~SimPort() { host_.RemoveWakeSource(wakeSource_); }

bool SimPort::Open(const std::string& device, const std::string& settings, std::string& error) {
  if (!openError_.empty()) {
    error = openError_;
    return false;
  }
  device_ = device;
  settings_ = settings;
  instrument_.TakeArrived(host_.Monotonic());
  open_ = true;
  return true;
}

void SimPort::Write(std::string_view bytes) {
  if (!open_) return;
  written_.append(bytes);
  instrument_.Receive(bytes, host_.Monotonic());
}

std::string SimPort::ReadAll() { return open_ ? instrument_.TakeArrived(host_.Monotonic()) : std::string(); }

std::size_t SimPort::Pending() { return open_ ? instrument_.ArrivedCount(host_.Monotonic()) : 0; }

}  // namespace qelt
