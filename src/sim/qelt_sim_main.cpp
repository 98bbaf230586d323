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

int Run(int argc, char** argv) {
  using namespace qelt;
  CLI::App app{
      "Simulated three-phase power analyzer on a pseudo-terminal: prints the device path as its first "
      "line and serves until SIGTERM or SIGINT",
      "qelt-sim"};
  app.set_version_flag("--version", "qelt-sim " QELT_VERSION);
  std::string link, scenario, logger, wiring, trace;
  bool fast = false, silent = false;
  long silentAfter = -1;
  int badEcho = 0;
  double noise = 0, dropFrame = 0;
  int hz = 50;
  std::uint64_t seed = 1;
  app.add_option("--link", link, "Also make PATH a symbolic link to the device")->type_name("PATH");
  app.add_option("--trace", trace, "Append a JSON line per live frame sent, per clock set and per piece received")
      ->type_name("FILE");
  app.add_option("--scenario", scenario, "Settings from a JSON scenario file")->type_name("FILE.json");
  app.add_flag("--fast", fast, "No 19200-baud pacing");
  app.add_flag("--silent", silent, "Never answer");
  app.add_option("--silent-after", silentAfter, "Fall silent after N commands")
      ->type_name("N")
      ->check(CLI::NonNegativeNumber);
  app.add_option("--bad-echo", badEcho, "Answer the next N wake-ups with a wrong byte")
      ->type_name("N")
      ->check(CLI::NonNegativeNumber);
  app.add_option("--noise", noise, "Share of corrupted bytes (0..1)")->type_name("RATE")->check(CLI::Range(0.0, 1.0));
  app.add_option("--drop-frame", dropFrame, "Share of damaged live frames (0..1)")
      ->type_name("RATE")
      ->check(CLI::Range(0.0, 1.0));
  app.add_option("--seed", seed, "Seed of noise, drift and faults")->type_name("N");
  app.add_option("--logger", logger, "Logger memory contents")
      ->check(CLI::IsMember({"empty", "small", "large", "full"}));
  app.add_option("--wiring", wiring, "Wiring mode")->check(CLI::IsMember({"1P2W", "1P3W", "3P3W2M", "3P4W"}));
  app.add_option("--hz", hz, "Line frequency")->check(CLI::IsMember({50, 60}));
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : 2;  // --help and --version are no error; bad usage is 2
  }

  PtySimulatorOptions options;
  options.LinkPath = link;
  InstrumentSettings& s = options.Instrument;
  std::string error;
  if (!scenario.empty() && !LoadScenarioFile(scenario, s, error)) {
    std::cerr << "qelt-sim: " << error << '\n';
    return 2;
  }
  // Options given on the command line win over the scenario.
  if (fast) s.Paced = false;
  if (silent) s.Faults.Silent = true;
  if (app.count("--silent-after")) s.Faults.SilentAfter = silentAfter;
  if (app.count("--bad-echo")) s.Faults.BadEcho = badEcho;
  if (app.count("--noise")) s.Faults.Noise = noise;
  if (app.count("--drop-frame")) s.Faults.DropFrame = dropFrame;
  if (app.count("--seed")) s.Seed = seed;
  if (app.count("--logger")) s.Logger = logger;
  if (app.count("--wiring")) s.Load.WiringCode = WiringCodeFromText(wiring);
  if (app.count("--hz")) s.Load.Hz = hz;

  SimTrace traceFile;
  if (!trace.empty()) {
    if (!traceFile.Open(trace, error)) {
      std::cerr << "qelt-sim: " << error << '\n';
      return 2;
    }
    options.Listener = &traceFile;
  }

  // The signals wait for sigwait below, not for the serving thread.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  PtySimulator simulator;
  std::string device;
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
