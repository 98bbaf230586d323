#include "cli/PublishCommand.hpp"

#include <QCoreApplication>
#include <QMetaObject>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "cli/CliInstrument.hpp"
#include "cli/ReadingText.hpp"
#include "platform/WallSecondTicker.hpp"
#include "publish/Discovery.hpp"
#include "publish/MosquittoClient.hpp"
#include "publish/Publisher.hpp"
#include "text/Result.hpp"

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

Result<std::string> ReadPassword(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Fail("cannot read the password file " + path);
  std::string password;
  std::getline(in, password);
  if (!password.empty() && password.back() == '\r') password.pop_back();
  return password;
}

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
    if (Result<> served = Target->Service(); !served) {
      Fault = true;
      FaultText = served.Reason();
    }
  }
};

// What the options give before the instrument is open: the broker and the
// password; a failure is a usage fault, its reason for stderr.
struct Checked {
  BrokerAddress Broker;
  std::string Password;
};

Result<> CheckId(const std::string& id) {
  if (ValidTopicName(id, false)) return {};
  return Fail("\"" + id + "\" cannot be an id: letters, digits, \"-\" and \"_\" only (give --id)");
}

Result<Checked> CheckOptions(const PublishOptions& o) {
  Checked c;
  if (!ParseBrokerUrl(o.Broker, c.Broker))
    return Fail("\"" + o.Broker + "\" is no broker address (mqtt://HOST or mqtt://HOST:PORT)");
  if (c.Broker.Port == 0) c.Broker.Port = o.CaFile.empty() ? 1883 : 8883;
  if (!o.Id.empty())
    if (Result<> id = CheckId(o.Id); !id) return Fail(id.Reason());
  if (!ValidTopicName(o.Prefix, true))
    return Fail("\"" + o.Prefix + "\" cannot be a topic prefix: letters, digits, \"-\", \"_\" and \"/\" between parts");
  if (!o.Discovery.empty() && !ValidTopicName(o.Discovery, true))
    return Fail("\"" + o.Discovery + "\" cannot be a discovery prefix");
  if (!o.PasswordFile.empty()) {
    if (o.User.empty()) return Fail("--password-file needs --user");
    Result<std::string> password = ReadPassword(o.PasswordFile);
    if (!password) return Fail(password.Reason());
    c.Password = password.Value();
  }
  return c;
}

MqttSettings SettingsFor(const PublishOptions& o, const Checked& c, const PublishTopics& topics) {
  MqttSettings settings;
  settings.Host = c.Broker.Host;
  settings.Port = c.Broker.Port;
  settings.ClientId = "qelt-" + o.Prefix + "-" + o.Id;
  for (char& ch : settings.ClientId)
    if (ch == '/') ch = '-';
  settings.Username = o.User;
  settings.Password = c.Password;
  settings.CaFile = o.CaFile;
  settings.WillTopic = topics.Status;
  settings.WillPayload = "offline";
  return settings;
}

// One publishing run, once the instrument is open and the spool read: the
// loop of polls and whole-second ticks, then the drain at its end.
class PublishRun {
 public:
  PublishRun(const PublishOptions& o, CliInstrument& meter, Spool& spool, const Checked& checked)
      : o_(o),
        meter_(meter),
        spool_(spool),
        pump_(std::make_shared<EventPump>()),
        client_([pump = pump_] {
          if (pump->Posted.exchange(true)) return;
          QMetaObject::invokeMethod(
              QCoreApplication::instance(), [pump] { pump->Run(); }, Qt::QueuedConnection);
        }),
        options_(PublisherFor(o, checked)),
        publisher_(client_, spool, options_, [](const std::string& line) { Complain(line); }) {
    pump_->Target = &publisher_;
  }
  ~PublishRun() { pump_->Target = nullptr; }
  PublishRun(const PublishRun&) = delete;
  PublishRun& operator=(const PublishRun&) = delete;

  Result<> Start(const MqttSettings& settings) { return client_.Start(settings); }
  // Until the count, the time, a signal, a refusal or a spool fault.
  void Loop();
  // What is spooled gets its chance to go out, then "offline" is said.
  void Drain();
  // Stops the client and says how the run ended; the exit code.
  int Finish();

 private:
  static PublisherOptions PublisherFor(const PublishOptions& o, const Checked& c) {
    PublisherOptions po;
    po.Topics = TopicsFor(o.Prefix, o.Id);
    po.Qos = o.Qos;
    po.IntervalSeconds = o.Interval;
    po.BrokerName = c.Broker.Host + ":" + std::to_string(c.Broker.Port);
    if (!o.Discovery.empty()) po.Discovery = DiscoveryDocuments(o.Discovery, o.Prefix, o.Id);
    return po;
  }
  void Service() {
    pump_->Run();
    if (pump_->Fault) spoolFault_ = true;
  }
  bool Stopping() const { return Interrupted() || publisher_.Refused() || spoolFault_; }
  void FileFault(const std::string& reason) {
    Complain(reason);
    spoolFault_ = true;
  }
  // Polls until the tick is due; false when the run is to stop.
  bool PollUntil(double tick);
  // One tick's reading, when one is due and new; false when the run ends.
  bool TakeReading(std::int64_t tick);

  const PublishOptions& o_;
  CliInstrument& meter_;
  Spool& spool_;
  std::shared_ptr<EventPump> pump_;
  MosquittoClient client_;
  PublisherOptions options_;
  Publisher publisher_;
  bool spoolFault_ = false;
  std::uint64_t lastSerial_ = 0;
  long taken_ = 0;
};

