#include "link/PortChoice.hpp"

#include "link/Commands.hpp"
#include "link/Link.hpp"

namespace qelt {

PortChoice ChoosePort(const std::string& text) {
  PortChoice choice;
  if (int n = ComPortFromText(text); n > 0) {
    choice.Named = true;
    choice.ComPort = n;
    choice.Device = DeviceForComPort(n);
  } else if (!text.empty() && text[0] == '/') {
    choice.Named = true;
    choice.Device = text;
  }
  return choice;
}

std::string OpenChosenPort(SerialPort& port, MeterState& meter, const std::string& text) {
  PortChoice choice = ChoosePort(text);
  if (!choice.Named)
    return "\"" + text +
           "\" does not name a serial port.\r\nChoose COM1 to COM16 or Auto, or type a device path such as "
           "/dev/ttyUSB0.";
  std::string error;
  if (!port.IsOpen() && !port.Open(choice.Device, cmd::PortSettings, error)) {
    std::string name = choice.ComPort > 0 ? text + " (" + choice.Device + ")" : choice.Device;
    if (error.empty()) error = "unknown reason";
    return "The port " + name + " could not be opened:\r\n" + error;
  }
  meter.ComPort = choice.ComPort;
  meter.PortDevice = choice.Device;
  return {};
}

}  // namespace qelt
