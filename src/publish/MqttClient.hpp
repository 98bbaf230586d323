#pragma once
// The MQTT connection as the publisher needs it: connect in the background
// (and again after a loss, with a growing pause), publish, and a list of
// what happened since it was last asked. Calls come from one thread; the
// events may arise on another and wait until TakeEvents.
#include <string>
#include <vector>

#include "text/Result.hpp"

namespace qelt {

struct MqttSettings {
  std::string Host;
  int Port = 1883;
  std::string ClientId;
  std::string Username;  // empty: none
  std::string Password;
  std::string CaFile;                  // not empty: TLS, the broker's certificate checked against it
  std::string WillTopic, WillPayload;  // sent retained by the broker when the connection is lost
  int KeepAliveSeconds = 30;
};

struct MqttEvent {
  enum Kind {
    Connected,     // the broker accepted the connection
    Refused,       // the broker refused it (credentials, not authorised, ...): no point in trying again
    Disconnected,  // a connection attempt failed or the connection was lost; it is tried again
    Delivered,     // message Id has been acknowledged (QoS 1) or sent (QoS 0)
  };
  Kind What = Disconnected;
  int Id = 0;
  std::string Reason;  // Refused, Disconnected: the broker's or the system's words
};

class MqttClient {
 public:
  virtual ~MqttClient() = default;
  // Starts connecting; fails for settings that cannot work (a CA file that
  // cannot be read). An unreachable broker is not a failure.
  virtual Result<> Start(const MqttSettings& settings) = 0;
  // Hands a message over; its id (> 0), or 0 when there is no connection.
  virtual int Publish(const std::string& topic, const std::string& payload, int qos, bool retain) = 0;
  virtual std::vector<MqttEvent> TakeEvents() = 0;
  // Disconnects cleanly (the broker then does not send the will) and stops.
  virtual void Stop() = 0;
};

}  // namespace qelt
