#include "settings/log_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <thread>
#include <vector>

#include "platform/text_codec.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace settings {
namespace {

using testing_support::ReadFile;
using testing_support::TempDir;

TEST(TLogFile, WritesStampedGbkLinesEndingInCrLf) {
  TempDir dir;
  TLogFile log(dir.File("20240309.LOG"));
  EXPECT_FALSE(std::filesystem::exists(log.FileName));  // nothing until the first line
  log.WriteLog("读卡失败");
  log.WriteLog("");
  log.WriteLog("收到消息: \r\n<R/>");
  const std::string text = ReadFile(log.FileName);
  const std::regex expected(
      "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d " + platform::ToGbk("读卡失败") +
      "\r\n\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d \r\n"
      "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d " + platform::ToGbk("收到消息: ") + "\r\n<R/>\r\n");
  EXPECT_TRUE(std::regex_match(text, expected)) << text;
}

TEST(TLogFile, ADeletedFileIsMadeAgainAndAnUnwritableOneDropsLinesUntilItRecovers) {
  TempDir dir;
  const std::string sub = dir.File("logs/");
  std::filesystem::create_directory(sub);
  TLogFile log(sub + "day.LOG");
  log.WriteLog("one");
  std::filesystem::remove(log.FileName);
  log.WriteLog("two");
  std::filesystem::remove_all(sub);  // the directory is gone: lines are dropped
  EXPECT_NO_THROW(log.WriteLog("lost"));
  std::filesystem::create_directory(sub);
  log.WriteLog("three");
  EXPECT_EQ(testing_support::SplitLogMessages(ReadFile(log.FileName)),
            (std::vector<std::string>{"three"}));
}

TEST(TLogFile, ConcurrentWritersLoseNoLineAndNeverInterleave) {
  TempDir dir;
  TLogFile log(dir.File("day.LOG"));
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&log, t]() {
      for (int i = 0; i < 200; ++i) log.WriteLog("线程" + std::to_string(t) + "-" + std::to_string(i));
    });
  }
  for (auto& thread : threads) thread.join();
  auto lines = testing_support::SplitLogMessages(platform::FromGbk(ReadFile(log.FileName)));
  ASSERT_EQ(lines.size(), 1600u);
  std::vector<int> next(8, 0);
  for (const auto& line : lines) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(line, m, std::regex("线程(\\d)-(\\d+)"))) << line;
    int t = std::stoi(m[1]);
    EXPECT_EQ(std::stoi(m[2]), next[t]++);  // each writer's lines in its order
  }
}

}  // namespace
}  // namespace settings
