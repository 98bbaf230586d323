#pragma once
// Scenario files for the simulator: a small JSON object whose keys override
// the instrument's settings. Every key is optional; an unknown key, a wrong
// type or a value out of range is an error, so a typo never passes unseen.
//
// {
//   "wiring": "3P4W",                 // "1P2W" | "1P3W" | "3P3W2M" | "3P4W"
//   "hz": 50,                         // 50 | 60: line frequency and samples per cycle (64 | 54)
//   "phases": [                       // 1 to 3 objects, phase 1 first; keys as below, all optional
//     {"v": 230.0,                    //   volts rms, 0..2000
//      "i": 12.5,                     //   amperes rms, 0..2000
//      "angle": 25.0,                 //   degrees the current lags (negative: leads), -180..180
//      "reverse": false}              //   power flows back to the line (negative kW)
//   ],
//   "negative": false,                // every phase reversed (negative kW)
//   "over": ["V1", "I4"],             // inputs shown over range: V1 I1 V2 I2 V3 I3 I4
//   "drift": true,                    // slow drift of V, I, angle and Hz
//   "readingNoise": 0.001,            // relative noise of V and I per reading, 0..0.1
//   "supply": [                       // disturbances, seconds after the start (a logger set: its first record)
//     {"kind": "dip",                 //   "dip" | "swell" | "interruption"
//      "at": 30, "seconds": 4,        //   when and how long, 0..1e9 and above 0
//      "level": 0.6,                  //   the voltage as a share of its own: dip 0..0.9 (0.6), swell
//                                     //   1.1..2 (1.15), interruption 0..0.05 (0)
//      "phases": [1]}                 //   the phases it touches (all three)
//   ],
//   "voltageDrift": -0.01,            // slow change of every voltage, share per hour, -0.5..0.5
//   "logger": "small",                // "empty" | "small" | "large" | "full"
//   "clock": "2011-07-29 09:00:00",   // the instrument's clock at start
//   "seed": 1,                        // seed of noise, drift and faults
//   "fast": false,                    // no 19 200-baud pacing
//   "faults": {
//     "silent": false,                // never answer
//     "silentAfter": -1,              // fall silent after this many commands; -1 never
//     "badEcho": 0,                   // answer the next N "w" with "?"
//     "noise": 0.0,                   // share of corrupted bytes, 0..1
//     "dropFrame": 0.0                // share of damaged live frames, 0..1
//   }
// }
#include <string>
#include <string_view>

#include "platform/Host.hpp"
#include "sim/Instrument.hpp"

namespace qelt {

// Applies a scenario text to settings. On error returns false with a message
// naming the key; settings may then be partly changed.
bool ApplyScenario(std::string_view json, InstrumentSettings& settings, std::string& error);
// Reads the file and applies it; a file that cannot be read is an error too.
bool LoadScenarioFile(const std::string& path, InstrumentSettings& settings, std::string& error);

// "2011-07-29 09:00:00" (also with a "T" between date and time).
bool ParseClockText(std::string_view text, DateTime& out);

}  // namespace qelt
