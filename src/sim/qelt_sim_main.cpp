// qelt-sim: the simulated instrument on a pseudo-terminal. Prints the device
// path as its first line and serves until SIGTERM or SIGINT.
#include <signal.h>

#include <CLI/CLI.hpp>
#include <iostream>

#include "sim/LoadModel.hpp"
#include "sim/PtySimulator.hpp"
#include "sim/Scenario.hpp"
#include "sim/SimTrace.hpp"
#include "text/Version.hpp"

namespace {

using namespace qelt;

// The command line as given; each setting counts only when it was given.
struct SimOptions {
  std::string Link, Scenario, Logger, Wiring, Trace;
  bool Fast = false, Silent = false;
  long SilentAfter = -1;
  int BadEcho = 0;
  double Noise = 0, DropFrame = 0;
  int Hz = 50;
  std::uint64_t Seed = 1;
};

void AddOptions(CLI::App& app, SimOptions& o) {
  app.set_version_flag("--version", "qelt-sim " QELT_VERSION);
  app.add_option("--link", o.Link, "Also make PATH a symbolic link to the device")->type_name("PATH");
  app.add_option("--trace", o.Trace, "Append a JSON line per live frame sent, per clock set and per piece received")
      ->type_name("FILE");
  app.add_option("--scenario", o.Scenario, "Settings from a JSON scenario file")->type_name("FILE.json");
  app.add_flag("--fast", o.Fast, "No 19200-baud pacing");
  app.add_flag("--silent", o.Silent, "Never answer");
  app.add_option("--silent-after", o.SilentAfter, "Fall silent after N commands")
      ->type_name("N")
      ->check(CLI::NonNegativeNumber);
  app.add_option("--bad-echo", o.BadEcho, "Answer the next N wake-ups with a wrong byte")
      ->type_name("N")
      ->check(CLI::NonNegativeNumber);
  app.add_option("--noise", o.Noise, "Share of corrupted bytes (0..1)")->type_name("RATE")->check(CLI::Range(0.0, 1.0));
  app.add_option("--drop-frame", o.DropFrame, "Share of damaged live frames (0..1)")
      ->type_name("RATE")
      ->check(CLI::Range(0.0, 1.0));
  app.add_option("--seed", o.Seed, "Seed of noise, drift and faults")->type_name("N");
  app.add_option("--logger", o.Logger, "Logger memory contents")
      ->check(CLI::IsMember({"empty", "small", "large", "full"}));
  app.add_option("--wiring", o.Wiring, "Wiring mode")->check(CLI::IsMember({"1P2W", "1P3W", "3P3W2M", "3P4W"}));
  app.add_option("--hz", o.Hz, "Line frequency")->check(CLI::IsMember({50, 60}));
}

// The scenario first; options given on the command line win over it.
bool Settle(const CLI::App& app, const SimOptions& o, InstrumentSettings& s, std::string& error) {
  if (!o.Scenario.empty() && !LoadScenarioFile(o.Scenario, s, error)) return false;
  if (o.Fast) s.Paced = false;
  if (o.Silent) s.Faults.Silent = true;
  if (app.count("--silent-after")) s.Faults.SilentAfter = o.SilentAfter;
  if (app.count("--bad-echo")) s.Faults.BadEcho = o.BadEcho;
  if (app.count("--noise")) s.Faults.Noise = o.Noise;
  if (app.count("--drop-frame")) s.Faults.DropFrame = o.DropFrame;
  if (app.count("--seed")) s.Seed = o.Seed;
  if (app.count("--logger")) s.Logger = o.Logger;
  if (app.count("--wiring")) s.Load.WiringCode = WiringCodeFromText(o.Wiring);
  if (app.count("--hz")) s.Load.Hz = o.Hz;
  return true;
}

// Serves until SIGTERM or SIGINT; the exit code.
int Serve(const PtySimulatorOptions& options) {
  // The signals wait for sigwait below, not for the serving thread.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  PtySimulator simulator;
  std::string device, error;
  if (!simulator.Start(options, device, error)) {
    std::cerr << "qelt-sim: " << error << '\n';
    return 1;
  }
  std::cout << device << std::endl;

  int received = 0;
  sigwait(&stopSignals, &received);
  simulator.Stop();
  return 0;
}

int Run(int argc, char** argv) {
  CLI::App app{
      "Simulated three-phase power analyzer on a pseudo-terminal: prints the device path as its first "
      "line and serves until SIGTERM or SIGINT",
      "qelt-sim"};
  SimOptions o;
  AddOptions(app, o);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : 2;  // --help and --version are no error; bad usage is 2
  }

  PtySimulatorOptions options;
  options.LinkPath = o.Link;
  std::string error;
  if (!Settle(app, o, options.Instrument, error)) {
    std::cerr << "qelt-sim: " << error << '\n';
    return 2;
  }
  SimTrace traceFile;
  if (!o.Trace.empty()) {
    if (!traceFile.Open(o.Trace, error)) {
      std::cerr << "qelt-sim: " << error << '\n';
      return 2;
    }
    options.Listener = &traceFile;
  }
  return Serve(options);
}

}  // namespace

int main(int argc, char** argv) {
  // Anything unforeseen (a full disk under --trace, no memory) ends with a
  // message rather than an abort.
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::cerr << "qelt-sim: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "qelt-sim: unexpected error\n";
  }
  return 1;
}
