#include "link/PortSearch.hpp"

#include "link/Commands.hpp"
#include "link/ExchangeGuard.hpp"
#include "link/Link.hpp"

namespace qelt {

PortSearchResult FindInstrumentPort(Host& host, const std::vector<std::string>& devices,
                                    const std::function<std::unique_ptr<SerialPort>()>& makePort,
                                    double perPortSeconds) {
  PortSearchResult result;
  for (const std::string& device : devices) {
    std::unique_ptr<SerialPort> port = makePort();
    std::string error;
    if (!port->Open(device, cmd::PortSettings, error)) {
      result.Refused.push_back({device, error});
      continue;
    }
    Link link(host, *port);
    ExchangeGuard guard;
    ExchangeGuard::Ticket ticket = guard.TakeForCommand();
    ticket.Deadline = host.Monotonic() + perPortSeconds;
    if (link.WakeMeter(ticket)) {
      result.Device = device;
      return result;
    }
    result.Refused.push_back({device, "no answer"});
  }
  return result;
}

std::vector<std::string> SplitDeviceList(const std::string& text) {
  std::vector<std::string> devices;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    std::string name = text.substr(start, end - start);
    const auto first = name.find_first_not_of(" \t");
    const auto last = name.find_last_not_of(" \t");
    if (first != std::string::npos) devices.push_back(name.substr(first, last - first + 1));
    start = end + 1;
  }
  return devices;
}

}  // namespace qelt
