#pragma once
// What the port window's text names, and opening it before the main window shows.
#include <string>

#include "link/MeterState.hpp"
#include "platform/SerialPort.hpp"

namespace qelt {

struct PortChoice {
  bool Named = false;  // the text names a port
  int ComPort = 0;     // 1..16 for "COMn" and "Auto"; 0 for a device path
  std::string Device;  // what to open: the platform's device, or the path as typed
};

// "COM1".."COM16" (exact, case-sensitive), "Auto" (port 1), or a device path
// (a text that starts with "/"), used as it is.
PortChoice ChoosePort(const std::string& text);

// Opens the port the text names. On success stores ComPort and PortDevice and
// returns an empty text; otherwise returns the message to show (naming the
// port and the system's reason) and changes nothing.
std::string OpenChosenPort(SerialPort& port, MeterState& meter, const std::string& text);

}  // namespace qelt
