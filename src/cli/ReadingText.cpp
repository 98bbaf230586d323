#include "cli/ReadingText.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "recorder/MeasurementFile.hpp"

namespace qelt {

std::string ReadingTsv(const DateTime& when, const LiveReading& reading) {
  return SampleLine(when, ValueTextsOf(reading));
}

std::string ReadingJson(const DateTime& when, int millisecond, const MeterState& meter, const LiveReading& reading) {
  nlohmann::ordered_json values = nlohmann::ordered_json::object();
  for (int i = 0; i < QuantityCount; ++i) values[QuantityNames[static_cast<std::size_t>(i)]] = reading.ByIndex(i);
  char t[32];
  std::snprintf(t, sizeof t, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", when.Year, when.Month, when.Day, when.Hour,
                when.Minute, when.Second, std::clamp(millisecond, 0, 999));
  nlohmann::ordered_json line = {
      {"date", DateText(when)},         {"time", TimeText(when)},         {"t", t},
      {"WiringCode", meter.WiringCode}, {"WiringMode", meter.WiringMode}, {"values", values}};
  return line.dump();
}

std::string UnitsJson() {
  nlohmann::ordered_json units = nlohmann::ordered_json::object();
  for (int i = 0; i < QuantityCount; ++i) units[QuantityNames[static_cast<std::size_t>(i)]] = QuantityUnit(i);
  return nlohmann::ordered_json{{"units", units}}.dump();
}

DateTime NowWithMillisecond(Host& host, int& millisecond) {
  // Both clocks are read twice at most: a second may turn between them.
  DateTime when{};
  double seconds = 0.0;
  for (int attempt = 0; attempt < 3; ++attempt) {
    when = host.Now();
    seconds = host.SecondsSinceMidnight();
    if (static_cast<long>(seconds) == when.Hour * 3600L + when.Minute * 60L + when.Second) break;
  }
  millisecond = std::clamp(static_cast<int>((seconds - std::floor(seconds)) * 1000.0), 0, 999);
  return when;
}

}  // namespace qelt