bool PublishRun::PollUntil(double tick) {
  Host& host = meter_.host;
  while (host.Monotonic() < tick && !Stopping()) {
    const double pollStart = host.Monotonic();
    if (meter_.poll.Tick({pollStart + PollSlice}) == PollOutcome::Reading) publisher_.SetInstrument(true);
    Service();
    const double wake = std::min(pollStart + PollPeriod, tick);
    while (host.Monotonic() < wake && !Stopping()) host.RunEvents(wake - host.Monotonic());
  }
  return !Stopping();
}

bool PublishRun::TakeReading(std::int64_t tick) {
  const std::uint64_t serial = meter_.session.Meter.ReadingSerial;
  if ((tick - 1) % o_.Interval == 0 && serial != lastSerial_) {
    ReadingMoment moment = MomentNow(meter_.host);
    if (Result<> added = publisher_.AddReading(moment, meter_.session.Meter, meter_.session.Live); !added) {
      FileFault(added.Reason());
      return false;
    }
    lastSerial_ = serial;
    ++taken_;
    if (o_.Count > 0 && taken_ >= o_.Count) return false;
  }
  if (Result<> saved = spool_.SaveMark(); !saved) {
    FileFault(saved.Reason());
    return false;
  }
  return true;
}

void PublishRun::Loop() {
  // A lost link is the instrument gone for the broker too.
  LinkLossWatch lossWatch(meter_.link, [this] { publisher_.SetInstrument(false); });
  lastSerial_ = meter_.session.Meter.ReadingSerial;
  std::int64_t ticks = 0;
  WallSecondTicker ticker(meter_.host);
  while (PollUntil(ticker.Next())) {
    ++ticks;
    if (o_.Seconds > 0 && static_cast<double>(ticks) > o_.Seconds + 1e-9) break;
    if (!TakeReading(ticks)) break;
    // The ticks a late one missed are gone, as in record.
    ticks += ticker.Advance();
  }
}

void PublishRun::Drain() {
  if (publisher_.Refused() || spoolFault_) return;
  Host& host = meter_.host;
  // After a signal without a connection nothing can be acknowledged, and
  // the spool keeps it all for the next start.
  auto hopeless = [&] { return Interrupted() && !publisher_.Connected(); };
  const double until = host.Monotonic() + DrainSeconds;
  while (publisher_.Pending() > 0 && host.Monotonic() < until && !publisher_.Refused() && !spoolFault_ && !hopeless()) {
    host.RunEvents(0.1);
    Service();
  }
  if (const int id = publisher_.PublishOffline(); id != 0) {
    const double offlineUntil = host.Monotonic() + 2.0;
    while (!publisher_.Delivered(id) && host.Monotonic() < offlineUntil && !publisher_.Refused() && !hopeless()) {
      host.RunEvents(0.1);
      Service();
    }
  }
}

int PublishRun::Finish() {
  client_.Stop();
  Service();
  pump_->Target = nullptr;
  if (!spoolFault_)
    if (Result<> saved = spool_.SaveMark(); !saved) FileFault(saved.Reason());
  if (publisher_.Refused()) {
    Complain("the broker at " + options_.BrokerName + " refused the connection: " + publisher_.RefusalReason());
    return BrokerRefused;
  }
  if (spoolFault_) {
    if (!pump_->FaultText.empty()) Complain(pump_->FaultText);
    return FileError;
  }
  if (publisher_.Pending() > 0)
    Complain(std::to_string(publisher_.Pending()) + " reading(s) not acknowledged by the broker stay in the spool " +
             o_.SpoolDir + " for the next start");
  return Ok;
}

Result<> OpenSpool(Spool& spool, PublishOptions& o) {
  if (o.SpoolDir.empty()) o.SpoolDir = DefaultSpool(o.Id);
  if (Result<> opened = spool.Open(o.SpoolDir, static_cast<std::uint64_t>(o.SpoolMaxMB * 1024 * 1024)); !opened)
    return opened;
  if (spool.DamagedFiles() > 0)
    Complain(std::to_string(spool.DamagedFiles()) +
             " damaged spool file(s) read up to their last whole reading; the rest is left in " + o.SpoolDir);
  if (spool.Pending() > 0)
    Complain(std::to_string(spool.Pending()) + " reading(s) from an earlier run wait in the spool; they go first");
  return {};
}

int RunPublish(PublishOptions o) {
  const Result<Checked> checked = CheckOptions(o);
  if (!checked) {
    Complain(checked.Reason());
    return Usage;
  }
  // The id comes from the device, which --port find only knows once it is open.
  CliInstrument meter(o.Port.Timeout);
  if (int rc = meter.Open(o.Port); rc != Ok) return rc;
  if (o.Id.empty()) {
    o.Id = std::filesystem::path(meter.session.Meter.PortDevice).filename().string();
    if (Result<> id = CheckId(o.Id); !id) {
      Complain(id.Reason());
      return Usage;
    }
  }
  Spool spool;
  if (Result<> opened = OpenSpool(spool, o); !opened) {
    Complain(opened.Reason());
    return FileError;
  }
  PublishRun run(o, meter, spool, checked.Value());
  if (Result<> started = run.Start(SettingsFor(o, checked.Value(), TopicsFor(o.Prefix, o.Id))); !started) {
    Complain(started.Reason());
    return Usage;
  }
  run.Loop();
  run.Drain();
  return run.Finish();
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
