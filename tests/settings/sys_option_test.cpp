#include "settings/sys_option.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/text_codec.h"
#include "support/temp_dir.h"

namespace settings {
namespace {

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

TEST(TSysOption, MissingFileGivesTheDefaultsAndCreatesNothing) {
  TempDir dir;
  TSysOption sys(dir.File("Option.ini"));
  sys.Load();
  EXPECT_EQ(sys.DoorlockPortNo, 8886);
  EXPECT_EQ(sys.PolicePortNo, 8885);
  EXPECT_EQ(sys.MemberPortNo, 8883);
  EXPECT_EQ(sys.ScanPortNo, 8881);
  EXPECT_EQ(sys.Password, "mirtal");
  EXPECT_EQ(sys.DelayMinutes, 0);
  EXPECT_EQ(sys.DelayMinutes2, 0);
  EXPECT_FALSE(sys.UseNativeDoorlockDb);
  EXPECT_FALSE(sys.SaveDoorlockRecord);
  EXPECT_FALSE(std::filesystem::exists(dir.File("Option.ini")));
}

TEST(TSysOption, ReadsValuesWithTheFileRules) {
  TempDir dir;
  WriteFile(dir.File("Option.ini"),
            "[sysoption]\r\nDOORLOCKPORTNO=0x22B6\r\nPolicePortNo=8886x\r\n"
            "Password = \"" + platform::ToGbk("密码") + "\" \r\n"
            "[doorlockoption]\r\nDelayMinutes=abc\r\nDelayMinutes2=-30\r\n"
            "UseNativeDoorlockDb=2\r\nSaveDoorlockRecord=true\r\n");
  TSysOption sys(dir.File("Option.ini"));
  sys.Load();
  EXPECT_EQ(sys.DoorlockPortNo, 8886);
  EXPECT_EQ(sys.PolicePortNo, 8885);  // no integer text: the default
  EXPECT_EQ(sys.Password, "密码");
  EXPECT_EQ(sys.DelayMinutes, 0);
  EXPECT_EQ(sys.DelayMinutes2, -30);
  EXPECT_TRUE(sys.UseNativeDoorlockDb);
  EXPECT_FALSE(sys.SaveDoorlockRecord);  // a word is no integer: the default
}

TEST(TSysOption, SaveOnAFreshSystemWritesAllNineKeys) {
  TempDir dir;
  TSysOption sys(dir.File("Option.ini"));
  sys.Load();
  sys.Password = "";
  sys.Save();
  EXPECT_EQ(ReadFile(dir.File("Option.ini")),
            "[SysOption]\r\nPassword=\r\nDoorlockPortNo=8886\r\nPolicePortNo=8885\r\n"
            "MemberPortNo=8883\r\nScanPortNo=8881\r\n[DoorlockOption]\r\nDelayMinutes=0\r\n"
            "DelayMinutes2=0\r\nUseNativeDoorlockDb=0\r\nSaveDoorlockRecord=0\r\n");
  TSysOption again(dir.File("Option.ini"));
  again.Load();
  EXPECT_EQ(again.Password, "");
}

TEST(TSysOption, SaveIntoAReadOnlyFileReportsThePathAndKeepsTheContent) {
  TempDir dir;
  const std::string path = dir.File("Option.ini");
  WriteFile(path, "[SysOption]\r\nPassword=old\r\n");
  std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                         std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
  TSysOption sys(path);
  sys.Load();
  sys.Password = "new";
  try {
    sys.Save();
    FAIL() << "Save into a read-only file did not fail";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
  }
  EXPECT_EQ(ReadFile(path), "[SysOption]\r\nPassword=old\r\n");
}

}  // namespace
}  // namespace settings
