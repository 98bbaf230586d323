#include "publish/PublishMessages.hpp"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "platform/IsoMoment.hpp"
#include "text/NumberText.hpp"

namespace qelt {

bool ValidTopicName(std::string_view name, bool slashes) {
  if (name.empty()) return false;
  char previous = '/';
  for (char c : name) {
    const bool plain = std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
    if (!plain && !(slashes && c == '/' && previous != '/')) return false;
    previous = c;
  }
  return previous != '/';
}

bool ParseBrokerUrl(std::string_view url, BrokerAddress& out) {
  constexpr std::string_view scheme = "mqtt://";
  if (url.substr(0, scheme.size()) != scheme) return false;
  std::string_view rest = url.substr(scheme.size());
  if (!rest.empty() && rest.back() == '/') rest.remove_suffix(1);
  std::string_view host, port;
  if (!rest.empty() && rest.front() == '[') {
    const std::size_t close = rest.find(']');
    if (close == std::string_view::npos || close < 2) return false;
    host = rest.substr(1, close - 1);
    if (host.find_first_not_of("0123456789abcdefABCDEF:.") != std::string_view::npos) return false;
    rest.remove_prefix(close + 1);
    if (!rest.empty() && rest.front() != ':') return false;
    if (!rest.empty()) port = rest.substr(1);
    if (rest == ":") return false;
  } else {
    const std::size_t colon = rest.find(':');
    host = rest.substr(0, colon);
    if (colon != std::string_view::npos) {
      port = rest.substr(colon + 1);
      if (port.empty()) return false;
    }
    if (host.empty()) return false;
    for (char c : host)
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '.' && c != '_') return false;
  }
  out.Host = std::string(host);
  out.Port = 0;
  if (!port.empty()) {
    if (port.size() > 5 || port.find_first_not_of("0123456789") != std::string_view::npos) return false;
    const int value = std::stoi(std::string(port));
    if (value < 1 || value > 65535) return false;
    out.Port = value;
  }
  return true;
}

PublishTopics TopicsFor(const std::string& prefix, const std::string& id) {
  const std::string base = prefix + "/" + id + "/";
  return {base + "reading", base + "status", base + "instrument", base + "energy"};
}

std::string IsoText(const ReadingMoment& moment) {
  return IsoMoment(moment.When, moment.Millisecond, moment.UtcOffsetMinutes);
}

std::string ReadingMessage(std::uint64_t seq, const ReadingMoment& moment, const MeterState& meter,
                           const LiveReading& reading) {
  nlohmann::ordered_json values = nlohmann::ordered_json::object();
  nlohmann::ordered_json over = nlohmann::ordered_json::array();
  for (int i = 0; i < QuantityCount; ++i) {
    const std::string& text = reading.ByIndex(i);
    const char* name = QuantityNames[static_cast<std::size_t>(i)];
    if (text == "OL" || text == "-OL") over.push_back(name);
    if (text.empty() || text == "OL" || text == "-OL")
      values[name] = nullptr;
    else
      values[name] = NumericPrefix(text);
  }
  char date[16], time[16];
  const DateTime& w = moment.When;
  std::snprintf(date, sizeof date, "%04d/%02d/%02d", w.Year, w.Month, w.Day);
  std::snprintf(time, sizeof time, "%02d:%02d:%02d", w.Hour, w.Minute, w.Second);
  nlohmann::ordered_json message = {{"seq", seq},
                                    {"t", IsoText(moment)},
                                    {"date", date},
                                    {"time", time},
                                    {"WiringCode", meter.WiringCode},
                                    {"WiringMode", meter.WiringMode},
                                    {"values", values},
                                    {"over", over}};
  return message.dump();
}

std::string WithSeq(std::string_view message, std::uint64_t seq) {
  // "seq" is always the first member.
  const std::size_t end = message.find(',');
  if (message.substr(0, 7) != "{\"seq\":" || end == std::string_view::npos) return std::string(message);
  return "{\"seq\":" + std::to_string(seq) + std::string(message.substr(end));
}

}  // namespace qelt
