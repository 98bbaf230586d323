#include "publish/Publisher.hpp"

#include "text/NumberText.hpp"

namespace qelt {

Publisher::Publisher(MqttClient& client, Spool& spool, const PublisherOptions& options,
                     std::function<void(const std::string&)> say)
    : client_(client), spool_(spool), options_(options), say_(std::move(say)) {
  if (Result<EnergyTotals> loaded = LoadEnergyState(spool_.Folder()))
    energy_ = loaded.Value();
  else
    say_(loaded.Reason());
  droppedTold_ = spool_.Dropped();
}

Result<> Publisher::AddReading(const ReadingMoment& moment, const MeterState& meter, const LiveReading& reading) {
  const std::uint64_t seq = spool_.NextSeq();
  if (Result<> appended = spool_.Append(ReadingMessage(seq, moment, meter, reading)); !appended) return appended;
  if (spool_.Dropped() > droppedTold_) {
    say_("the spool is over its size limit: " + std::to_string(spool_.Dropped() - droppedTold_) +
         " oldest reading(s) dropped unsent (" + std::to_string(spool_.Dropped()) + " since the start)");
    droppedTold_ = spool_.Dropped();
  }
  AddEnergyReading(energy_, moment.Epoch, IsoText(moment), NumericPrefix(reading.TKW), NumericPrefix(reading.TKVAR),
                   options_.IntervalSeconds);
  if (Result<> saved = SaveEnergyState(spool_.Folder(), energy_); !saved) return saved;
  if (connected_) {
    Pump();
    client_.Publish(options_.Topics.Energy, EnergyMessage(energy_), options_.Qos, true);
  }
  return {};
}

void Publisher::SetInstrument(bool answering) {
  const int state = answering ? 1 : 0;
  if (state == instrument_) return;
  instrument_ = state;
  if (connected_) client_.Publish(options_.Topics.Instrument, answering ? "ok" : "lost", options_.Qos, true);
}

Result<> Publisher::Service() {
  for (const MqttEvent& event : client_.TakeEvents()) {
    switch (event.What) {
      case MqttEvent::Connected: OnConnected(); break;
      case MqttEvent::Refused:
        refused_ = true;
        refusalReason_ = event.Reason;
        connected_ = false;
        break;
      case MqttEvent::Disconnected:
        if (connected_ || !toldUnreachable_) {
          say_("the broker at " + options_.BrokerName + (connected_ ? " was lost" : " cannot be reached") + " (" +
               event.Reason + "); readings wait in the spool, trying again after 1 s, then up to 30 s");
          toldUnreachable_ = true;
        }
        connected_ = false;
        break;
      case MqttEvent::Delivered: {
        if (event.Id == offlineId_) offlineDelivered_ = true;
        auto it = inFlight_.find(event.Id);
        if (it == inFlight_.end()) break;
        spool_.Acknowledge(it->second);
        inFlight_.erase(it);
        ++ackedSinceMark_;
        break;
      }
    }
  }
  // A long replay trims its spool files as it goes.
  if (ackedSinceMark_ >= 5000) {
    ackedSinceMark_ = 0;
    if (Result<> saved = spool_.SaveMark(); !saved) return saved;
  }
  if (connected_) Pump();
  return {};
}

void Publisher::OnConnected() {
  connected_ = true;
  if (toldUnreachable_ || !everConnected_) {
    const std::uint64_t waiting = spool_.Pending();
    if (toldUnreachable_ || waiting > 0)
      say_("connected to the broker at " + options_.BrokerName +
           (waiting > 0 ? "; " + std::to_string(waiting) + " spooled reading(s) go out first" : ""));
  }
  toldUnreachable_ = false;
  everConnected_ = true;
  // What was in flight on the lost connection may or may not have arrived:
  // it goes again, from the oldest unacknowledged on (a repeat, never a gap).
  inFlight_.clear();
  nextToSend_ = spool_.FirstPending();
  client_.Publish(options_.Topics.Status, "online", options_.Qos, true);
  for (const DiscoveryDocument& doc : options_.Discovery) client_.Publish(doc.Topic, doc.Payload, options_.Qos, true);
  SendState();
  Pump();
  if (energy_.HasLast) client_.Publish(options_.Topics.Energy, EnergyMessage(energy_), options_.Qos, true);
}

void Publisher::SendState() {
  if (instrument_ >= 0) client_.Publish(options_.Topics.Instrument, instrument_ ? "ok" : "lost", options_.Qos, true);
}

void Publisher::Pump() {
  while (inFlight_.size() < options_.Window) {
    std::vector<SpoolEntry> entries = spool_.Read(nextToSend_, options_.Window - inFlight_.size());
    if (entries.empty()) return;
    for (const SpoolEntry& entry : entries) {
      const int id = client_.Publish(options_.Topics.Reading, entry.Payload, options_.Qos, false);
      if (id == 0) return;  // the connection is gone; its event follows
      inFlight_[id] = entry.Seq;
      nextToSend_ = entry.Seq + 1;
    }
  }
}

int Publisher::PublishOffline() {
  if (!connected_) return 0;
  offlineDelivered_ = false;
  offlineId_ = client_.Publish(options_.Topics.Status, "offline", 1, true);
  return offlineId_;
}

}  // namespace qelt
