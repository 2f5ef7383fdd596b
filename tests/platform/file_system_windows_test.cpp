// The Windows file calls, checked with the Windows meanings of what the
// POSIX test checks through modes and links: the read-only attribute, file
// sharing, and paths that are UTF-8 in memory but UTF-16 at the system.
#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace platform {
namespace {

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

std::wstring Wide(const std::string& utf8) { return std::filesystem::u8path(utf8).wstring(); }

std::size_t EntriesIn(const std::string& dir) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir),
                                                std::filesystem::directory_iterator()));
}

TEST(FileSystem, ExecutableDirectoryIsWhereTheTestProgramLies) {
  const std::string dir = ExecutableDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '\\');
  EXPECT_TRUE(FileExists(dir + "platform_tests.exe")) << dir;
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

TEST(FileSystem, AppendToFileLetsReadersLookButNotAnotherWriter) {
  TempDir dir;
  const std::string path = dir.File("20240309.LOG");
  ASSERT_TRUE(AppendToFile(path, "a"));

  // A tester's viewer that holds the log open for reading does not stop it.
  HANDLE reader = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(AppendToFile(path, "b"));
  CloseHandle(reader);

  // A program that locked the file against everyone: a failure, not a hang.
  HANDLE locker = CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(locker, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(AppendToFile(path, "c"));
  CloseHandle(locker);
  EXPECT_EQ(ReadFile(path), "ab");
}

TEST(FileSystem, ReadWholeFileReadsEveryByteOrFails) {
  TempDir dir;
  const std::string path = dir.File("data.bin");
  std::string big(200000, 'x');
  big[12345] = '\0';
  big[150000] = '\x1A';  // Ctrl+Z ends nothing: the file is read as bytes
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

TEST(FileSystem, ReplaceFileContentCreatesOrReplacesKeepingHiddenMark) {
  TempDir dir;
  const std::string path = dir.File("Option.ini");
  ASSERT_TRUE(ReplaceFileContent(path, "new file"));
  EXPECT_EQ(ReadFile(path), "new file");

  ASSERT_TRUE(SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(ReplaceFileContent(path, "second\r\n"));
  EXPECT_EQ(ReadFile(path), "second\r\n");
  EXPECT_TRUE(GetFileAttributesW(Wide(path).c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);  // no temporary file is left beside it
}

TEST(FileSystem, ReplaceFileContentRefusesAReadOnlyFile) {
  TempDir dir;
  const std::string path = dir.File("Option.ini");
  WriteFile(path, "locked");
  ASSERT_TRUE(SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(ReplaceFileContent(path, "changed"));
  EXPECT_EQ(ReadFile(path), "locked");
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);
  EXPECT_FALSE(ReplaceFileContent(dir.File("missing/Option.ini"), "x"));
  EXPECT_FALSE(ReplaceFileContent(dir.Path(), "x"));  // a directory
  SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(FileSystem, PathsInUtf8ReachTheFileUnderTheirOwnName) {
  TempDir dir;
  // 门锁\房间.LOG: characters no single-byte code page holds.
  const std::string folder = dir.File("\xE9\x97\xA8\xE9\x94\x81");
  ASSERT_TRUE(std::filesystem::create_directory(std::filesystem::u8path(folder)));
  const std::string path = folder + "\\\xE6\x88\xBF\xE9\x97\xB4.LOG";

  ASSERT_TRUE(AppendToFile(path, "x"));
  ASSERT_TRUE(ReplaceFileContent(path, "y"));
  ASSERT_TRUE(AppendToFile(path, "z"));
  EXPECT_TRUE(FileExists(path));
  std::string content;
  ASSERT_TRUE(ReadWholeFile(path, content));
  EXPECT_EQ(content, "yz");
  // The system sees exactly that name, not the UTF-8 bytes read as ANSI.
  const auto entries = std::filesystem::directory_iterator(std::filesystem::u8path(folder));
  ASSERT_NE(entries, std::filesystem::directory_iterator());
  EXPECT_EQ(entries->path().filename().wstring(), L"\u623F\u95F4.LOG");
}

}  // namespace
}  // namespace platform
