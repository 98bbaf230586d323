#pragma once
// Finding the instrument among several ports: each is opened in turn and
// tried with the wake-up, until one echoes.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Host.hpp"
#include "platform/SerialPort.hpp"

namespace qelt {

// A port the search tried and left, with the reason ("no answer", or the
// system's reason when it could not be opened).
struct PortTried {
  std::string Device;
  std::string Reason;
};

struct PortSearchResult {
  std::string Device;  // the first device whose instrument answered; empty if none
  std::vector<PortTried> Refused;
};

// Tries devices in order, each on a new port from makePort and for at most
// perPortSeconds of wake-up. The trial ports are closed again (destroyed).
PortSearchResult FindInstrumentPort(Host& host, const std::vector<std::string>& devices,
                                    const std::function<std::unique_ptr<SerialPort>()>& makePort,
                                    double perPortSeconds = 2.5);

// "/dev/ttyUSB0,/dev/ttyUSB1" -> the two paths; blanks around names dropped, empty names skipped.
std::vector<std::string> SplitDeviceList(const std::string& text);

}  // namespace qelt
