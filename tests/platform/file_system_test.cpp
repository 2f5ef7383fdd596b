#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace platform {
namespace {

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

TEST(FileSystem, ExecutableDirectoryIsWhereTheTestProgramLies) {
  const std::string dir = ExecutableDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_EQ(dir, std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/");
}

TEST(FileSystem, AppendToFileCreatesThenAppends) {
  TempDir dir;
  const std::string path = dir.File("20240309.LOG");
  EXPECT_FALSE(FileExists(path));
  EXPECT_TRUE(AppendToFile(path, "first\r\n"));
  EXPECT_TRUE(AppendToFile(path, std::string("se\0cond\r\n", 9)));
  EXPECT_TRUE(AppendToFile(path, ""));
  EXPECT_EQ(ReadFile(path), std::string("first\r\nse\0cond\r\n", 16));
  EXPECT_TRUE(FileExists(path));
}

TEST(FileSystem, AppendToFileReportsFailureWithoutThrowing) {
  TempDir dir;
  EXPECT_FALSE(AppendToFile(dir.File("missing/x.LOG"), "line"));
  EXPECT_FALSE(AppendToFile(dir.Path(), "line"));  // a directory
}

TEST(FileSystem, ReadWholeFileReadsEveryByteOrFails) {
  TempDir dir;
  const std::string path = dir.File("data.bin");
  std::string big(200000, 'x');
  big[12345] = '\0';
  WriteFile(path, big);
  std::string content = "old";
  ASSERT_TRUE(ReadWholeFile(path, content));
  EXPECT_EQ(content, big);

  content = "kept";
  EXPECT_FALSE(ReadWholeFile(dir.File("missing"), content));
  EXPECT_EQ(content, "kept");
  EXPECT_FALSE(FileExists(dir.File("missing")));
  EXPECT_FALSE(FileExists(dir.Path()));  // a directory is no file
}

TEST(FileSystem, ReplaceFileContentCreatesOrReplacesKeepingTheMode) {
  TempDir dir;
  const std::string path = dir.File("Option.ini");
  ASSERT_TRUE(ReplaceFileContent(path, "new file"));
  EXPECT_EQ(ReadFile(path), "new file");

  ASSERT_EQ(chmod(path.c_str(), 0620), 0);
  ASSERT_TRUE(ReplaceFileContent(path, "second"));
  EXPECT_EQ(ReadFile(path), "second");
  EXPECT_EQ(ModeOf(path), 0620u);
  // No temporary file is left beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(FileSystem, ReplaceFileContentWritesThroughALink) {
  TempDir dir;
  const std::string target = dir.File("real.ini");
  const std::string link = dir.File("Option.ini");
  WriteFile(target, "old");
  std::filesystem::create_symlink(target, link);
  ASSERT_TRUE(ReplaceFileContent(link, "new"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(target), "new");
}

TEST(FileSystem, ReplaceFileContentRefusesAReadOnlyFileEvenForRoot) {
  TempDir dir;
  const std::string path = dir.File("Option.ini");
  WriteFile(path, "locked");
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  EXPECT_FALSE(ReplaceFileContent(path, "changed"));
  EXPECT_EQ(ReadFile(path), "locked");
  EXPECT_FALSE(ReplaceFileContent(dir.File("missing/Option.ini"), "x"));
}

}  // namespace
}  // namespace platform
