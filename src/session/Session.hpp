#pragma once
// Everything the windows share during one run. main() makes one and hands it
// to the windows by reference; a test makes its own.
#include "link/ExchangeGuard.hpp"
#include "link/LiveReading.hpp"
#include "link/MeterState.hpp"
#include "session/CosTable.hpp"
#include "session/GraphState.hpp"
#include "session/HarmonicState.hpp"
#include "session/LoggerState.hpp"
#include "session/RecorderState.hpp"

namespace qelt {

struct Session {
  MeterState Meter;
  LiveReading Live;
  ExchangeGuard Guard;
  LoggerState Logger;
  RecorderState Recorder;
  GraphState Graph;
  HarmonicState Harmonic;
  CosTableArray CosTable{};  // filled when the main window loads
};

}  // namespace qelt
