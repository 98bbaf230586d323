#pragma once
// The serial ports the system has (USB adapters, built-in ports); pseudo-
// terminals are not among them.
#include <string>
#include <vector>

namespace qelt::cli {

struct SystemPortInfo {
  std::string Device;  // "/dev/ttyUSB0", "COM3"
  std::string Description;
  std::string SerialNumber;
};

std::vector<SystemPortInfo> SystemPorts();

// `ports [--format tsv|json]`: one line per port, device TAB description TAB
// serial number, or a JSON object per line.
std::string SystemPortLine(const SystemPortInfo& port, bool json);

}  // namespace qelt::cli
