// The logger memory through the instrument's commands: directory, set entry,
// blocks, erase, presets and new sets; records decode to sensible values.
#include <gtest/gtest.h>

#include "SimTestSupport.hpp"
#include "link/Commands.hpp"
#include "link/Decoding.hpp"
#include "sim/CivilTime.hpp"
#include "sim/LoggerMemory.hpp"
#include "text/NumberText.hpp"

namespace qelt::test {
namespace {

InstrumentSettings WithLogger(const std::string& preset, bool paced = true) {
  InstrumentSettings s;
  s.Logger = preset;
  s.Paced = paced;
  return s;
}

// Downloads set s as the program does: "K", 0.2 s, s, the entry, then "k"
// per block. Returns the record bytes; sizes receives each block's size.
std::string Download(SimBench& sim, int set, std::string& entry, std::vector<std::size_t>& sizes) {
  sim.port.Write("K");
  sim.Wait(0.2);
  entry = sim.Exchange(std::string(1, static_cast<char>(set)), 10);
  const std::size_t total = static_cast<std::size_t>(Byte(entry, 0) * 256 + Byte(entry, 1)) * 24;
  std::string data;
  while (data.size() < total) {
    std::string block = sim.Exchange("k", std::min(cmd::BlockSize, total - data.size()));
    if (block.empty()) break;
    sizes.push_back(block.size());
    data += block;
  }
  return data;
}

unsigned Raw(const std::string& record, std::size_t at) { return Byte(record, at) * 256 + Byte(record, at + 1); }

TEST(Logger, DirectoryAndEntriesOfTheSmallMemory) {
  SimBench sim(WithLogger("small"));
  std::string dir = sim.Exchange("T", 4);
  ASSERT_GE(dir.size(), 1u);
  const std::size_t n = Byte(dir, 0);
  ASSERT_EQ(n, 3u);
  dir += sim.Collect(4 + 10 * n - dir.size());
  ASSERT_EQ(dir.size(), 34u);
  EXPECT_EQ(sim.Wait(1.0), "");  // nothing beyond the directory

  const unsigned used = Byte(dir, 1) * 65536 + Byte(dir, 2) * 256 + Byte(dir, 3);
  EXPECT_EQ(used, (40u + 11u + 32u) * 24u);
  // Set 1: 40 records, 2011/07/29 09:05:00, 3P4W, 60 s.
  EXPECT_EQ(dir.substr(4, 10), std::string("\x00\x28\x11\x07\x29\x09\x05\x00\x08\x3c", 10));
  // Set 2 starts just before midnight; set 3 is 3P3W2M every 10 s.
  EXPECT_EQ(dir.substr(14, 10), std::string("\x00\x0b\x11\x07\x29\x23\x59\x30\x02\x3c", 10));
  EXPECT_EQ(Byte(dir, 24 + 8), 4u);
  EXPECT_EQ(Byte(dir, 24 + 9), 10u);

  for (int s = 1; s <= 3; ++s) {
    sim.port.Write("K");
    sim.Wait(0.2);
    std::string entry = sim.Exchange(std::string(1, static_cast<char>(s)), 10);
    EXPECT_EQ(entry, dir.substr(static_cast<std::size_t>(10 * s - 6), 10)) << s;
    EXPECT_EQ(sim.Wait(0.5), "");  // exactly 10 bytes
  }
  // A set the memory does not hold: an entry without records, not silence.
  sim.port.Write("K");
  sim.Wait(0.2);
  EXPECT_EQ(sim.Exchange("\x07", 10), std::string(10, '\0'));
  EXPECT_EQ(sim.Exchange("k", 1, 0.5), "");
}

TEST(Logger, BlocksOf256BytesAndAShortLastOne) {
  SimBench sim(WithLogger("small"));
  std::string entry;
  std::vector<std::size_t> sizes;
  std::string data = Download(sim, 1, entry, sizes);  // 40 records, 960 bytes
  EXPECT_EQ(sizes, (std::vector<std::size_t>{256, 256, 256, 192}));
  EXPECT_EQ(data, sim.instrument.Logger().Sets()[0].Records);
  EXPECT_EQ(sim.Exchange("k", 1, 0.5), "");  // nothing past the end

  sizes.clear();
  data = Download(sim, 2, entry, sizes);  // 11 records: one block and 8 bytes
  EXPECT_EQ(sizes, (std::vector<std::size_t>{256, 8}));
  sizes.clear();
  data = Download(sim, 3, entry, sizes);  // 32 records: exactly three blocks
  EXPECT_EQ(sizes, (std::vector<std::size_t>{256, 256, 256}));
  EXPECT_EQ(sim.Exchange("k", 1, 0.5), "");
  // Selecting the set again starts from its first block.
  std::string again = Download(sim, 3, entry, sizes);
  EXPECT_EQ(again, data);
}

TEST(Logger, RecordsDecodeToSensibleValues) {
  SimBench sim(WithLogger("small", false));
  const auto& sets = sim.instrument.Logger().Sets();
  ASSERT_EQ(sets.size(), 3u);
  for (std::size_t s = 0; s < sets.size(); ++s) {
    const LoggerSet& set = sets[s];
    for (int r = 0; r < set.RecordCount(); ++r) {
      std::string rec = set.Records.substr(static_cast<std::size_t>(r) * 24, 24);
      MeterState state;
      state.LoggerDecoding = true;
      UnpackFlagsA(state, static_cast<std::uint8_t>(rec[0]));
      UnpackFlagsB(state, static_cast<std::uint8_t>(rec[1]));
      EXPECT_EQ(state.FlagB7, s == 2 && r == 5) << "set " << s + 1 << " record " << r + 1;
      EXPECT_NEAR(NumericPrefix(DecodeValue(state, rec[2], rec[3], false, 1, false)), 50.0, 0.1);
      for (int phase = 0; phase < 3; ++phase) {
        const std::size_t at = 4 + static_cast<std::size_t>(phase) * 6;
        double v = Raw(rec, at) / 10.0, i = Raw(rec, at + 2) / 10.0, kw = Raw(rec, at + 4) / 10.0;
        if (LoadModel::PhaseUsed(set.WiringCode, phase)) {
          EXPECT_NEAR(v, 230, 10);
          EXPECT_NEAR(i, 12.5, 2.0);
          EXPECT_LE(kw, v * i / 1000 + 0.1);  // active power never exceeds apparent
          EXPECT_GT(kw, 0.5 * v * i / 1000);  // power factors near 0.9
        } else {
          EXPECT_EQ(v + i + kw, 0.0) << "unused phase " << phase + 1;
        }
      }
    }
  }
}

TEST(Logger, LargeAndFullMemories) {
  SimBench sim(WithLogger("large", false));
  std::string dir = sim.Exchange("T", 24);
  ASSERT_EQ(dir.size(), 24u);
  EXPECT_EQ(Byte(dir, 0), 2u);
  EXPECT_EQ(Byte(dir, 1) * 65536u + Byte(dir, 2) * 256u + Byte(dir, 3), 12020u * 24u);
  EXPECT_EQ(Byte(dir, 4) * 256u + Byte(dir, 5), 12000u);
  std::string entry;
  std::vector<std::size_t> sizes;
  std::string data = Download(sim, 1, entry, sizes);
  EXPECT_EQ(data.size(), 12000u * 24u);
  EXPECT_EQ(sizes.size(), 1125u);  // 288 000 bytes in whole blocks

  LoggerMemory full;
  SimRandom rng(3);
  ASSERT_TRUE(full.LoadPreset("full", LoadSettings{}, rng));
  EXPECT_EQ(full.Sets().at(0).RecordCount(), 21845);
  EXPECT_LE(full.BytesInUse(), LoggerMemory::Capacity);
  EXPECT_FALSE(full.LogSet(LoadSettings{}, {2011, 1, 1, 0, 0, 0}, Wiring3P4W, 1, 1, rng));  // no room left
  EXPECT_FALSE(full.LoadPreset("huge", LoadSettings{}, rng));
  EXPECT_EQ(full.Sets().size(), 1u);
}

TEST(Logger, EraseEmptiesTheMemory) {
  SimBench sim(WithLogger("small"));
  sim.port.Write("G");
  EXPECT_EQ(sim.Wait(1.0), "");  // no reply
  EXPECT_EQ(sim.Exchange("T", 4), std::string(4, '\0'));
  // A set selected before the erase is gone too.
  sim.port.Write("K");
  sim.Wait(0.2);
  EXPECT_EQ(sim.Exchange("\x01", 10), std::string(10, '\0'));
  EXPECT_EQ(sim.Exchange("k", 1, 0.5), "");

  SimBench empty(WithLogger("empty"));
  EXPECT_EQ(empty.Exchange("T", 4), std::string(4, '\0'));
}

TEST(Logger, NewSetsAreLoggedUpToTheMemoryLimits) {
  InstrumentSettings s = WithLogger("empty", false);
  s.Clock = DateTime{2011, 7, 29, 12, 0, 0};
  s.Load.WiringCode = Wiring1P2W;
  SimBench sim(s);
  ASSERT_TRUE(sim.instrument.LogSet(30, 10, 0.0));  // ended at 12:00:00, so it began at 11:55:00
  std::string dir = sim.Exchange("T", 14);
  EXPECT_EQ(dir, std::string("\x01\x00\x02\xd0\x00\x1e\x11\x07\x29\x11\x55\x00\x01\x0a", 14));

  for (int k = 2; k <= LoggerMemory::MaxSets; ++k) EXPECT_TRUE(sim.instrument.LogSet(1, 1, 0.0));
  EXPECT_FALSE(sim.instrument.LogSet(1, 1, 0.0));  // ten sets at most
  EXPECT_EQ(sim.instrument.Logger().Sets().size(), 10u);
  LoggerSet odd;
  odd.Records = std::string(25, '\0');
  LoggerMemory memory;
  EXPECT_FALSE(memory.AddSet(odd));  // not whole records
}

}  // namespace
}  // namespace qelt::test
