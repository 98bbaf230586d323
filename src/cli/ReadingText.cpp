#include "cli/ReadingText.hpp"

#include <nlohmann/json.hpp>

#include "recorder/MeasurementFile.hpp"

namespace qelt {

std::string ReadingTsv(const DateTime& when, const LiveReading& reading) {
  return SampleLine(when, ValueTextsOf(reading));
}

std::string ReadingJson(const DateTime& when, const MeterState& meter, const LiveReading& reading) {
  nlohmann::ordered_json values = nlohmann::ordered_json::object();
  for (int i = 0; i < QuantityCount; ++i) values[QuantityNames[static_cast<std::size_t>(i)]] = reading.ByIndex(i);
  nlohmann::ordered_json line = {{"date", DateText(when)},
                                 {"time", TimeText(when)},
                                 {"WiringCode", meter.WiringCode},
                                 {"WiringMode", meter.WiringMode},
                                 {"values", values}};
  return line.dump();
}

}  // namespace qelt
