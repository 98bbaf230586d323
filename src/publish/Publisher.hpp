#pragma once
// The publisher: readings into the spool and from it to the broker, in seq
// order, each removed once acknowledged; the retained status, instrument,
// energy and discovery messages. One thread; nothing here waits.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "link/LiveReading.hpp"
#include "link/MeterState.hpp"
#include "publish/Discovery.hpp"
#include "publish/EnergyTotals.hpp"
#include "publish/MqttClient.hpp"
#include "publish/PublishMessages.hpp"
#include "publish/Spool.hpp"

namespace qelt {

struct PublisherOptions {
  PublishTopics Topics;
  int Qos = 1;
  double IntervalSeconds = 1;
  std::vector<DiscoveryDocument> Discovery;  // sent on every connection; empty: none
  std::string BrokerName;                    // "host:port", for the messages
  // Readings handed to the client and not yet acknowledged, at most.
  std::size_t Window = 1000;
};

class Publisher {
 public:
  // say: one line for the user (stderr); damaged energy totals are told
  // through it and start again from 0.
  Publisher(MqttClient& client, Spool& spool, const PublisherOptions& options,
            std::function<void(const std::string&)> say);

  // A new reading: spooled and forced to disk, the energy totals moved on
  // and saved, then sent after whatever waits before it. Fails when the
  // spool or the totals cannot be written.
  Result<> AddReading(const ReadingMoment& moment, const MeterState& meter, const LiveReading& reading);
  // "ok" or "lost", published (retained) when it changes and on each connection.
  void SetInstrument(bool answering);

  // Takes the client's events and sends what the window allows. Fails when
  // the acknowledged mark cannot be written.
  Result<> Service();

  // After Refused: the broker's reason.
  bool Refused() const { return refused_; }
  const std::string& RefusalReason() const { return refusalReason_; }
  bool Connected() const { return connected_; }
  std::uint64_t Pending() const { return spool_.Pending(); }

  // Publishes "offline" (retained); its id, 0 without a connection.
  int PublishOffline();
  // Whether message id was delivered (kept for the offline message).
  bool Delivered(int id) const { return id != 0 && id == offlineId_ && offlineDelivered_; }

  const EnergyTotals& Energy() const { return energy_; }

 private:
  void OnConnected();
  void Pump();
  void SendState();

  MqttClient& client_;
  Spool& spool_;
  PublisherOptions options_;
  std::function<void(const std::string&)> say_;
  EnergyTotals energy_;
  bool connected_ = false;
  bool everConnected_ = false;
  bool toldUnreachable_ = false;
  bool refused_ = false;
  std::string refusalReason_;
  int instrument_ = -1;                    // -1 unknown, 0 lost, 1 ok
  std::map<int, std::uint64_t> inFlight_;  // message id -> seq
  std::uint64_t nextToSend_ = 0;
  std::uint64_t ackedSinceMark_ = 0;
  std::uint64_t droppedTold_ = 0;
  int offlineId_ = 0;
  bool offlineDelivered_ = false;
};

}  // namespace qelt
