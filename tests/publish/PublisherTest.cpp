#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "ResultCheck.hpp"
#include "TempDir.hpp"
#include "platform/IsoMoment.hpp"
#include "publish/Publisher.hpp"

namespace qelt {
namespace {

using test::Succeeded;

struct Sent {
  std::string Topic, Payload;
  int Qos;
  bool Retain;
  int Id;
};

// A broker connection under the test's control.
class FakeClient : public MqttClient {
 public:
  Result<> Start(const MqttSettings&) override { return {}; }
  int Publish(const std::string& topic, const std::string& payload, int qos, bool retain) override {
    if (!connected) return 0;
    sent.push_back({topic, payload, qos, retain, ++lastId});
    return lastId;
  }
  std::vector<MqttEvent> TakeEvents() override {
    std::vector<MqttEvent> out;
    out.swap(events);
    return out;
  }
  void Stop() override {}

  void Connect() {
    connected = true;
    events.push_back({MqttEvent::Connected, 0, {}});
  }
  void Drop() {
    connected = false;
    events.push_back({MqttEvent::Disconnected, 7, "connection lost"});
  }
  void AckAll() {
    for (const Sent& s : sent)
      if (s.Id > acked) events.push_back({MqttEvent::Delivered, s.Id, {}});
    acked = lastId;
  }
  std::vector<std::uint64_t> ReadingSeqs() const {
    std::vector<std::uint64_t> seqs;
    for (const Sent& s : sent)
      if (s.Topic == "qelt/m1/reading") seqs.push_back(nlohmann::json::parse(s.Payload)["seq"].get<std::uint64_t>());
    return seqs;
  }
  std::vector<std::string> Payloads(const std::string& topic) const {
    std::vector<std::string> out;
    for (const Sent& s : sent)
      if (s.Topic == topic) out.push_back(s.Payload);
    return out;
  }

  bool connected = false;
  std::vector<MqttEvent> events;
  std::vector<Sent> sent;
  int lastId = 0, acked = 0;
};

class PublisherTest : public ::testing::Test {
 protected:
  PublisherTest() {
    EXPECT_TRUE(Succeeded(spool.Open(dir.File("spool"), 1 << 20)));
    options.Topics = TopicsFor("qelt", "m1");
    options.BrokerName = "127.0.0.1:1883";
    for (int i = 0; i < QuantityCount; ++i) reading.ByIndex(i) = "010.0";
  }
  std::unique_ptr<Publisher> Make() {
    return std::make_unique<Publisher>(client, spool, options, [this](const std::string& s) { said.push_back(s); });
  }
  void Take(Publisher& p, int n) {
    for (int i = 0; i < n; ++i) {
      ReadingMoment moment{{2026, 12, 10, 10, 0, second % 60}, 0, 1000.0 + second};
      ++second;
      ASSERT_TRUE(Succeeded(p.AddReading(moment, meter, reading)));
    }
  }
  void Service(Publisher& p) { ASSERT_TRUE(Succeeded(p.Service())); }

