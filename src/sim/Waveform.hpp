#pragma once
// Raw waveform replies: one stretch of a distorted signal (fundamental with
// 3rd, 5th and 7th harmonics, a different mix for each signal) sampled at 64
// points per cycle on a 50 Hz line and 54 on a 60 Hz line, as 81 signed
// 24-bit samples, most significant byte first.
#include <cstdint>
#include <string>
#include <vector>

#include "sim/LoadModel.hpp"
#include "sim/SimRandom.hpp"

namespace qelt {

inline constexpr int WaveSampleCount = 81;
// Instrument units: counts per volt and per ampere (a peak beyond
// 8 388 607 counts clips, as a saturated converter would).
inline constexpr double CountsPerVolt = 10000.0;
inline constexpr double CountsPerAmpere = 10000.0;

// 64 for a line near 50 Hz, 54 for one near 60 Hz.
int SamplesPerCycle(double nominalHz);

// Signal 0..5 = "a".."f": phase 1, 2, 3 voltage, then phase 1, 2, 3 current.
// The stretch starts at the zero crossing of phase 1's voltage; a phase the
// wiring does not use is 0. noise adds up to that many counts at random.
std::vector<std::int32_t> WaveformSamples(int signal, const LoadSample& load, double nominalHz, SimRandom& rng,
                                          double noiseCounts = 2.0);

// The 243-byte reply for the samples.
std::string PackSamples(const std::vector<std::int32_t>& samples);

}  // namespace qelt
