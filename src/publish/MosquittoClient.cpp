#include "publish/MosquittoClient.hpp"

#include <mosquitto.h>

#include <cerrno>
#include <cstring>

namespace qelt {
namespace {

MosquittoClient& Self(void* userdata) { return *static_cast<MosquittoClient*>(userdata); }

void OnConnect(mosquitto*, void* userdata, int code) {
  if (code == 0) {
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
  // A failed TLS handshake ends the library's own retries, and trying again
  // would not change the certificate.
  if (code == MOSQ_ERR_TLS) {
    Self(userdata).Push({MqttEvent::Refused, code, "the TLS handshake failed (see --cafile)"});
    return;
  }
  std::string reason = code == MOSQ_ERR_ERRNO ? std::strerror(errno) : mosquitto_strerror(code);
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

bool MosquittoClient::Start(const MqttSettings& s, std::string& error) {
  mosq_ = mosquitto_new(s.ClientId.c_str(), true, this);
  if (!mosq_) {
    error = "cannot make an MQTT client: " + std::string(std::strerror(errno));
    return false;
  }
  mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
  if (!s.Username.empty() &&
      mosquitto_username_pw_set(mosq_, s.Username.c_str(), s.Password.c_str()) != MOSQ_ERR_SUCCESS) {
    error = "the user name or password cannot be used";
    return false;
  }
  if (!s.CaFile.empty()) {
    const int rc = mosquitto_tls_set(mosq_, s.CaFile.c_str(), nullptr, nullptr, nullptr, nullptr);
    if (rc != MOSQ_ERR_SUCCESS) {
      error = "cannot use the CA file " + s.CaFile + ": " + mosquitto_strerror(rc);
      return false;
    }
  }
  if (!s.WillTopic.empty())
    mosquitto_will_set(mosq_, s.WillTopic.c_str(), static_cast<int>(s.WillPayload.size()), s.WillPayload.data(), 1,
                       true);
  mosquitto_reconnect_delay_set(mosq_, 1, 30, true);
  // Enough in flight that a spool's replay is not held up by the round trips.
  mosquitto_max_inflight_messages_set(mosq_, 200);
  mosquitto_connect_callback_set(mosq_, OnConnect);
  mosquitto_disconnect_callback_set(mosq_, OnDisconnect);
  mosquitto_publish_callback_set(mosq_, OnPublish);
  const int rc = mosquitto_connect_async(mosq_, s.Host.c_str(), s.Port, s.KeepAliveSeconds);
  if (rc != MOSQ_ERR_SUCCESS)
    Push({MqttEvent::Disconnected, rc, rc == MOSQ_ERR_ERRNO ? std::strerror(errno) : mosquitto_strerror(rc)});
  if (mosquitto_loop_start(mosq_) != MOSQ_ERR_SUCCESS) {
    error = "cannot start the MQTT client's thread";
    return false;
  }
  running_ = true;
  return true;
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
  mosquitto_disconnect(mosq_);
  mosquitto_loop_stop(mosq_, false);
}

}  // namespace qelt
