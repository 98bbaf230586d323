#include <gtest/gtest.h>

#include <filesystem>

#include "TempDir.hpp"
#include "publish/Spool.hpp"

namespace qelt {
namespace {

using test::TempDir;
namespace fs = std::filesystem;

std::vector<std::uint64_t> Seqs(const std::vector<SpoolEntry>& entries) {
  std::vector<std::uint64_t> seqs;
  for (const SpoolEntry& e : entries) seqs.push_back(e.Seq);
  return seqs;
}

void AppendN(Spool& spool, int n) {
  std::string error;
  for (int i = 0; i < n; ++i) ASSERT_TRUE(spool.Append("reading " + std::to_string(spool.NextSeq()), error)) << error;
}

std::vector<fs::path> SegmentFiles(const TempDir& dir) {
  std::vector<fs::path> files;
  for (const auto& item : fs::directory_iterator(dir.Path() / "s"))
    if (item.path().extension() == ".qsp") files.push_back(item.path());
  std::sort(files.begin(), files.end());
  return files;
}

TEST(Spool, NewSpoolNumbersFromOneAndReadsInOrder) {
  TempDir dir;
  Spool spool;
  std::string error;
  ASSERT_TRUE(spool.Open(dir.File("s"), 1 << 20, error)) << error;
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
  std::string error;
  {
    Spool spool;
    ASSERT_TRUE(spool.Open(dir.File("s"), 1 << 20, error));
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
    ASSERT_TRUE(spool.SaveMark(error)) << error;
  }
  Spool again;
  ASSERT_TRUE(again.Open(dir.File("s"), 1 << 20, error));
  // 5 was acknowledged after the mark's gap at 4: it is sent again (a
  // repeat, never a loss).
  EXPECT_EQ(Seqs(again.Read(1, 10)), (std::vector<std::uint64_t>{4, 5, 6}));
  EXPECT_EQ(again.NextSeq(), 7u);
}

TEST(Spool, EverythingAcknowledgedStillKeepsTheNumbering) {
  TempDir dir;
  std::string error;
  {
    Spool spool;
    spool.SetSync(false);
    ASSERT_TRUE(spool.Open(dir.File("s"), 64 * 1024, error));
    AppendN(spool, 2000);  // several segments
    for (std::uint64_t s = 1; s <= 2000; ++s) spool.Acknowledge(s);
    ASSERT_TRUE(spool.SaveMark(error));
    EXPECT_EQ(spool.Pending(), 0u);
    EXPECT_LE(SegmentFiles(dir).size(), 1u);
  }
  // A lost mark file costs no seq: the newest segment is kept.
  fs::remove(dir.Path() / "s" / "acked");
  Spool again;
  ASSERT_TRUE(again.Open(dir.File("s"), 64 * 1024, error));
  EXPECT_EQ(again.NextSeq(), 2001u);
}

TEST(Spool, UnacknowledgedEntriesSurviveAKill) {
  TempDir dir;
  std::string error;
  {
    Spool spool;
    ASSERT_TRUE(spool.Open(dir.File("s"), 1 << 20, error));
    AppendN(spool, 10);
    for (std::uint64_t s = 1; s <= 4; ++s) spool.Acknowledge(s);
    ASSERT_TRUE(spool.SaveMark(error));
    spool.Acknowledge(5);  // never saved: as if killed here
  }
  Spool again;
  ASSERT_TRUE(again.Open(dir.File("s"), 1 << 20, error));
  EXPECT_EQ(again.FirstPending(), 5u);
  EXPECT_EQ(again.Pending(), 6u);
  AppendN(again, 1);
  EXPECT_EQ(Seqs(again.Read(1, 100)), (std::vector<std::uint64_t>{5, 6, 7, 8, 9, 10, 11}));
}

TEST(Spool, ACutFileIsReadToItsLastWholeEntryAndAppendsGoOnInANewFile) {
  TempDir dir;
  std::string error;
  {
    Spool spool;
    ASSERT_TRUE(spool.Open(dir.File("s"), 1 << 20, error));
    AppendN(spool, 3);
  }
  const fs::path file = SegmentFiles(dir).at(0);
  // Every length of cut: never a crash, never a part entry.
  const std::string whole = test::ReadFile(file.string());
  for (std::size_t cut = 0; cut < whole.size(); ++cut) {
    test::WriteFile(file.string(), whole.substr(0, cut));
    Spool spool;
    ASSERT_TRUE(spool.Open(dir.File("s"), 1 << 20, error));
    std::vector<SpoolEntry> got = spool.Read(1, 10);
    const std::size_t entry = whole.size() / 3;
    ASSERT_EQ(got.size(), cut / entry) << "cut at " << cut;
    for (const SpoolEntry& e : got) EXPECT_EQ(e.Payload, "reading " + std::to_string(e.Seq));
    // A first entry cut short may have been written whole once: never reused.
    EXPECT_EQ(spool.NextSeq(), cut > 0 && cut < entry ? 2 : cut / entry + 1);
    for (const fs::path& f : SegmentFiles(dir))
      if (f != file) fs::remove(f);
  }
  test::WriteFile(file.string(), whole.substr(0, whole.size() - 1));
  Spool spool;
  ASSERT_TRUE(spool.Open(dir.File("s"), 1 << 20, error));
  EXPECT_EQ(spool.DamagedFiles(), 1);
  AppendN(spool, 2);
  EXPECT_EQ(Seqs(spool.Read(1, 10)), (std::vector<std::uint64_t>{1, 2, 3, 4}));
  EXPECT_EQ(SegmentFiles(dir).size(), 2u);
  // The damaged part stays as it was.
  EXPECT_EQ(test::ReadFile(file.string()), whole.substr(0, whole.size() - 1));
}

TEST(Spool, AFlippedByteEndsTheFileThere) {
  TempDir dir;
  std::string error;
  {
    Spool spool;
    ASSERT_TRUE(spool.Open(dir.File("s"), 1 << 20, error));
    AppendN(spool, 4);
  }
  const fs::path file = SegmentFiles(dir).at(0);
  std::string bytes = test::ReadFile(file.string());
  bytes[bytes.size() / 2] ^= 0x20;  // inside entry 3 (entries are of equal size)
  test::WriteFile(file.string(), bytes);
  Spool spool;
  ASSERT_TRUE(spool.Open(dir.File("s"), 1 << 20, error));
  EXPECT_EQ(Seqs(spool.Read(1, 10)), (std::vector<std::uint64_t>{1, 2}));
  EXPECT_EQ(spool.DamagedFiles(), 1);
}

TEST(Spool, OverTheLimitTheOldestAreDroppedAndCounted) {
  TempDir dir;
  Spool spool;
  std::string error;
  const std::uint64_t limit = 64 * 1024;
  spool.SetSync(false);
  ASSERT_TRUE(spool.Open(dir.File("s"), limit, error));
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
  std::string error;
  spool.SetSync(false);
  ASSERT_TRUE(spool.Open(dir.File("s"), 64 * 1024, error));
  AppendN(spool, 100);
  for (std::uint64_t s = 1; s <= 100; ++s) spool.Acknowledge(s);
  AppendN(spool, 5000);
  const std::uint64_t left = spool.Read(1, 10000).size();
  EXPECT_EQ(left + spool.Dropped(), 5000u);
}

TEST(Spool, ASecondPublisherOnTheSameFolderIsRefused) {
  TempDir dir;
  Spool first, second;
  std::string error;
  ASSERT_TRUE(first.Open(dir.File("s"), 1 << 20, error));
  EXPECT_FALSE(second.Open(dir.File("s"), 1 << 20, error));
  EXPECT_NE(error.find("in use"), std::string::npos);
}

TEST(Spool, AFolderThatCannotBeMadeIsAnError) {
  TempDir dir;
  test::WriteFile(dir.File("file"), "x");
  Spool spool;
  std::string error;
  EXPECT_FALSE(spool.Open(dir.File("file") + "/s", 1 << 20, error));
  EXPECT_FALSE(error.empty());
}

TEST(Spool, ForeignFilesAndBadMarksAreIgnored) {
  TempDir dir;
  fs::create_directories(dir.Path() / "s");
  test::WriteFile(dir.File("s/acked"), "not a number");
  test::WriteFile(dir.File("s/notes.txt"), "hello");
  test::WriteFile(dir.File("s/00000000000000000007.qsp"), std::string(100, '\xff'));
  Spool spool;
  std::string error;
  ASSERT_TRUE(spool.Open(dir.File("s"), 1 << 20, error));
  // Nothing of 7 can be read, but it may have been sent: 8 comes next.
  EXPECT_EQ(spool.NextSeq(), 8u);
  EXPECT_EQ(spool.DamagedFiles(), 1);
  EXPECT_TRUE(spool.Read(1, 10).empty());
  AppendN(spool, 1);
  EXPECT_EQ(Seqs(spool.Read(1, 10)), (std::vector<std::uint64_t>{8}));
}

TEST(Spool, Crc32IsTheUsualOne) { EXPECT_EQ(Crc32("123456789"), 0xCBF43926u); }

}  // namespace
}  // namespace qelt
