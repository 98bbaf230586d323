#include "cli/PublishCommand.hpp"

#include <QCoreApplication>
#include <QMetaObject>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "cli/CliInstrument.hpp"
#include "cli/ReadingText.hpp"
#include "publish/Discovery.hpp"
#include "publish/MosquittoClient.hpp"
#include "publish/Publisher.hpp"
#include "recorder/TimedRecording.hpp"

namespace qelt::cli {
namespace {

struct PublishOptions {
  PortOptions Port;
  std::string Broker;
  std::string Id;
  std::string Prefix = "qelt";
  int Interval = 1;
  long Count = 0;
  double Seconds = 0;
  int Qos = 1;
  std::string SpoolDir;
  double SpoolMaxMB = 256;
  std::string User;
  std::string PasswordFile;
  std::string CaFile;
  std::string Discovery;  // empty: no discovery
};

// The poll gives up after this long so that the tool's own work goes on
// during an outage; longer than the wake-up cycle and the 4 s reply limit,
// so that "No COM" is reached within it.
constexpr double PollSlice = 5.0;
// Polls are as far apart as the program's 100 ms poll timer makes them.
constexpr double PollPeriod = 0.1;
// How long the end waits for the broker to acknowledge what is spooled.
constexpr double DrainSeconds = 10.0;

std::string DefaultSpool(const std::string& id) {
  const char* state = std::getenv("XDG_STATE_HOME");
  const char* home = std::getenv("HOME");
  std::filesystem::path base;
  if (state && *state)
    base = state;
  else
    base = std::filesystem::path(home && *home ? home : ".") / ".local" / "state";
  return (base / "qelt" / "publish" / id).string();
}

bool ReadPassword(const std::string& path, std::string& password) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::getline(in, password);
  if (!password.empty() && password.back() == '\r') password.pop_back();
  return true;
}

double EpochNow() { return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count(); }

// The network thread wakes the event loop, and the publisher takes its
// events there, also while the poll waits for the instrument.
struct EventPump {
  Publisher* Target = nullptr;
  std::atomic<bool> Posted{false};
  bool Fault = false;
  std::string FaultText;
  void Run() {
    Posted = false;
    if (!Target || Fault) return;
    if (!Target->Service(FaultText)) Fault = true;
  }
};

int RunPublish(PublishOptions o) {
  BrokerAddress broker;
  if (!ParseBrokerUrl(o.Broker, broker)) {
    Complain("\"" + o.Broker + "\" is no broker address (mqtt://HOST or mqtt://HOST:PORT)");
    return Usage;
  }
  if (broker.Port == 0) broker.Port = o.CaFile.empty() ? 1883 : 8883;
  auto badId = [&] {
    Complain("\"" + o.Id + "\" cannot be an id: letters, digits, \"-\" and \"_\" only (give --id)");
    return Usage;
  };
  if (!o.Id.empty() && !ValidTopicName(o.Id, false)) return badId();
  if (!ValidTopicName(o.Prefix, true)) {
    Complain("\"" + o.Prefix + "\" cannot be a topic prefix: letters, digits, \"-\", \"_\" and \"/\" between parts");
    return Usage;
  }
  if (!o.Discovery.empty() && !ValidTopicName(o.Discovery, true)) {
    Complain("\"" + o.Discovery + "\" cannot be a discovery prefix");
    return Usage;
  }
  std::string password;
  if (!o.PasswordFile.empty()) {
    if (o.User.empty()) {
      Complain("--password-file needs --user");
      return Usage;
    }
    if (!ReadPassword(o.PasswordFile, password)) {
      Complain("cannot read the password file " + o.PasswordFile);
      return Usage;
    }
  }

  // The id comes from the device, which --port find only knows once it is open.
  CliInstrument meter(o.Port.Timeout);
  if (int rc = meter.Open(o.Port); rc != Ok) return rc;
  if (o.Id.empty()) {
    o.Id = std::filesystem::path(meter.session.Meter.PortDevice).filename().string();
    if (!ValidTopicName(o.Id, false)) return badId();
  }

  MqttSettings settings;
  settings.Host = broker.Host;
  settings.Port = broker.Port;
  settings.ClientId = "qelt-" + o.Prefix + "-" + o.Id;
  for (char& c : settings.ClientId)
    if (c == '/') c = '-';
  settings.Username = o.User;
  settings.Password = password;
  settings.CaFile = o.CaFile;
  const PublishTopics topics = TopicsFor(o.Prefix, o.Id);
  settings.WillTopic = topics.Status;
  settings.WillPayload = "offline";

  Spool spool;
  std::string error;
  if (o.SpoolDir.empty()) o.SpoolDir = DefaultSpool(o.Id);
  if (!spool.Open(o.SpoolDir, static_cast<std::uint64_t>(o.SpoolMaxMB * 1024 * 1024), error)) {
    Complain(error);
    return FileError;
  }
  if (spool.DamagedFiles() > 0)
    Complain(std::to_string(spool.DamagedFiles()) +
             " damaged spool file(s) read up to their last whole reading; the rest is left in " + o.SpoolDir);

  auto pump = std::make_shared<EventPump>();
  MosquittoClient client([pump] {
    if (pump->Posted.exchange(true)) return;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [pump] { pump->Run(); }, Qt::QueuedConnection);
  });
  PublisherOptions po;
  po.Topics = topics;
  po.Qos = o.Qos;
  po.IntervalSeconds = o.Interval;
  po.BrokerName = broker.Host + ":" + std::to_string(broker.Port);
  if (!o.Discovery.empty()) po.Discovery = DiscoveryDocuments(o.Discovery, o.Prefix, o.Id);
  Publisher publisher(client, spool, po, [](const std::string& line) { Complain(line); });
  pump->Target = &publisher;
  if (spool.Pending() > 0)
    Complain(std::to_string(spool.Pending()) + " reading(s) from an earlier run wait in the spool; they go first");
  if (!client.Start(settings, error)) {
    pump->Target = nullptr;
    Complain(error);
    return Usage;
  }

