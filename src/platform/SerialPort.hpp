#pragma once
// The serial port as the link sees it. Bytes are 8-bit clean and never
// converted as text.
#include <cstddef>
#include <string>
#include <string_view>

namespace qelt {

class SerialPort {
 public:
  virtual ~SerialPort() = default;
  // Opens a device ("COM3", "/dev/ttyUSB0", a pseudo-terminal) with a settings
  // text such as "19200,n,8,1". On failure returns false and fills error with
  // the system's reason.
  virtual bool Open(const std::string& device, const std::string& settings, std::string& error) = 0;
  virtual bool IsOpen() const = 0;
  virtual void Write(std::string_view bytes) = 0;
  // Everything received so far, possibly nothing.
  virtual std::string ReadAll() = 0;
  virtual std::size_t Pending() = 0;
};

}  // namespace qelt
