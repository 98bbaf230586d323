#include "publish/MosquittoClient.hpp"

#include <mosquitto.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace qelt {
namespace {

MosquittoClient& Self(void* userdata) { return *static_cast<MosquittoClient*>(userdata); }

void OnConnect(mosquitto*, void* userdata, int code) {
  if (code == 0) {
    Self(userdata).Accepted();
    Self(userdata).Push({MqttEvent::Connected, 0, {}});
  } else if (code == 3) {
    // "server unavailable" passes: the broker may take us later.
    Self(userdata).Push({MqttEvent::Disconnected, 0, mosquitto_connack_string(code)});
  } else {
    Self(userdata).Push({MqttEvent::Refused, code, mosquitto_connack_string(code)});
  }
}

void OnDisconnect(mosquitto*, void* userdata, int code) {
  if (code == MOSQ_ERR_SUCCESS) return;  // asked for
  // Trying again would not change the certificate.
  if (code == MOSQ_ERR_TLS) {
    Self(userdata).Push({MqttEvent::Refused, code, "the TLS handshake failed (see --cafile)"});
    return;
  }
  const std::string reason = code == MOSQ_ERR_ERRNO ? std::strerror(errno) : mosquitto_strerror(code);
  Self(userdata).Push({MqttEvent::Disconnected, code, reason});
}

void OnPublish(mosquitto*, void* userdata, int mid) { Self(userdata).Push({MqttEvent::Delivered, mid, {}}); }

}  // namespace

MosquittoClient::MosquittoClient(std::function<void()> onEvent) : onEvent_(std::move(onEvent)) {
  static const int initialised = mosquitto_lib_init();
  (void)initialised;
}

MosquittoClient::~MosquittoClient() {
  Stop();
  if (mosq_) mosquitto_destroy(mosq_);
}

void MosquittoClient::Push(MqttEvent event) {
  told_ = true;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(std::move(event));
  }
  if (onEvent_) onEvent_();
}

std::vector<MqttEvent> MosquittoClient::TakeEvents() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<MqttEvent> taken;
  taken.swap(events_);
  return taken;
}

Result<> MosquittoClient::Start(const MqttSettings& s) {
  settings_ = s;
  mosq_ = mosquitto_new(s.ClientId.c_str(), true, this);
  if (!mosq_) return Fail("cannot make an MQTT client: " + std::string(std::strerror(errno)));
  // Publish comes from the caller's thread, the network work from ours.
  mosquitto_threaded_set(mosq_, true);
  mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
  if (!s.Username.empty() &&
      mosquitto_username_pw_set(mosq_, s.Username.c_str(), s.Password.c_str()) != MOSQ_ERR_SUCCESS)
    return Fail("the user name or password cannot be used");
  if (!s.CaFile.empty()) {
    const int rc = mosquitto_tls_set(mosq_, s.CaFile.c_str(), nullptr, nullptr, nullptr, nullptr);
    if (rc != MOSQ_ERR_SUCCESS) return Fail("cannot use the CA file " + s.CaFile + ": " + mosquitto_strerror(rc));
  }
  if (!s.WillTopic.empty())
    mosquitto_will_set(mosq_, s.WillTopic.c_str(), static_cast<int>(s.WillPayload.size()), s.WillPayload.data(), 1,
                       true);
  // Enough in flight that a spool's replay is not held up by the round trips.
  mosquitto_max_inflight_messages_set(mosq_, 200);
  mosquitto_connect_callback_set(mosq_, OnConnect);
  mosquitto_disconnect_callback_set(mosq_, OnDisconnect);
  mosquitto_publish_callback_set(mosq_, OnPublish);
  running_ = true;
  thread_ = std::thread([this] { Run(); });
  return {};
}

bool MosquittoClient::Pause(double seconds) {
  std::unique_lock<std::mutex> lock(waitMutex_);
  wake_.wait_for(lock, std::chrono::duration<double>(seconds), [this] { return stop_.load(); });
  return !stop_;
}

void MosquittoClient::Run() {
  // The library's own reconnection gives up for good when the very first
  // attempt fails, so the attempts are made here.
  // A blocking connect to an address that drops the handshake would hold
  // Stop for the system's TCP timeout (minutes); this one completes inside
  // the loop, which looks at stop_ every 250 ms.
  while (!stop_) {
    int rc = mosquitto_connect_async(mosq_, settings_.Host.c_str(), settings_.Port, settings_.KeepAliveSeconds);
    if (rc == MOSQ_ERR_SUCCESS) {
      told_ = false;
      while (!stop_ && rc == MOSQ_ERR_SUCCESS) rc = mosquitto_loop(mosq_, 250, 1);
      // The callbacks tell a refusal and a lost connection; an attempt that
      // failed before any answer (refused by the system) is told here.
      if (!stop_ && !told_)
        Push({MqttEvent::Disconnected, rc, rc == MOSQ_ERR_ERRNO ? std::strerror(errno) : mosquitto_strerror(rc)});
      if (stop_) {
        mosquitto_disconnect(mosq_);
        // Lets the disconnection go out before the socket closes.
        for (int i = 0; i < 4 && mosquitto_loop(mosq_, 50, 1) == MOSQ_ERR_SUCCESS; ++i) {
        }
        return;
      }
    } else if (rc == MOSQ_ERR_TLS) {
      Push({MqttEvent::Refused, rc, "the TLS handshake failed (see --cafile)"});
    } else {
      Push({MqttEvent::Disconnected, rc, rc == MOSQ_ERR_ERRNO ? std::strerror(errno) : mosquitto_strerror(rc)});
    }
    const int pause = backoff_;
    backoff_ = std::min(pause * 2, 30);
    if (!Pause(pause)) return;
  }
}

int MosquittoClient::Publish(const std::string& topic, const std::string& payload, int qos, bool retain) {
  if (!running_) return 0;
  int mid = 0;
  const int rc =
      mosquitto_publish(mosq_, &mid, topic.c_str(), static_cast<int>(payload.size()), payload.data(), qos, retain);
  return rc == MOSQ_ERR_SUCCESS ? mid : 0;
}

void MosquittoClient::Stop() {
  if (!running_) return;
  running_ = false;
  {
    // Between Pause's look at stop_ and its sleep, a flag set without the
    // lock and its notification would both be missed.
    std::lock_guard<std::mutex> lock(waitMutex_);
    stop_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

}  // namespace qelt
