#pragma once
// MqttClient over libmosquitto with a network thread of its own, which also
// connects again after a failed attempt or a lost connection: after 1 s, then
// doubling up to 30 s (back to 1 s once the broker accepts). Connections are
// made without blocking, so that Stop ends the thread within about a
// quarter of a second even while a broker that does not answer is tried.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

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

  Result<> Start(const MqttSettings& settings) override;
  int Publish(const std::string& topic, const std::string& payload, int qos, bool retain) override;
  std::vector<MqttEvent> TakeEvents() override;
  void Stop() override;

  // For the network thread's callbacks.
  void Push(MqttEvent event);
  void Accepted() { backoff_ = 1; }

 private:
  void Run();
  // Waits seconds or until Stop; false when stopping.
  bool Pause(double seconds);

  std::function<void()> onEvent_;
  MqttSettings settings_;
  mosquitto* mosq_ = nullptr;
  bool running_ = false;
  std::thread thread_;
  std::atomic<bool> stop_{false};  // set under waitMutex_, so that Pause cannot miss it
  std::atomic<int> backoff_{1};
  std::atomic<bool> told_{false};  // an event was pushed in the current attempt
  std::mutex waitMutex_;
  std::condition_variable wake_;
  std::mutex mutex_;
  std::vector<MqttEvent> events_;
};

}  // namespace qelt
