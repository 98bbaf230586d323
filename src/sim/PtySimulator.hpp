#pragma once
// The simulated instrument on a pseudo-terminal, so that any program that
// opens a serial device can talk to it. Start opens the pair (raw mode) and
// serves on a thread of its own until Stop; qelt-sim and "qelt --simulate"
// both use it. POSIX only. Paced replies reach the terminal in the pieces a
// UART's receive FIFO would hand on (ReceiveFifo), not byte by byte.
//
// Start, Stop and the destructor belong to the thread that owns the object;
// the instrument itself lives on the serving thread and is not reachable
// from outside while it runs.
#include <atomic>
#include <string>
#include <thread>

#include "sim/Instrument.hpp"

namespace qelt {

struct PtySimulatorOptions {
  InstrumentSettings Instrument;  // unset Clock: the local time at Start
  std::string LinkPath;           // non-empty: also a symbolic link to the device, replacing an old link
  // Told on the serving thread; not owned, must outlive Stop. nullptr for none.
  InstrumentListener* Listener = nullptr;
};

class PtySimulator {
 public:
  PtySimulator() = default;
  ~PtySimulator() { Stop(); }
  PtySimulator(const PtySimulator&) = delete;
  PtySimulator& operator=(const PtySimulator&) = delete;

  // Opens the pseudo-terminal and starts serving. devicePath receives the
  // device to open ("/dev/pts/5"). False with error filled when the pair or
  // the link cannot be made, or when it runs already.
  bool Start(const PtySimulatorOptions& options, std::string& devicePath, std::string& error);
  // Stops serving, closes the pair and removes the link. Does nothing when
  // not running.
  void Stop();
  bool Running() const { return thread_.joinable(); }
  const std::string& DevicePath() const { return devicePath_; }

 private:
  void Serve(Instrument& instrument);

  int master_ = -1;
  int slave_ = -1;  // held open so the master sees no hang-up between clients
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  std::string devicePath_;
  std::string linkPath_;
};

}  // namespace qelt
