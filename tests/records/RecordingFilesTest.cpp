#include <gtest/gtest.h>

#include "TempDir.hpp"
#include "records/RecordingFiles.hpp"

namespace qelt {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(RecordingFiles, TheFileThenItsPartsUntilOneIsMissing) {
  TempDir dir;
  WriteFile(dir.File("run"), "h\r\n");
  WriteFile(dir.File("run-1"), "h\r\n");
  WriteFile(dir.File("run-2"), "h\r\n");
  WriteFile(dir.File("run-4"), "h\r\n");
  const auto files = RecordingFiles(dir.File("run"));
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[1], dir.File("run-1"));
  EXPECT_EQ(files[2], dir.File("run-2"));
  EXPECT_EQ(RecordingFiles(dir.File("run"), true).size(), 1u);
  // A folder of a part's name is no part.
  std::filesystem::create_directory(dir.File("x-1.mes"));
  EXPECT_EQ(RecordingFiles(dir.File("x.mes")).size(), 1u);
}

}  // namespace
}  // namespace qelt
