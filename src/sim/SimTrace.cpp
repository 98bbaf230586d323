#include "sim/SimTrace.hpp"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <nlohmann/json.hpp>

#include "link/Commands.hpp"
#include "text/NumberText.hpp"

namespace qelt {

std::string TraceFrameLine(const LiveReading& texts) {
  nlohmann::ordered_json values = nlohmann::ordered_json::object();
  for (int i = 0; i < QuantityCount; ++i) values[QuantityNames[static_cast<std::size_t>(i)]] = texts.ByIndex(i);
  return values.dump();
}

std::string TraceClockLine(const std::string& clockBytes) {
  // The "D" that carried them goes first.
  return nlohmann::ordered_json{{"clock", HexBytes(cmd::SetClock + clockBytes)}}.dump();
}

std::string TraceReceivedLine(std::string_view bytes, double at) {
  return nlohmann::ordered_json{{"received", HexBytes(bytes)}, {"at", std::round(at * 1e6) / 1e6}}.dump();
}

bool SimTrace::Open(const std::string& path, std::string& error) {
  out_.open(path, std::ios::out | std::ios::app | std::ios::binary);
  if (!out_) {
    error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

void SimTrace::FrameSent(const LiveReading& texts) { Write(TraceFrameLine(texts)); }

void SimTrace::ClockReceived(const std::string& clockBytes) { Write(TraceClockLine(clockBytes)); }

void SimTrace::BytesReceived(std::string_view bytes, double now) { Write(TraceReceivedLine(bytes, now)); }

void SimTrace::Write(const std::string& line) {
  out_ << line << '\n';
  out_.flush();
}

}  // namespace qelt