  bool spoolFault = false;
  // A lost link is the instrument gone for the broker too.
  LinkLossWatch lossWatch(meter.link, [&publisher] { publisher.SetInstrument(false); });
  auto service = [&] {
    pump->Run();
    if (pump->Fault) spoolFault = true;
  };
  auto stopping = [&] { return Interrupted() || publisher.Refused() || spoolFault; };

  std::uint64_t lastSerial = meter.session.Meter.ReadingSerial;
  long taken = 0;
  std::int64_t ticks = 0;
  double nextTick = OnWallSecond(meter.host, meter.host.Monotonic() + 1.0);
  while (!stopping()) {
    while (meter.host.Monotonic() < nextTick && !stopping()) {
      const double pollStart = meter.host.Monotonic();
      const PollOutcome outcome = meter.poll.Tick({pollStart + PollSlice});
      if (outcome == PollOutcome::Reading) publisher.SetInstrument(true);
      service();
      const double wake = std::min(pollStart + PollPeriod, nextTick);
      while (meter.host.Monotonic() < wake && !stopping()) meter.host.RunEvents(wake - meter.host.Monotonic());
    }
    if (stopping()) break;
    ++ticks;
    if (o.Seconds > 0 && static_cast<double>(ticks) > o.Seconds + 1e-9) break;
    const std::uint64_t serial = meter.session.Meter.ReadingSerial;
    if ((ticks - 1) % o.Interval == 0 && serial != lastSerial) {
      ReadingMoment moment;
      moment.When = NowWithMillisecond(meter.host, moment.Millisecond);
      moment.Epoch = EpochNow();
      if (!publisher.AddReading(moment, meter.session.Meter, meter.session.Live, error)) {
        Complain(error);
        spoolFault = true;
        break;
      }
      lastSerial = serial;
      ++taken;
      if (o.Count > 0 && taken >= o.Count) break;
    }
    if (!spool.SaveMark(error)) {
      Complain(error);
      spoolFault = true;
      break;
    }
    // A late tick is taken once; the ticks it missed are gone, as in record.
    nextTick = OnWallSecond(meter.host, nextTick + 1.0);
    const double now = meter.host.Monotonic();
    if (nextTick < now + 2 * TickAfterTheSecond) {
      ticks += static_cast<std::int64_t>(now - nextTick) + 1;
      nextTick = OnWallSecond(meter.host, now + 1.0);
    }
  }

