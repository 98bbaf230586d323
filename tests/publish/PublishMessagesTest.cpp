#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "publish/PublishMessages.hpp"

namespace qelt {
namespace {

TEST(TopicNames, IdsAndPrefixes) {
  EXPECT_TRUE(ValidTopicName("ttyUSB0", false));
  EXPECT_TRUE(ValidTopicName("hall-2_b", false));
  EXPECT_FALSE(ValidTopicName("", false));
  EXPECT_FALSE(ValidTopicName("a/b", false));
  EXPECT_FALSE(ValidTopicName("a+b", false));
  EXPECT_FALSE(ValidTopicName("#", false));
  EXPECT_FALSE(ValidTopicName("a b", false));
  EXPECT_FALSE(ValidTopicName("tty.0", false));
  EXPECT_TRUE(ValidTopicName("site/hall-2/qelt", true));
  EXPECT_FALSE(ValidTopicName("/qelt", true));
  EXPECT_FALSE(ValidTopicName("qelt/", true));
  EXPECT_FALSE(ValidTopicName("a//b", true));
  EXPECT_FALSE(ValidTopicName("a/+/b", true));
}

TEST(BrokerUrl, HostAndPort) {
  BrokerAddress a;
  ASSERT_TRUE(ParseBrokerUrl("mqtt://127.0.0.1:18830", a));
  EXPECT_EQ(a.Host, "127.0.0.1");
  EXPECT_EQ(a.Port, 18830);
  ASSERT_TRUE(ParseBrokerUrl("mqtt://broker.example", a));
  EXPECT_EQ(a.Host, "broker.example");
  EXPECT_EQ(a.Port, 0);
  ASSERT_TRUE(ParseBrokerUrl("mqtt://[::1]:1884", a));
  EXPECT_EQ(a.Host, "::1");
  EXPECT_EQ(a.Port, 1884);
  for (const char* bad : {"127.0.0.1:1883", "http://h", "mqtt://", "mqtt://h:", "mqtt://h:0", "mqtt://h:65536",
                          "mqtt://h:12x", "mqtt://h/topic", "mqtt://user@h", "mqtt://[::1", "mqtt://h:1883:1"})
    EXPECT_FALSE(ParseBrokerUrl(bad, a)) << bad;
}

TEST(ReadingMessage, NumbersNullsAndOverRange) {
  LiveReading reading;
  for (int i = 0; i < QuantityCount; ++i) reading.ByIndex(i) = "001.0";
  reading.KW1 = "-012.3";
  reading.PF1 = "0.998";
  reading.V2 = "OL";
  reading.I3 = "-OL";
  reading.Hz = "";
  MeterState meter;
  meter.WiringCode = 8;
  meter.WiringMode = "3P4W";
  ReadingMoment moment{{2026, 12, 10, 10, 0, 0}, 250, 0, 60};
  const std::string text = ReadingMessage(42, moment, meter, reading);
  const nlohmann::ordered_json m = nlohmann::ordered_json::parse(text);
  EXPECT_EQ(m.begin().key(), "seq");
  EXPECT_EQ(m["seq"], 42);
  EXPECT_EQ(m["t"], "2026-12-10T10:00:00.250+01:00");
  EXPECT_EQ(m["date"], "2026/12/10");
  EXPECT_EQ(m["time"], "10:00:00");
  EXPECT_EQ(m["WiringCode"], 8);
  EXPECT_EQ(m["WiringMode"], "3P4W");
  EXPECT_DOUBLE_EQ(m["values"]["KW1"].get<double>(), -12.3);
  EXPECT_DOUBLE_EQ(m["values"]["PF1"].get<double>(), 0.998);
  EXPECT_TRUE(m["values"]["V2"].is_null());
  EXPECT_TRUE(m["values"]["I3"].is_null());
  EXPECT_TRUE(m["values"]["Hz"].is_null());
  EXPECT_EQ(m["values"].size(), 28u);
  EXPECT_EQ(m["values"].begin().key(), "KW1");
  EXPECT_EQ(m["over"], nlohmann::ordered_json::array({"V2", "I3"}));
  // The numbers are written short, as the texts read.
  EXPECT_NE(text.find("\"KW1\":-12.3,"), std::string::npos);
  EXPECT_EQ(WithSeq(text, 7).substr(0, 10), "{\"seq\":7,\"");
}

}  // namespace
}  // namespace qelt
