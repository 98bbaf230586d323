#include "publish/Discovery.hpp"

#include <nlohmann/json.hpp>

#include "link/LiveReading.hpp"
#include "publish/PublishMessages.hpp"

namespace qelt {
namespace {

// The sensor class of a quantity by its unit; angles have none.
const char* DeviceClass(const std::string& unit) {
  if (unit == "V") return "voltage";
  if (unit == "A") return "current";
  if (unit == "kW") return "power";
  if (unit == "kvar") return "reactive_power";
  if (unit == "kVA") return "apparent_power";
  if (unit == "Hz") return "frequency";
  if (unit.empty()) return "power_factor";
  return nullptr;
}

}  // namespace

std::vector<DiscoveryDocument> DiscoveryDocuments(const std::string& discoveryPrefix, const std::string& topicPrefix,
                                                  const std::string& id) {
  const PublishTopics topics = TopicsFor(topicPrefix, id);
  const std::string node = "qelt_" + id;
  const nlohmann::ordered_json device = {
      {"identifiers", nlohmann::ordered_json::array({node})}, {"name", "Qelt " + id}, {"model", "Qelt"}};
  auto common = [&](const std::string& key, const std::string& name) {
    return nlohmann::ordered_json{{"name", name},
                                  {"unique_id", node + "_" + key},
                                  {"object_id", node + "_" + key},
                                  {"availability_topic", topics.Status},
                                  {"payload_available", "online"},
                                  {"payload_not_available", "offline"}};
  };
  std::vector<DiscoveryDocument> documents;
  for (int i = 0; i < QuantityCount; ++i) {
    const std::string name = QuantityNames[static_cast<std::size_t>(i)];
    const std::string unit = QuantityUnit(i);
    std::string title = QuantityTitle(name);
    if (const std::size_t paren = title.find(" ("); paren != std::string::npos) title.resize(paren);
    nlohmann::ordered_json config = common(name, title);
    config["state_topic"] = topics.Reading;
    // "values" is also a method name of the template's dictionaries, so the
    // members are picked by subscript. An over-range null shows as unknown.
    config["value_template"] = "{{ value_json['values']['" + name + "'] }}";
    if (!unit.empty()) config["unit_of_measurement"] = unit;
    if (const char* deviceClass = DeviceClass(unit)) config["device_class"] = deviceClass;
    config["state_class"] = "measurement";
    config["device"] = device;
    documents.push_back({discoveryPrefix + "/sensor/" + node + "/" + name + "/config", config.dump()});
  }
  for (const auto& [key, title] : {std::pair<std::string, std::string>{"kWh_import", "Energy import"},
                                   std::pair<std::string, std::string>{"kWh_export", "Energy export"}}) {
    nlohmann::ordered_json config = common(key, title);
    config["state_topic"] = topics.Energy;
    config["value_template"] = "{{ value_json['" + key + "'] }}";
    config["unit_of_measurement"] = "kWh";
    config["device_class"] = "energy";
    config["state_class"] = "total_increasing";
    config["device"] = device;
    documents.push_back({discoveryPrefix + "/sensor/" + node + "/" + key + "/config", config.dump()});
  }
  return documents;
}

}  // namespace qelt
