#pragma once
// MqttClient over libmosquitto with its own network thread, which also
// reconnects (1 s, doubling up to 30 s).
#include <functional>
#include <mutex>

#include "publish/MqttClient.hpp"

struct mosquitto;

namespace qelt {

class MosquittoClient : public MqttClient {
 public:
  // onEvent runs on the network thread after each event is queued: it may
  // only wake the caller's thread (its event loop), nothing more.
  explicit MosquittoClient(std::function<void()> onEvent = {});
  ~MosquittoClient() override;
  MosquittoClient(const MosquittoClient&) = delete;
  MosquittoClient& operator=(const MosquittoClient&) = delete;

  bool Start(const MqttSettings& settings, std::string& error) override;
  int Publish(const std::string& topic, const std::string& payload, int qos, bool retain) override;
  std::vector<MqttEvent> TakeEvents() override;
  void Stop() override;

  // For the network thread's callbacks.
  void Push(MqttEvent event);

 private:
  std::function<void()> onEvent_;
  mosquitto* mosq_ = nullptr;
  bool running_ = false;
  std::mutex mutex_;
  std::vector<MqttEvent> events_;
};

}  // namespace qelt
