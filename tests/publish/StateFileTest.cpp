#include <gtest/gtest.h>

#include <filesystem>

#include "ResultCheck.hpp"
#include "TempDir.hpp"
#include "publish/EnergyTotals.hpp"
#include "publish/Spool.hpp"
#include "publish/StateFile.hpp"

namespace qelt {
namespace {

using test::Succeeded;
using test::TempDir;
namespace fs = std::filesystem;

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& item : fs::directory_iterator(folder)) names.push_back(item.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(StateFile, ReplacesTheFileWholeAndLeavesNothingBeside) {
  TempDir dir;
  const std::string path = dir.File("mark");
  ASSERT_TRUE(Succeeded(WriteStateFile(path, "41\n")));
  ASSERT_TRUE(Succeeded(WriteStateFile(path, "42\n")));
  EXPECT_EQ(test::ReadFile(path), "42\n");
  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"mark"}));
  ASSERT_TRUE(Succeeded(WriteStateFile(path, "43\n", false)));
  EXPECT_EQ(test::ReadFile(path), "43\n");
}

TEST(StateFile, AFailureNamesTheFileAndTheSystemsReasonAndLeavesNoTemporaryFile) {
  TempDir dir;
  const Result<> noFolder = WriteStateFile(dir.File("none/mark"), "1\n");
  ASSERT_FALSE(noFolder);
  EXPECT_EQ(noFolder.Reason(), "cannot write " + dir.File("none/mark") + ": No such file or directory");

  // A folder where the file should be: the rename fails, the folder stays.
  fs::create_directories(dir.Path() / "mark" / "inside");
  const Result<> over = WriteStateFile(dir.File("mark"), "1\n");
  ASSERT_FALSE(over);
  EXPECT_EQ(over.Reason(), "cannot write " + dir.File("mark") + ": Is a directory");
  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"mark"}));
}

TEST(StateFile, TheMarkAndTheEnergyTotalsGoThroughIt) {
  TempDir dir;
  fs::create_directories(dir.Path() / "energy.json" / "x");
  EXPECT_FALSE(SaveEnergyState(dir.Path().string(), EnergyTotals{}));
  Spool spool;
  ASSERT_TRUE(Succeeded(spool.Open(dir.Path().string(), 1 << 20)));
  ASSERT_TRUE(Succeeded(spool.Append("one")));
  spool.Acknowledge(1);
  fs::create_directories(dir.Path() / "acked" / "x");
  EXPECT_FALSE(spool.SaveMark());
  // Neither left a half-made file behind.
  for (const std::string& name : Names(dir.Path())) EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
}

}  // namespace
}  // namespace qelt
