#include "platform/simulated_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "doorlock/vov_oda32_vuduvozi.h"
#include "platform/date_time.h"
#include "platform/ini_file.h"
#include "platform/text_codec.h"
#include "settings/option.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace {

using testing_support::TempDir;

std::string Text(const char* buffer) { return std::string(buffer, strnlen(buffer, 81)); }

std::string CardInfo(platform::TSimulatedEncoder& sim) {
  char card[81] = {};
  sim.GetCardInfo(card, 0, 0);
  return Text(card);
}

// Writes a card as the driver does: blank buffer, GBK room. Returns the text
// RoomCard left, or "refused" with the buffer untouched.
std::string WriteCard(platform::TSimulatedEncoder& sim, const std::string& roomUtf8,
                      const char* validUntil = "2403051407", std::uint8_t lock = 1) {
  char card[81];
  std::memset(card, ' ', sizeof card);
  const std::string room = platform::ToGbk(roomUtf8);
  std::int32_t result = sim.RoomCard(161, 258, "240301120000", lock, validUntil, room.c_str(), 2, card);
  if (result != 0) {
    EXPECT_EQ(std::string(card, 81), std::string(81, ' '));
    return "refused";
  }
  return Text(card);
}

TEST(TSimulatedEncoder, WithoutFileOpensWithDefaultsAndShowsThemInTheFile) {
  TempDir dir;
  platform::TSimulatedEncoder sim(dir.Path());
  EXPECT_EQ(sim.FileName(), dir.File("SimEncoder.ini"));
  EXPECT_EQ(sim.IniUsbDevice(), 0);

  platform::TIniFile ini(dir.File("SimEncoder.ini"));
  EXPECT_EQ(ini.ReadString("Encoder", "Connected", "?"), "1");
  EXPECT_EQ(ini.ReadString("Encoder", "HotelID", "?"), "0");
  EXPECT_EQ(ini.ReadString("Encoder", "Bianhao", "?"), "0");
  EXPECT_EQ(ini.ReadString("Card", "Present", "?"), "1");
  EXPECT_EQ(ini.ReadString("Card", "Serial", "?"), "00012340");
  EXPECT_EQ(ini.ReadString("Card", "Room", "missing"), "missing");

  // A card never written reads as blank.
  EXPECT_EQ(CardInfo(sim), "00012340552101FFFF" + std::string(38, 'F'));
}

TEST(TSimulatedEncoder, WrittenCardIsKeptInTheFileAndReadBack) {
  TempDir dir;
  platform::TSimulatedEncoder sim(dir.Path());
  const std::string left = WriteCard(sim, "八号房间");
  ASSERT_GE(left.size(), 16u);
  EXPECT_EQ(left.substr(0, 10), "2403051407");

  platform::TIniFile ini(dir.File("SimEncoder.ini"));
  EXPECT_EQ(ini.ReadString("Card", "Room", ""), "八号房间");
  EXPECT_EQ(ini.ReadString("Card", "ValidUntil", ""), "2403051407");
  EXPECT_EQ(ini.ReadString("Card", "IssueTime", ""), "240301120000");
  EXPECT_EQ(ini.ReadString("Card", "HotelID", ""), "161");
  EXPECT_EQ(ini.ReadString("Card", "Bianhao", ""), "258");
  EXPECT_EQ(ini.ReadString("Card", "LLock", ""), "1");

  const std::string info = CardInfo(sim);
  ASSERT_GE(info.size(), 56u);
  EXPECT_EQ(info.substr(0, 8), "00012340");
  EXPECT_EQ(info.substr(8, 6), "552101");
  EXPECT_EQ(info.substr(14, 4), "0102");
  EXPECT_EQ(info.substr(18, 16), left.substr(0, 16));
}

TEST(TSimulatedEncoder, FirstSixteenCharactersTellCardsApart) {
  TempDir dir;
  platform::TSimulatedEncoder sim(dir.Path());
  const std::string room101 = WriteCard(sim, "101").substr(0, 16);
  const struct { const char* what; std::string left; } others[] = {
      {"another room", WriteCard(sim, "102").substr(0, 16)},
      {"another validity", WriteCard(sim, "101", "2403051408").substr(0, 16)},
      {"no deadlock permission", WriteCard(sim, "101", "2403051407", 0).substr(0, 16)},
  };
  for (const auto& other : others) {
    SCOPED_TRACE(other.what);
    EXPECT_NE(other.left, room101);
  }
}

