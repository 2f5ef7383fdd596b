#include "settings/option.h"

#include <gtest/gtest.h>

#include "settings/sys_option.h"
#include "support/temp_dir.h"

namespace settings {
namespace {

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

TEST(TOption, MissingFileGivesTheDefaults) {
  TempDir dir;
  TOption option(dir.File("Option.ini"));
  option.Load();
  EXPECT_EQ(option.PortName, "COM1");
  EXPECT_EQ(option.HotelID, 0);
  EXPECT_EQ(option.Bianhao, 0);
  EXPECT_FALSE(option.LLock);
  EXPECT_EQ(option.CurrentCardNo, 1);
}

TEST(TOption, BothClassesShareTheDoorlockSectionWithoutDisturbingEachOther) {
  TempDir dir;
  const std::string path = dir.File("Option.ini");
  TSysOption sys(path);
  sys.Load();
  sys.Save();
  TOption option(path);
  option.Load();
  option.PortName = "USB";
  option.Save();
  EXPECT_EQ(ReadFile(path),
            "[SysOption]\r\nPassword=mirtal\r\nDoorlockPortNo=8886\r\nPolicePortNo=8885\r\n"
            "MemberPortNo=8883\r\nScanPortNo=8881\r\n[DoorlockOption]\r\nDelayMinutes=0\r\n"
            "DelayMinutes2=0\r\nUseNativeDoorlockDb=0\r\nSaveDoorlockRecord=0\r\nPortName=USB\r\n"
            "HotelID=0\r\nBianhao=0\r\nLLock=0\r\nCurrentCardNo=1\r\n");
}

TEST(TOption, CurrentCardNoIsKeptAsA32BitValue) {
  TempDir dir;
  const std::string path = dir.File("Option.ini");
  WriteFile(path, "[DOORLOCKOPTION]\r\nCurrentCardNo=$FFFFFFFF\r\nLLock=1\r\nHotelID=12\r\n");
  TOption option(path);
  option.Load();
  EXPECT_EQ(option.CurrentCardNo, -1);
  EXPECT_TRUE(option.LLock);
  EXPECT_EQ(option.HotelID, 12);
  option.CurrentCardNo = 0x100000005LL;
  option.Save();
  TOption again(path);
  again.Load();
  EXPECT_EQ(again.CurrentCardNo, 5);
}

}  // namespace
}  // namespace settings
