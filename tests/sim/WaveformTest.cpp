// Waveform replies: size, sample coding, samples per cycle and harmonic content.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "SimTestSupport.hpp"
#include "link/Commands.hpp"
#include "sim/Waveform.hpp"

namespace qelt::test {
namespace {

std::vector<double> Decode(const std::string& reply) {
  std::vector<double> out;
  for (std::size_t i = 0; i + 2 < reply.size(); i += 3) {
    long v = Byte(reply, i) * 65536L + Byte(reply, i + 1) * 256L + Byte(reply, i + 2);
    if (Byte(reply, i) >= 128) v -= 16777216L;
    out.push_back(static_cast<double>(v));
  }
  return out;
}

// Magnitude of order h over the first n samples, as the program sums it.
double Order(const std::vector<double>& s, int n, int h) {
  std::complex<double> sum = 0;
  for (int k = 0; k < n; ++k) sum += s[static_cast<std::size_t>(k)] * std::polar(1.0, -2.0 * M_PI * h * k / n);
  return std::abs(sum);
}

TEST(Waveform, EveryRequestGets243BytesOfOneCyclePerHz) {
  for (double hz : {50.0, 60.0}) {
    InstrumentSettings s;
    s.Load.Hz = hz;
    s.Load.Drift = false;
    SimBench sim(s);
    const int perCycle = hz == 50.0 ? 64 : 54;
    for (char letter = 'a'; letter <= 'f'; ++letter) {
      std::string reply = sim.Exchange(std::string(1, letter), cmd::WaveReplySize + 1, 1.0);
      ASSERT_EQ(reply.size(), cmd::WaveReplySize) << letter;
      std::vector<double> samples = Decode(reply);
      ASSERT_EQ(samples.size(), 81u);
      // One cycle later the signal repeats (within the noise of a few counts).
      for (int k = 0; k + perCycle < 81; ++k)
        EXPECT_NEAR(samples[static_cast<std::size_t>(k + perCycle)], samples[static_cast<std::size_t>(k)], 5.0);
      // Distorted: 3rd, 5th and 7th present, even orders absent.
      const double h1 = Order(samples, perCycle, 1);
      EXPECT_GT(h1, 1e6);
      for (int h : {3, 5, 7}) EXPECT_GT(Order(samples, perCycle, h), 0.005 * h1) << letter << " order " << h;
      for (int h : {2, 4, 6}) EXPECT_LT(Order(samples, perCycle, h), 1e-4 * h1) << letter << " order " << h;
    }
  }
}

TEST(Waveform, SignalsDifferAndFollowTheLoad) {
  LoadSettings settings;
  settings.Drift = false;
  settings.NoiseFraction = 0;
  LoadModel model(settings);
  SimRandom rng(1);
  LoadSample load = model.Sample(0, rng);
  std::vector<std::vector<std::int32_t>> all;
  for (int signal = 0; signal < 6; ++signal) all.push_back(WaveformSamples(signal, load, 50.0, rng, 0.0));
  for (int a = 0; a < 6; ++a)
    for (int b = a + 1; b < 6; ++b) EXPECT_NE(all[static_cast<std::size_t>(a)], all[static_cast<std::size_t>(b)]);
  // The peak of voltage a is near V * sqrt(2) in counts.
  double peak = 0;
  for (auto v : all[0]) peak = std::max(peak, static_cast<double>(v));
  EXPECT_NEAR(peak / CountsPerVolt, 230.0 * std::sqrt(2.0), 20.0);

  // A phase the wiring does not use is flat.
  settings.WiringCode = Wiring1P2W;
  load = LoadModel(settings).Sample(0, rng);
  EXPECT_EQ(WaveformSamples(1, load, 50.0, rng), std::vector<std::int32_t>(81, 0));
  // Samples are signed 24-bit, most significant byte first.
  EXPECT_EQ(PackSamples({8388607, -8388608, -1, 256}),
            std::string("\x7f\xff\xff\x80\x00\x00\xff\xff\xff\x00\x01\x00", 12));
  EXPECT_EQ(SamplesPerCycle(50.0), 64);
  EXPECT_EQ(SamplesPerCycle(60.0), 54);
}

}  // namespace
}  // namespace qelt::test