  // What is spooled gets its chance to go out, then "offline" is said.
  if (!publisher.Refused() && !spoolFault) {
    const double until = meter.host.Monotonic() + DrainSeconds;
    while (publisher.Pending() > 0 && meter.host.Monotonic() < until && !publisher.Refused() && !spoolFault) {
      meter.host.RunEvents(0.1);
      service();
    }
    if (const int id = publisher.PublishOffline(); id != 0) {
      const double offlineUntil = meter.host.Monotonic() + 2.0;
      while (!publisher.Delivered(id) && meter.host.Monotonic() < offlineUntil && !publisher.Refused()) {
        meter.host.RunEvents(0.1);
        service();
      }
    }
  }
  client.Stop();
  service();
  pump->Target = nullptr;
  if (!spoolFault && !spool.SaveMark(error)) {
    Complain(error);
    spoolFault = true;
  }
  if (publisher.Refused()) {
    Complain("the broker at " + po.BrokerName + " refused the connection: " + publisher.RefusalReason());
    return BrokerRefused;
  }
  if (spoolFault) {
    if (!pump->FaultText.empty()) Complain(pump->FaultText);
    return FileError;
  }
  if (publisher.Pending() > 0)
    Complain(std::to_string(publisher.Pending()) + " reading(s) not acknowledged by the broker stay in the spool " +
             o.SpoolDir + " for the next start");
  return Ok;
}

}  // namespace

void AddPublishCommand(CLI::App& app, CommandList& commands) {
  auto o = std::make_shared<PublishOptions>();
  auto* cmd = app.add_subcommand("publish", "publish live readings to an MQTT broker; runs until stopped");
  // No --timeout: an instrument that does not answer is waited for, not given up.
  cmd->add_option("--port", o->Port.Port, "serial port: COM1..COM16, Auto, a device path, or find")->required();
  cmd->add_option("--candidates", o->Port.Candidates,
                  "with --port find: the devices to try, DEV,DEV (default: every serial port)");
  cmd->add_option("--broker", o->Broker, "mqtt://HOST[:PORT] (port 1883, 8883 with --cafile)")->required();
  cmd->add_option("--id", o->Id, "instrument name in the topics (default: the device's name)");
  cmd->add_option("--topic-prefix", o->Prefix, "first part(s) of every topic")->capture_default_str();
  cmd->add_option("--interval", o->Interval, "seconds between readings (1..86400)")
      ->check(CLI::Range(1, 86400))
      ->capture_default_str();
  auto* limit = cmd->add_option_group("how long", "at most one of --count and --seconds");
  limit->add_option("--count", o->Count, "stop after this many readings")->check(AboveZero);
  limit->add_option("--seconds", o->Seconds, "stop after this many seconds")->check(AboveZero);
  limit->require_option(0, 1);
  cmd->add_option("--qos", o->Qos, "0 or 1")->check(CLI::IsMember({0, 1}))->capture_default_str();
  cmd->add_option("--spool", o->SpoolDir, "spool folder (default ~/.local/state/qelt/publish/ID)");
  cmd->add_option("--spool-max", o->SpoolMaxMB, "spool size limit in MB; the oldest readings go beyond it")
      ->check(AboveZero)
      ->capture_default_str();
  cmd->add_option("--user", o->User, "user name at the broker");
  cmd->add_option("--password-file", o->PasswordFile, "file whose first line is the password");
  cmd->add_option("--cafile", o->CaFile, "CA certificate(s) for TLS");
  auto* discovery =
      cmd->add_option("--discovery", o->Discovery, "publish home automation discovery documents under PREFIX")
          ->expected(0, 1)
          ->type_name("[PREFIX]");
  commands.push_back({cmd, [o, discovery] {
                        if (discovery->count() > 0 && o->Discovery.empty()) o->Discovery = "homeassistant";
                        return RunPublish(*o);
                      }});
}

}  // namespace qelt::cli