TEST(TSimulatedEncoder, TheFileDecidesAtEveryCall) {
  const std::string noCard = "00000000552100FFFF" + std::string(38, '0');
  const struct {
    const char* name;
    const char* ini;
    std::int32_t open;      // IniUsbDevice: 0 opened
    const char* identity;   // what ReadBianHaoID leaves; blanks when refused
    std::string cardStart;  // the first 18 characters GetCardInfo gives after a write
    bool writes;
  } cases[] = {
      {"identity from the file", "[Encoder]\r\nHotelID=161\r\nBianhao=258\r\n", 0, "QSIM0100A10102",
       "000123405521010102", true},
      {"no card on the encoder", "[Card]\r\nPresent=0\r\n", 0, "QSIM0100000000", noCard.substr(0, 18),
       false},
      {"encoder not connected", "[Encoder]\r\nConnected=0\r\n", 1, nullptr, noCard.substr(0, 18), false},
      {"comment after a value", "[Encoder]\r\nConnected=0       ; 0: the encoder does not open\r\n", 1,
       nullptr, noCard.substr(0, 18), false},
      {"serial changed", "[Card]\r\nSerial=0ABCDEF1\r\n", 0, "QSIM0100000000", "0ABCDEF15521010102",
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    testing_support::WriteFile(dir.File("SimEncoder.ini"), c.ini);
    platform::TSimulatedEncoder sim(dir.Path());
    EXPECT_EQ(sim.IniUsbDevice(), c.open);

    char identity[81];
    std::memset(identity, ' ', 80);
    identity[80] = '\0';
    sim.ReadBianHaoID(identity);
    EXPECT_EQ(Text(identity), c.identity ? c.identity : std::string(80, ' '));

    EXPECT_EQ(WriteCard(sim, "101") != "refused", c.writes);
    EXPECT_EQ(CardInfo(sim).substr(0, 18), c.cardStart);
    if (!c.writes) {
      platform::TIniFile ini(dir.File("SimEncoder.ini"));
      EXPECT_EQ(ini.ReadString("Card", "Room", "missing"), "missing");
    }
  }
}

TEST(TSimulatedEncoder, CardTakenOffAfterWritingReadsAsNoCard) {
  TempDir dir;
  platform::TSimulatedEncoder sim(dir.Path());
  ASSERT_NE(WriteCard(sim, "101"), "refused");
  platform::TIniFile(dir.File("SimEncoder.ini")).WriteString("Card", "Present", "0");
  EXPECT_EQ(CardInfo(sim).substr(8, 6), "552100");
  platform::TIniFile(dir.File("SimEncoder.ini")).WriteString("Card", "Present", "1");
  EXPECT_EQ(CardInfo(sim).substr(8, 6), "552101");
}

// The driver on the simulated encoder: what `make run` does with a request.
TEST(TSimulatedEncoder, DriverIssuesAndReadsBackTheDefaultCard) {
  TempDir dir;
  testing_support::LogCapture log;
  settings::TOption option(dir.File("Option.ini"));
  option.HotelID = 3;
  option.Bianhao = 4;
  settings::TOption* previous = settings::Option;
  settings::Option = &option;

  int waited = 0;
  doorlock::TVovODA32Vuduvozi device(std::make_unique<platform::TSimulatedEncoder>(dir.Path()),
                                     [&waited](int ms) { waited += ms; });
  EXPECT_TRUE(device.OpenPort());
  std::int64_t written = -1;
  const auto checkOut = platform::EncodeDateTime({2024, 3, 5, 14, 7, 9});
  EXPECT_TRUE(device.WriteCard("", "", "", "101", "Test", checkOut, checkOut, checkOut, checkOut,
                               false, written));
  EXPECT_EQ(written, 4660);
  EXPECT_EQ(waited, 500);
  std::int64_t read = -1;
  EXPECT_TRUE(device.ReadCard(read));
  EXPECT_EQ(read, 4660);

  // The tester swaps the card for another serial while the server runs.
  platform::TIniFile(dir.File("SimEncoder.ini")).WriteString("Card", "Serial", "000ABC00");
  EXPECT_TRUE(device.ReadCard(read));
  EXPECT_EQ(read, 0xABC0);
  settings::Option = previous;

  const auto messages = log.Messages();
  EXPECT_NE(std::find(messages.begin(), messages.end(), "发卡成功,卡号为:4660"), messages.end());
  EXPECT_NE(std::find(messages.begin(), messages.end(), "读卡成功,卡号为:4660"), messages.end());
  EXPECT_NE(std::find(messages.begin(), messages.end(), "读卡成功,卡号为:43968"), messages.end());
  EXPECT_EQ(platform::TIniFile(dir.File("SimEncoder.ini")).ReadString("Card", "Bianhao", ""), "4");
}

}  // namespace
