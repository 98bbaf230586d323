#include <gtest/gtest.h>

#include <filesystem>

#include "ResultCheck.hpp"
#include "TempDir.hpp"
#include "publish/Spool.hpp"

namespace qelt {
namespace {

using test::Succeeded;
using test::TempDir;
namespace fs = std::filesystem;

std::vector<std::uint64_t> Seqs(const std::vector<SpoolEntry>& entries) {
  std::vector<std::uint64_t> seqs;
  for (const SpoolEntry& e : entries) seqs.push_back(e.Seq);
  return seqs;
}

void AppendN(Spool& spool, int n) {
  for (int i = 0; i < n; ++i) ASSERT_TRUE(Succeeded(spool.Append("reading " + std::to_string(spool.NextSeq()))));
}

std::vector<fs::path> SegmentFiles(const TempDir& dir) {
  std::vector<fs::path> files;
  for (const auto& item : fs::directory_iterator(dir.Path() / "s"))
    if (item.path().extension() == ".qsp") files.push_back(item.path());
  std::sort(files.begin(), files.end());
  return files;
}

// A spool "s" of n entries, closed again: its one segment file.
fs::path SpoolFileOf(const TempDir& dir, int n) {
  {
    Spool spool;
    EXPECT_TRUE(Succeeded(spool.Open(dir.File("s"), 1 << 20)));
    AppendN(spool, n);
  }
  return SegmentFiles(dir).at(0);
}

TEST(Spool, NewSpoolNumbersFromOneAndReadsInOrder) {
  TempDir dir;
  Spool spool;
  ASSERT_TRUE(Succeeded(spool.Open(dir.File("s"), 1 << 20)));
  EXPECT_EQ(spool.NextSeq(), 1u);
  AppendN(spool, 5);
  std::vector<SpoolEntry> all = spool.Read(1, 100);
  ASSERT_EQ(Seqs(all), (std::vector<std::uint64_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(all[2].Payload, "reading 3");
  // Reading on from where the last read stopped, and a window.
  EXPECT_EQ(Seqs(spool.Read(2, 2)), (std::vector<std::uint64_t>{2, 3}));
  EXPECT_EQ(Seqs(spool.Read(4, 10)), (std::vector<std::uint64_t>{4, 5}));
  EXPECT_TRUE(spool.Read(6, 10).empty());
}

TEST(Spool, AcknowledgedEntriesLeaveAndTheNumberingGoesOnAfterReopen) {
  TempDir dir;
  {
    Spool spool;
    ASSERT_TRUE(Succeeded(spool.Open(dir.File("s"), 1 << 20)));
    AppendN(spool, 6);
    // Out of order: 2 alone does not move the mark past 1.
    spool.Acknowledge(2);
    EXPECT_EQ(spool.FirstPending(), 1u);
    EXPECT_EQ(spool.Pending(), 5u);
    spool.Acknowledge(1);
    spool.Acknowledge(3);
    EXPECT_EQ(spool.FirstPending(), 4u);
    spool.Acknowledge(5);
    EXPECT_EQ(Seqs(spool.Read(1, 10)), (std::vector<std::uint64_t>{4, 6}));
    ASSERT_TRUE(Succeeded(spool.SaveMark()));
  }
  Spool again;
  ASSERT_TRUE(Succeeded(again.Open(dir.File("s"), 1 << 20)));
  // 5 was acknowledged after the mark's gap at 4: it is sent again (a
  // repeat, never a loss).
  EXPECT_EQ(Seqs(again.Read(1, 10)), (std::vector<std::uint64_t>{4, 5, 6}));
  EXPECT_EQ(again.NextSeq(), 7u);
}

TEST(Spool, EverythingAcknowledgedStillKeepsTheNumbering) {
  TempDir dir;
  {
    Spool spool;
    spool.SetSync(false);
    ASSERT_TRUE(Succeeded(spool.Open(dir.File("s"), 64 * 1024)));
    AppendN(spool, 2000);  // several segments
    for (std::uint64_t s = 1; s <= 2000; ++s) spool.Acknowledge(s);
    ASSERT_TRUE(Succeeded(spool.SaveMark()));
    EXPECT_EQ(spool.Pending(), 0u);
    EXPECT_LE(SegmentFiles(dir).size(), 1u);
  }
  // A lost mark file costs no seq: the newest segment is kept.
  fs::remove(dir.Path() / "s" / "acked");
  Spool again;
  ASSERT_TRUE(Succeeded(again.Open(dir.File("s"), 64 * 1024)));
  EXPECT_EQ(again.NextSeq(), 2001u);
}

TEST(Spool, UnacknowledgedEntriesSurviveAKill) {
  TempDir dir;
  {
    Spool spool;
    ASSERT_TRUE(Succeeded(spool.Open(dir.File("s"), 1 << 20)));
    AppendN(spool, 10);
    for (std::uint64_t s = 1; s <= 4; ++s) spool.Acknowledge(s);
    ASSERT_TRUE(Succeeded(spool.SaveMark()));
    spool.Acknowledge(5);  // never saved: as if killed here
  }
  Spool again;
  ASSERT_TRUE(Succeeded(again.Open(dir.File("s"), 1 << 20)));
  EXPECT_EQ(again.FirstPending(), 5u);
  EXPECT_EQ(again.Pending(), 6u);
  AppendN(again, 1);
  EXPECT_EQ(Seqs(again.Read(1, 100)), (std::vector<std::uint64_t>{5, 6, 7, 8, 9, 10, 11}));
}

TEST(Spool, ACutFileIsReadToItsLastWholeEntryAndAppendsGoOnInANewFile) {
  TempDir dir;
  const fs::path file = SpoolFileOf(dir, 3);
  // Every length of cut: never a crash, never a part entry.
  const std::string whole = test::ReadFile(file.string());
  for (std::size_t cut = 0; cut < whole.size(); ++cut) {
    test::WriteFile(file.string(), whole.substr(0, cut));
    Spool spool;
    ASSERT_TRUE(Succeeded(spool.Open(dir.File("s"), 1 << 20)));
    std::vector<SpoolEntry> got = spool.Read(1, 10);
    const std::size_t entry = whole.size() / 3;
    ASSERT_EQ(got.size(), cut / entry) << "cut at " << cut;
    for (const SpoolEntry& e : got) EXPECT_EQ(e.Payload, "reading " + std::to_string(e.Seq));
    // The part after the last whole entry may be what is left of entries
    // written whole once (each at least a 16-byte header): never reused.
    EXPECT_EQ(spool.NextSeq(), cut / entry + (cut % entry + 15) / 16 + 1);
    for (const fs::path& f : SegmentFiles(dir))
      if (f != file) fs::remove(f);
  }
  test::WriteFile(file.string(), whole.substr(0, whole.size() - 1));
  Spool spool;
  ASSERT_TRUE(Succeeded(spool.Open(dir.File("s"), 1 << 20)));
  EXPECT_EQ(spool.DamagedFiles(), 1);
  AppendN(spool, 2);
  // 24 bytes after entry 2 may have held two entries (an empty payload is 16).
  EXPECT_EQ(Seqs(spool.Read(1, 10)), (std::vector<std::uint64_t>{1, 2, 5, 6}));
  EXPECT_EQ(SegmentFiles(dir).size(), 2u);
  // The damaged part stays as it was.
  EXPECT_EQ(test::ReadFile(file.string()), whole.substr(0, whole.size() - 1));
}

TEST(Spool, ASegmentDamagedAtItsFirstByteNeverHasItsSeqsGivenAgain) {
  TempDir dir;
  const fs::path file = SpoolFileOf(dir, 3);
  std::string bytes = test::ReadFile(file.string());
  bytes[0] = static_cast<char>(bytes[0] ^ 0xff);  // the first length field no longer fits the file
  test::WriteFile(file.string(), bytes);
  std::uint64_t next = 0;
  {
    Spool spool;
    ASSERT_TRUE(Succeeded(spool.Open(dir.File("s"), 1 << 20)));
    EXPECT_EQ(spool.DamagedFiles(), 1);
    EXPECT_TRUE(spool.Read(1, 10).empty());
    // Seqs 1..3 may have reached a consumer, which would drop them as repeats.
    EXPECT_GT(spool.NextSeq(), 3u);
    next = spool.NextSeq();
    AppendN(spool, 2);
    EXPECT_EQ(Seqs(spool.Read(1, 10)), (std::vector<std::uint64_t>{next, next + 1}));
  }
  // And again after the next restart, with the damaged file still beside.
  Spool spool;
  ASSERT_TRUE(Succeeded(spool.Open(dir.File("s"), 1 << 20)));
  EXPECT_EQ(spool.NextSeq(), next + 2);
  EXPECT_EQ(test::ReadFile(file.string()), bytes);
}

TEST(Spool, AFlippedByteEndsTheFileThere) {
  TempDir dir;
  const fs::path file = SpoolFileOf(dir, 4);
  std::string bytes = test::ReadFile(file.string());
  bytes[bytes.size() / 2] ^= 0x20;  // inside entry 3 (entries are of equal size)
  test::WriteFile(file.string(), bytes);
  Spool spool;
  ASSERT_TRUE(Succeeded(spool.Open(dir.File("s"), 1 << 20)));
  EXPECT_EQ(Seqs(spool.Read(1, 10)), (std::vector<std::uint64_t>{1, 2}));
  EXPECT_EQ(spool.DamagedFiles(), 1);
}

TEST(Spool, OverTheLimitTheOldestAreDroppedAndCounted) {
  TempDir dir;
  Spool spool;
  const std::uint64_t limit = 64 * 1024;
  spool.SetSync(false);
  ASSERT_TRUE(Succeeded(spool.Open(dir.File("s"), limit)));
  spool.Acknowledge(1);
  AppendN(spool, 5000);  // about 130 KB of entries
  EXPECT_LE(spool.Bytes(), limit);
  EXPECT_GT(spool.Dropped(), 0u);
  std::vector<SpoolEntry> left = spool.Read(1, 10000);
  ASSERT_FALSE(left.empty());
  EXPECT_EQ(left.back().Seq, 5000u);
  EXPECT_EQ(left.size() + spool.Dropped(), 5000u);
  EXPECT_EQ(spool.Pending(), left.size());
  // The survivors are the newest, without holes.
  for (std::size_t i = 1; i < left.size(); ++i) EXPECT_EQ(left[i].Seq, left[i - 1].Seq + 1);
}

TEST(Spool, DroppedEntriesDoNotCountThoseAlreadyAcknowledged) {
  TempDir dir;
  Spool spool;
  spool.SetSync(false);
  ASSERT_TRUE(Succeeded(spool.Open(dir.File("s"), 64 * 1024)));
  AppendN(spool, 100);
  for (std::uint64_t s = 1; s <= 100; ++s) spool.Acknowledge(s);
  AppendN(spool, 5000);
  const std::uint64_t left = spool.Read(1, 10000).size();
  EXPECT_EQ(left + spool.Dropped(), 5000u);
}

TEST(Spool, ASecondPublisherOnTheSameFolderIsRefused) {
  TempDir dir;
  Spool first, second;
  ASSERT_TRUE(Succeeded(first.Open(dir.File("s"), 1 << 20)));
  const Result<> refused = second.Open(dir.File("s"), 1 << 20);
  EXPECT_FALSE(refused);
  EXPECT_NE(refused.Reason().find("in use"), std::string::npos);
}

TEST(Spool, AFolderThatCannotBeMadeIsAnError) {
  TempDir dir;
  test::WriteFile(dir.File("file"), "x");
  Spool spool;
  const Result<> refused = spool.Open(dir.File("file") + "/s", 1 << 20);
  EXPECT_FALSE(refused);
  EXPECT_FALSE(refused.Reason().empty());
}

TEST(Spool, ForeignFilesAndBadMarksAreIgnored) {
  TempDir dir;
  fs::create_directories(dir.Path() / "s");
  test::WriteFile(dir.File("s/acked"), "not a number");
  test::WriteFile(dir.File("s/notes.txt"), "hello");
  test::WriteFile(dir.File("s/00000000000000000007.qsp"), std::string(100, '\xff'));
  Spool spool;
  ASSERT_TRUE(Succeeded(spool.Open(dir.File("s"), 1 << 20)));
  // Nothing of 7 can be read, but its 100 bytes may have held 7..13, and
  // those may have been sent: 14 comes next.
  EXPECT_EQ(spool.NextSeq(), 14u);
  EXPECT_EQ(spool.DamagedFiles(), 1);
  EXPECT_TRUE(spool.Read(1, 10).empty());
  AppendN(spool, 1);
  EXPECT_EQ(Seqs(spool.Read(1, 10)), (std::vector<std::uint64_t>{14}));
}

TEST(Spool, Crc32IsTheUsualOne) { EXPECT_EQ(Crc32("123456789"), 0xCBF43926u); }

}  // namespace
}  // namespace qelt
