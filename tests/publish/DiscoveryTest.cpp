#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>

#include "publish/Discovery.hpp"

namespace qelt {
namespace {

TEST(Discovery, OneDocumentPerQuantityAndTwoForEnergy) {
  const std::vector<DiscoveryDocument> docs = DiscoveryDocuments("homeassistant", "site/qelt", "hall1");
  ASSERT_EQ(docs.size(), 30u);
  std::set<std::string> ids;
  for (const DiscoveryDocument& d : docs) {
    const nlohmann::json c = nlohmann::json::parse(d.Payload);
    ids.insert(c["unique_id"].get<std::string>());
    EXPECT_EQ(c["availability_topic"], "site/qelt/hall1/status");
    EXPECT_EQ(c["device"]["identifiers"], nlohmann::json::array({"qelt_hall1"}));
    EXPECT_EQ(c["device"]["model"], "Qelt");
    EXPECT_TRUE(c.contains("name"));
  }
  EXPECT_EQ(ids.size(), 30u);

  const nlohmann::json v1 = nlohmann::json::parse(docs[5].Payload);
  EXPECT_EQ(docs[5].Topic, "homeassistant/sensor/qelt_hall1/V1/config");
  EXPECT_EQ(v1["unique_id"], "qelt_hall1_V1");
  EXPECT_EQ(v1["state_topic"], "site/qelt/hall1/reading");
  EXPECT_EQ(v1["value_template"], "{{ value_json['values']['V1'] }}");
  EXPECT_EQ(v1["unit_of_measurement"], "V");
  EXPECT_EQ(v1["device_class"], "voltage");
  EXPECT_EQ(v1["state_class"], "measurement");

  auto config = [&](const std::string& q) {
    for (const DiscoveryDocument& d : docs)
      if (d.Topic == "homeassistant/sensor/qelt_hall1/" + q + "/config") return nlohmann::json::parse(d.Payload);
    ADD_FAILURE() << q;
    return nlohmann::json{};
  };
  EXPECT_EQ(config("PF1")["device_class"], "power_factor");
  EXPECT_FALSE(config("PF1").contains("unit_of_measurement"));
  EXPECT_FALSE(config("Theta2").contains("device_class"));
  EXPECT_EQ(config("Theta2")["unit_of_measurement"], "\u00b0");
  EXPECT_EQ(config("TKVAR")["device_class"], "reactive_power");
  EXPECT_EQ(config("TKVAR")["unit_of_measurement"], "kvar");
  EXPECT_EQ(config("KVA3")["device_class"], "apparent_power");
  EXPECT_EQ(config("KW2")["unit_of_measurement"], "kW");
  EXPECT_EQ(config("Hz")["device_class"], "frequency");
  EXPECT_EQ(config("I4")["device_class"], "current");
  const nlohmann::json imp = config("kWh_import");
  EXPECT_EQ(imp["state_topic"], "site/qelt/hall1/energy");
  EXPECT_EQ(imp["device_class"], "energy");
  EXPECT_EQ(imp["unit_of_measurement"], "kWh");
  EXPECT_EQ(imp["state_class"], "total_increasing");
  EXPECT_EQ(config("kWh_export")["value_template"], "{{ value_json['kWh_export'] }}");
}

}  // namespace
}  // namespace qelt