  test::TempDir dir;
  Spool spool;
  PublisherOptions options;
  FakeClient client;
  MeterState meter;
  LiveReading reading;
  std::vector<std::string> said;
  int second = 0;
};

TEST_F(PublisherTest, ReadingsWaitForTheBrokerAndGoOutInOrderBeforeNewOnes) {
  auto p = Make();
  client.events.push_back({MqttEvent::Disconnected, 14, "Connection refused"});
  Service(*p);
  Take(*p, 3);
  EXPECT_TRUE(client.sent.empty());
  EXPECT_EQ(p->Pending(), 3u);
  ASSERT_EQ(said.size(), 1u);  // said once, however long it lasts
  client.Connect();
  Service(*p);
  ASSERT_FALSE(client.sent.empty());
  EXPECT_EQ(client.sent[0].Topic, "qelt/m1/status");
  EXPECT_EQ(client.sent[0].Payload, "online");
  EXPECT_TRUE(client.sent[0].Retain);
  Take(*p, 2);
  EXPECT_EQ(client.ReadingSeqs(), (std::vector<std::uint64_t>{1, 2, 3, 4, 5}));
  for (const Sent& s : client.sent) EXPECT_TRUE(s.Topic != "qelt/m1/reading" || !s.Retain);
  client.AckAll();
  Service(*p);
  EXPECT_EQ(p->Pending(), 0u);
}

TEST_F(PublisherTest, ALostConnectionSendsAgainFromTheOldestUnacknowledged) {
  auto p = Make();
  client.Connect();
  Service(*p);
  Take(*p, 3);
  client.AckAll();
  Service(*p);
  Take(*p, 2);  // 4 and 5 in flight when the connection goes
  client.Drop();
  Service(*p);
  Take(*p, 1);
  client.Connect();
  Service(*p);
  EXPECT_EQ(client.ReadingSeqs(), (std::vector<std::uint64_t>{1, 2, 3, 4, 5, 4, 5, 6}));
  // Late deliveries of the lost connection's ids do not count.
  client.events.push_back({MqttEvent::Delivered, 1, {}});
  Service(*p);
  EXPECT_EQ(p->Pending(), 3u);
  client.AckAll();
  Service(*p);
  EXPECT_EQ(p->Pending(), 0u);
}

TEST_F(PublisherTest, NoMoreThanTheWindowIsInFlight) {
  options.Window = 4;
  auto p = Make();
  Take(*p, 10);
  client.Connect();
  Service(*p);
  EXPECT_EQ(client.ReadingSeqs().size(), 4u);
  client.AckAll();
  Service(*p);
  EXPECT_EQ(client.ReadingSeqs().size(), 8u);
  client.AckAll();
  Service(*p);
  EXPECT_EQ(client.ReadingSeqs(), (std::vector<std::uint64_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST_F(PublisherTest, InstrumentStateIsRetainedAndSentAgainOnEachConnection) {
  auto p = Make();
  client.Connect();
  Service(*p);
  p->SetInstrument(true);
  p->SetInstrument(true);
  p->SetInstrument(false);
  EXPECT_EQ(client.Payloads("qelt/m1/instrument"), (std::vector<std::string>{"ok", "lost"}));
  client.Drop();
  Service(*p);
  client.Connect();
  Service(*p);
  EXPECT_EQ(client.Payloads("qelt/m1/instrument"), (std::vector<std::string>{"ok", "lost", "lost"}));
}

TEST_F(PublisherTest, EnergyFollowsEveryReadingAndContinuesAfterARestart) {
  reading.TKW = "3600";
  {
    auto p = Make();
    client.Connect();
    Service(*p);
    Take(*p, 3);
    const std::vector<std::string> energy = client.Payloads("qelt/m1/energy");
    ASSERT_EQ(energy.size(), 3u);
    EXPECT_DOUBLE_EQ(nlohmann::json::parse(energy[2])["kWh_import"].get<double>(), 2.0);
  }
  auto again = Make();
  Take(*again, 1);
  EXPECT_DOUBLE_EQ(again->Energy().KWhImport, 3.0);
}

TEST_F(PublisherTest, ARefusalIsKeptWithTheBrokersReason) {
  auto p = Make();
  client.events.push_back({MqttEvent::Refused, 5, "Connection Refused: not authorised."});
  Service(*p);
  EXPECT_TRUE(p->Refused());
  EXPECT_EQ(p->RefusalReason(), "Connection Refused: not authorised.");
}

TEST_F(PublisherTest, DiscoveryDocumentsAreRetainedOnEachConnection) {
  options.Discovery = DiscoveryDocuments("homeassistant", "qelt", "m1");
  auto p = Make();
  client.Connect();
  Service(*p);
  int retained = 0;
  for (const Sent& s : client.sent)
    if (s.Topic.starts_with("homeassistant/") && s.Retain) ++retained;
  EXPECT_EQ(retained, 30);
}

TEST_F(PublisherTest, DamagedEnergyTotalsAreToldKeptBesideAndStartAgainFromZero) {
  test::WriteFile(dir.File("spool/energy.json"), "{\"kWh_import\": 12");
  auto p = Make();
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0], "energy totals in " + dir.File("spool/energy.json") + " are damaged; they start again from 0");
  EXPECT_EQ(test::ReadFile(dir.File("spool/energy.json.damaged")), "{\"kWh_import\": 12");
  reading.TKW = "3600";
  Take(*p, 2);
  EXPECT_DOUBLE_EQ(p->Energy().KWhImport, 1.0);
}

TEST_F(PublisherTest, ReadingAndEnergyMomentsCarryTheirUtcOffset) {
  options.IntervalSeconds = 3600;
  auto p = Make();
  client.Connect();
  Service(*p);
  // 02:30 on 2026-10-25 comes twice in central Europe: at +02:00, and an
  // hour later at +01:00. Only the offset tells the two apart.
  const DateTime twice{2026, 10, 25, 2, 30, 0};
  for (const double epoch : {1792888200.0, 1792891800.0}) {
    const ReadingMoment moment{twice, 125, epoch, UtcOffsetMinutes(twice, epoch)};
    ASSERT_TRUE(Succeeded(p->AddReading(moment, meter, reading)));
  }
  const std::vector<std::string> readings = client.Payloads("qelt/m1/reading");
  ASSERT_EQ(readings.size(), 2u);
  EXPECT_EQ(nlohmann::json::parse(readings[0])["t"], "2026-10-25T02:30:00.125+02:00");
  EXPECT_EQ(nlohmann::json::parse(readings[1])["t"], "2026-10-25T02:30:00.125+01:00");
  EXPECT_EQ(nlohmann::json::parse(client.Payloads("qelt/m1/energy").back())["t"], "2026-10-25T02:30:00.125+01:00");
  // The hour between the two counts: 10 kW for 3600 s.
  EXPECT_DOUBLE_EQ(p->Energy().KWhImport, 10.0);
}

}  // namespace
}  // namespace qelt
