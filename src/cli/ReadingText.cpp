#include "cli/ReadingText.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <nlohmann/json.hpp>

#include "platform/IsoMoment.hpp"
#include "recorder/MeasurementFile.hpp"

namespace qelt {

std::string ReadingTsv(const DateTime& when, const LiveReading& reading) {
  return SampleLine(when, ValueTextsOf(reading));
}

std::string ReadingJson(const ReadingMoment& moment, const MeterState& meter, const LiveReading& reading) {
  nlohmann::ordered_json values = nlohmann::ordered_json::object();
  for (int i = 0; i < QuantityCount; ++i) values[QuantityNames[static_cast<std::size_t>(i)]] = reading.ByIndex(i);
  nlohmann::ordered_json line = {{"date", DateText(moment.When)},  {"time", TimeText(moment.When)},
                                 {"t", IsoText(moment)},           {"WiringCode", meter.WiringCode},
                                 {"WiringMode", meter.WiringMode}, {"values", values}};
  return line.dump();
}

std::string UnitsJson() {
  nlohmann::ordered_json units = nlohmann::ordered_json::object();
  for (int i = 0; i < QuantityCount; ++i) units[QuantityNames[static_cast<std::size_t>(i)]] = QuantityUnit(i);
  return nlohmann::ordered_json{{"units", units}}.dump();
}

ReadingMoment MomentNow(Host& host) {
  // Both clocks are read twice at most: a second may turn between them.
  ReadingMoment moment;
  double seconds = 0.0;
  for (int attempt = 0; attempt < 3; ++attempt) {
    moment.When = host.Now();
    seconds = host.SecondsSinceMidnight();
    if (static_cast<long>(seconds) == moment.When.Hour * 3600L + moment.When.Minute * 60L + moment.When.Second) break;
  }
  moment.Millisecond = std::clamp(static_cast<int>((seconds - std::floor(seconds)) * 1000.0), 0, 999);
  moment.Epoch = std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
  moment.UtcOffsetMinutes = UtcOffsetMinutes(moment.When, moment.Epoch);
  return moment;
}

}  // namespace qelt
