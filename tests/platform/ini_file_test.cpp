#include "platform/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <stdexcept>
#include <string>

#include "support/temp_dir.h"

namespace platform {
namespace {

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

TEST(TIniFile, ReadsValuesByTheProfileStringRules) {
  TempDir dir;
  const std::string path = dir.File("Option.ini");
  WriteFile(path,
            "; hand-written settings\r\n"
            "Orphan=before any section\r\n"
            "[sysoption]\r\n"
            "  Password  =  \"  spaced secret  \"  \r\n"
            "Single='quoted'\r\n"
            "Mismatched=\"half'\r\n"
            "Empty=\r\n"
            "Inner=a=b\r\n"
            ";Commented=yes\r\n"
            "Dup=first\r\n"
            "dup=second\r\n"
            "NoEquals\r\n"
            "[ DoorlockOption ]\n"
            "PortName=USB\n"
            "Name=\xC4\xE3\xBA\xC3\n"  // 你好 in GBK
            "Last=no line end");
  const struct {
    const char* section;
    const char* key;
    const char* expected;
  } cases[] = {
      {"SysOption", "Password", "  spaced secret  "},  // one pair of quotes, inner blanks kept
      {"SYSOPTION", "PASSWORD", "  spaced secret  "},
      {"SysOption", "Single", "quoted"},
      {"SysOption", "Mismatched", "\"half'"},
      {"SysOption", "Empty", ""},
      {"SysOption", "Inner", "a=b"},
      {"SysOption", "Commented", "<none>"},
      {"SysOption", "Dup", "first"},
      {"SysOption", "NoEquals", "<none>"},
      {"SysOption", "Orphan", "<none>"},
      {"SysOption", "PortName", "<none>"},  // keys belong to their own section
      {"DoorLockOption", "portname", "USB"},
      {"DoorlockOption", "Name", "\xE4\xBD\xA0\xE5\xA5\xBD"},
      {"DoorlockOption", "Last", "no line end"},
      {"Missing", "Password", "<none>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key);
    EXPECT_EQ(TIniFile(path).ReadString(c.section, c.key, "<none>"), c.expected);
  }
}

TEST(TIniFile, TakesAtMost2047BytesOfAValue) {
  TempDir dir;
  const std::string path = dir.File("Option.ini");
  WriteFile(
      path, "[S]\r\nAscii=" + std::string(3000, 'a') + "\r\nChinese=" + "x" + [] {
        std::string s;
        for (int i = 0; i < 1100; ++i) s += "\xC4\xE3";
        return s;
      }() + "\r\n");
  EXPECT_EQ(TIniFile(path).ReadString("S", "Ascii", ""), std::string(2047, 'a'));
  // 1 + 2 * 1023 bytes fit; the next two-byte character is not split.
  std::string expected = "x";
  for (int i = 0; i < 1023; ++i) expected += "\xE4\xBD\xA0";
  EXPECT_EQ(TIniFile(path).ReadString("S", "Chinese", ""), expected);
}

TEST(TIniFile, ReadsIntegersAndBooleansOrTheirFallbacks) {
  TempDir dir;
  const std::string path = dir.File("Option.ini");
  WriteFile(path,
            "[doorlockoption]\r\nDoorlockPortNo=0x22B6\r\nHex=$ff\r\nBad=8886x\r\nWord=abc\r\n"
            "Blank=\r\nNegative= -5 \r\nLLock=2\r\nZero=0\r\nTrue=true\r\n");
  const struct {
    const char* key;
    std::int32_t fallback;
    std::int32_t expected;
  } integers[] = {
      {"DoorlockPortNo", 8886, 8886},
      {"Hex", 0, 255},
      {"Bad", 8886, 8886},
      {"Word", 0, 0},
      {"Blank", 7, 7},
      {"Negative", 0, -5},
      {"Missing", 8883, 8883},
  };
  for (const auto& c : integers) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(TIniFile(path).ReadInteger("DoorlockOption", c.key, c.fallback), c.expected);
  }
  const struct {
    const char* key;
    bool fallback;
    bool expected;
  } booleans[] = {
      {"LLock", false, true}, {"Zero", true, false},   {"True", false, false},
      {"True", true, true},   {"Missing", true, true}, {"Word", true, true},
  };
  for (const auto& c : booleans) {
    SCOPED_TRACE(std::string(c.key) + (c.fallback ? " fallback true" : " fallback false"));
    EXPECT_EQ(TIniFile(path).ReadBool("DoorlockOption", c.key, c.fallback), c.expected);
  }
}

TEST(TIniFile, MissingFileGivesFallbacksAndIsNotCreated) {
  TempDir dir;
  const std::string path = dir.File("Option.ini");
  EXPECT_EQ(TIniFile(path).ReadString("SysOption", "Password", "mirtal"), "mirtal");
  EXPECT_EQ(TIniFile(path).ReadInteger("SysOption", "DoorlockPortNo", 8886), 8886);
  EXPECT_FALSE(TIniFile(path).ReadBool("DoorlockOption", "LLock", false));
  struct stat info {};
  EXPECT_NE(stat(path.c_str(), &info), 0);
}

TEST(TIniFile, WriteIntoAMissingFileCreatesItInFirstWriteOrder) {
  TempDir dir;
  const std::string path = dir.File("Option.ini");
  TIniFile ini = TIniFile(path);
  ini.WriteString("SysOption", "Password", "\xE5\xAF\x86\xE7\xA0\x81");  // 密码
  ini.WriteInteger("SysOption", "DoorlockPortNo", 8886);
  ini.WriteInteger("DoorlockOption", "DelayMinutes", -30);
  ini.WriteBool("DoorlockOption", "UseNativeDoorlockDb", false);
  ini.WriteString("DoorlockOption", "PortName", "USB");
  ini.WriteBool("DoorlockOption", "LLock", true);
  ini.WriteInteger("DoorLockOption", "CurrentCardNo", 1);  // the same section, other spelling
  EXPECT_EQ(ReadFile(path),
            "[SysOption]\r\nPassword=\xC3\xDC\xC2\xEB\r\nDoorlockPortNo=8886\r\n"
            "[DoorlockOption]\r\nDelayMinutes=-30\r\nUseNativeDoorlockDb=0\r\nPortName=USB\r\n"
            "LLock=1\r\nCurrentCardNo=1\r\n");
  EXPECT_EQ(ini.ReadString("SysOption", "Password", ""), "\xE5\xAF\x86\xE7\xA0\x81");
  EXPECT_EQ(ini.ReadInteger("DoorlockOption", "DelayMinutes", 0), -30);
}

TEST(TIniFile, KeepsOtherLinesWhenUpdatingAKey) {
  TempDir dir;
  const std::string path = dir.File("Option.ini");
  const std::string before =
      "; written by hand\r\n"
      "[SysOption]\r\n"
      "  password = old \r\n"
      "Other=\xC4\xE3\r\n"
      "\r\n"
      "[DoorlockOption]\n"
      "PortName=COM1\n";
  WriteFile(path, before);
  TIniFile(path).WriteString("SYSOPTION", "Password", "new");
  TIniFile(path).WriteString("doorlockoption", "PortName", "USB");
  EXPECT_EQ(ReadFile(path),
            "; written by hand\r\n"
            "[SysOption]\r\n"
            "  password =new\r\n"  // the key keeps its spelling and its line end
            "Other=\xC4\xE3\r\n"
            "\r\n"
            "[DoorlockOption]\n"
            "PortName=USB\n");
}

TEST(TIniFile, AddsAMissingKeyAtTheEndOfItsSection) {
  TempDir dir;
  const std::string path = dir.File("Option.ini");
  WriteFile(path,
            "[SysOption]\r\n"
            "Password=x\r\n"
            "\r\n"
            "; encoder\r\n"
            "[DoorlockOption]\r\n"
            "PortName=COM1");  // last line without an end
  TIniFile(path).WriteInteger("sysoption", "DoorlockPortNo", 8886);
  TIniFile(path).WriteInteger("DoorlockOption", "HotelID", 12);
  TIniFile(path).WriteString("Police", "Port", "8885");
  EXPECT_EQ(ReadFile(path),
            "[SysOption]\r\n"
            "Password=x\r\n"
            "DoorlockPortNo=8886\r\n"
            "\r\n"
            "; encoder\r\n"
            "[DoorlockOption]\r\n"
            "PortName=COM1\r\n"
            "HotelID=12\r\n"
            "[Police]\r\n"
            "Port=8885\r\n");
}

TEST(TIniFile, TreatsARepeatedSectionAsOne) {
  TempDir dir;
  const std::string path = dir.File("Option.ini");
  WriteFile(path,
            "[DoorlockOption]\r\nHotelID=1\r\n"
            "[Other]\r\nHotelID=99\r\n"
            "[doorlockoption]\r\nHotelID=2\r\nLLock=1\r\n");
  // The first occurrence wins; a key only in the repeat is still found.
  EXPECT_EQ(TIniFile(path).ReadInteger("DoorlockOption", "HotelID", 0), 1);
  EXPECT_TRUE(TIniFile(path).ReadBool("DoorlockOption", "LLock", false));

  TIniFile(path).WriteBool("DoorlockOption", "LLock", false);
  TIniFile(path).WriteInteger("DoorlockOption", "Bianhao", 7);
  EXPECT_EQ(ReadFile(path),
            "[DoorlockOption]\r\nHotelID=1\r\nBianhao=7\r\n"
            "[Other]\r\nHotelID=99\r\n"
            "[doorlockoption]\r\nHotelID=2\r\nLLock=0\r\n");
}

TEST(TIniFile, WritesSeveralKeysInOneGoAndReadsThemAllAtOnce) {
  TempDir dir;
  const std::string path = dir.File("SimEncoder.ini");
  WriteFile(path, "[Card]\r\nPresent=1\r\nRoom=old\r\n[Other]\r\nx=1\r\n");
  TIniFile ini(path);
  ini.WriteStrings("card", {{"Room", "8808"}, {"ValidUntil", "2403101200"}, {"LLock", "1"}});
  EXPECT_EQ(ReadFile(path),
            "[Card]\r\nPresent=1\r\nRoom=8808\r\nValidUntil=2403101200\r\nLLock=1\r\n"
            "[Other]\r\nx=1\r\n");
  const TIniValues all = ini.ReadAll();
  for (const char* key : {"Present", "Room", "ValidUntil", "LLock", "Missing"}) {
    SCOPED_TRACE(key);
    EXPECT_EQ(all.ReadString("CARD", key, "?"), ini.ReadString("Card", key, "?"));
  }
  EXPECT_EQ(all.ReadString("other", "X", "?"), "1");
  EXPECT_EQ(all.ReadString("Card", "x", "?"), "?");  // keys belong to their section
}

TEST(TIniFile, WriteMarksCharactersGbkLacks) {
  TempDir dir;
  const std::string path = dir.File("Option.ini");
  TIniFile(path).WriteString("S", "K", "\xE4\xBD\xA0\xF0\x9F\x98\x80!");  // 你, an emoji, !
  EXPECT_EQ(ReadFile(path), "[S]\r\nK=\xC4\xE3?!\r\n");
}

TEST(TIniFile, ReadOnlyFileThrowsAndKeepsItsContent) {
  TempDir dir;
  const std::string path = dir.File("Option.ini");
  const std::string content = "[SysOption]\r\nPassword=mirtal\r\n";
  WriteFile(path, content);
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  try {
    TIniFile(path).WriteString("SysOption", "Password", "changed");
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
  }
  EXPECT_EQ(ReadFile(path), content);
}

TEST(TIniFile, WriteIntoAMissingDirectoryThrows) {
  TempDir dir;
  const std::string path = dir.File("missing/Option.ini");
  try {
    TIniFile(path).WriteInteger("SysOption", "DoorlockPortNo", 1);
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
  }
}

}  // namespace
}  // namespace platform
