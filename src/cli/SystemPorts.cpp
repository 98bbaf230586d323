#include "cli/SystemPorts.hpp"

#include <QSerialPortInfo>
#include <nlohmann/json.hpp>

namespace qelt::cli {

std::vector<SystemPortInfo> SystemPorts() {
  std::vector<SystemPortInfo> ports;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
    ports.push_back(
        {info.systemLocation().toStdString(), info.description().toStdString(), info.serialNumber().toStdString()});
  return ports;
}

std::string SystemPortLine(const SystemPortInfo& port, bool json) {
  if (json)
    return nlohmann::json{{"device", port.Device}, {"description", port.Description}, {"serial", port.SerialNumber}}
        .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  return port.Device + '\t' + port.Description + '\t' + port.SerialNumber;
}

}  // namespace qelt::cli
