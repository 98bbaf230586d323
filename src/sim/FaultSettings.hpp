#pragma once
// Ways the simulated instrument can misbehave, for tests of the program's
// failure handling. Rates are probabilities from 0 to 1, drawn from the
// instrument's seeded generator.
namespace qelt {

struct FaultSettings {
  bool Silent = false;     // no reply to anything, nothing is done (as if unplugged)
  long SilentAfter = -1;   // after this many commands, silent for good; -1 never
  int BadEcho = 0;         // the next this many "w" are answered with "?" instead of "w"
  double Noise = 0.0;      // share of sent bytes that arrive corrupted
  double DropFrame = 0.0;  // share of live frames sent with a wrong end mark or missing bytes
};

}  // namespace qelt
