#include "doorlock/vov_oda32_vuduvozi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/date_time.h"
#include "platform/text_codec.h"
#include "settings/option.h"
#include "support/log_capture.h"

namespace {

using platform::DateTimeParts;

// What the scripted library answers; a missing text leaves the buffer as
// the driver handed it over.
struct TScript {
  std::string loadError;
  std::int32_t openResult = 0;
  std::optional<std::string> identity = "QSIM01000000";
  std::int32_t identityResult = 7;
  std::optional<std::string> roomCardText;
  std::optional<std::string> cardInfo;
};

// Shows a buffer as the driver handed it in, so the table can say what each
// call received: the blank and zero fills, or the text left by an earlier call.
std::string Describe(const char* buffer) {
  if (std::string(buffer, 81) == std::string(81, ' ')) return "81 blanks";
  if (std::string(buffer, 81) == std::string(80, ' ') + '\0') return "80 blanks+NUL";
  if (std::string(buffer, 81) == std::string(81, '\0')) return "81 zeros";
  return "'" + std::string(buffer, strnlen(buffer, 81)) + "'";
}

void Put(char* buffer, const std::string& text) {
  std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
}

// A library that answers from a script and records every call it gets.
class TScriptedEncoder : public platform::TEncoderLibrary {
 public:
  TScriptedEncoder(TScript script, std::vector<std::string>& calls)
      : Script_(std::move(script)), Calls_(calls) {}

  std::int32_t IniUsbDevice() override {
    Calls_.push_back("IniUsbDevice");
    return Script_.openResult;
  }
  std::int32_t ReadBianHaoID(char* identity) override {
    Calls_.push_back("ReadBianHaoID(" + Describe(identity) + ")");
    if (Script_.identity) Put(identity, *Script_.identity);
    return Script_.identityResult;
  }
  std::int32_t Buzzer(std::int32_t hotelId, std::int32_t bianhao) override {
    Calls_.push_back("Buzzer(" + std::to_string(hotelId) + "," + std::to_string(bianhao) + ")");
    return 0;
  }
  std::int32_t RoomCard(std::int32_t hotelId, std::int32_t bianhao, const char* issueTime,
                        std::uint8_t deadlock, const char* validUntil, const char* room,
                        std::int32_t kind, char* cardBuffer) override {
    std::string time = issueTime;
    IssueTimes.push_back(time);
    bool twelveDigits = time.size() == 12 && time.find_first_not_of("0123456789") == std::string::npos;
    std::size_t roomLength = strnlen(room, 9);
    Calls_.push_back("RoomCard(" + std::to_string(hotelId) + "," + std::to_string(bianhao) + "," +
                     (twelveDigits ? "T" : time) + "," + std::to_string(deadlock) + "," +
                     validUntil + "," +
                     (roomLength == 9 ? "unterminated" : platform::FromGbk(std::string(room, roomLength))) +
                     "," + std::to_string(kind) + "," + Describe(cardBuffer) + ")");
    if (Script_.roomCardText) Put(cardBuffer, *Script_.roomCardText);
    return 0;
  }
  std::int32_t GetCardInfo(char* cardBuffer, std::int32_t hotelId, std::int32_t bianhao) override {
    Calls_.push_back("GetCardInfo(" + Describe(cardBuffer) + "," + std::to_string(hotelId) + "," +
                     std::to_string(bianhao) + ")");
    if (Script_.cardInfo) Put(cardBuffer, *Script_.cardInfo);
    return 0;
  }
  std::int32_t IniUsb() override {
    Calls_.push_back("IniUsb");
    return 0;
  }
  std::string LoadError() const override { return Script_.loadError; }

  std::vector<std::string> IssueTimes;

 private:
  TScript Script_;
  std::vector<std::string>& Calls_;
};

enum class TOp { EditOption, Open, Beep, Close, Write, Read, Erase };

constexpr std::int64_t kUntouched = -7;

// A card information text: serial (card number at 4-7), header, customer
// number, card data.
std::string Info(const std::string& serial, const std::string& header,
                 const std::string& customer, const std::string& data) {
  return serial + header + customer + data;
}

const std::string kWritten = "ROOMDATA01234567";        // first 16 characters RoomCard leaves
const std::string kRoomCardText = kWritten + "XYZ";
const std::string kData = kWritten + "89ABCDEF0123456789ABCD";  // 38 characters
const std::string kGoodInfo = Info("12300FF9", "552101", "00A1", kData);  // 56 characters
const std::string kNul(1, '\0');

const std::string kWriteCall = "RoomCard(1,2,T,1,2403051407,101,2,81 blanks)";
const std::string kReadBackCall = "GetCardInfo('" + kRoomCardText + "',1,2)";
const std::string kReadCall = "GetCardInfo(81 zeros,1,2)";

struct TCase {
  const char* name;
  TOp op;
  TScript script = {};
  std::string room = "101";
  bool lock = true;
  DateTimeParts checkOutDate = {2024, 3, 5, 14, 7, 9};
  DateTimeParts checkOutTime = {2024, 3, 5, 14, 7, 9};
  bool result = true;
  std::int64_t cardNo = kUntouched;
  std::vector<std::string> calls;
  std::vector<std::string> log;
};

std::vector<TCase> Cases() {
  const TScript written{.roomCardText = kRoomCardText, .cardInfo = kGoodInfo};
  // The lines every verified write logs before its card number is converted.
  const std::vector<std::string> writeLines = {
      "写卡：s=" + kGoodInfo + kNul + std::string(24, ' '),
      "写卡，卡片流水号=卡片流水号：12300FF9",
      "cardHexStr=" + kData,
  };
  const std::string readS = "读卡：s=" + kGoodInfo + std::string(5, '\0');
  const std::string readDescription =
      "卡片信息:卡片流水号：12300FF9\r数据头: 552101\r客人编号：161\r卡片数据：" + kData.substr(0, 36);

  return {
      {.name = "settings command shows the dialog and touches no encoder",
       .op = TOp::EditOption,
       .calls = {"OptionDialog"}},
      {.name = "open failing",
       .op = TOp::Open,
       .script = {.openResult = 1},
       .result = false,
       .calls = {"IniUsbDevice"},
       .log = {"连接发卡器失败", "发卡器打开失败"}},
      {.name = "open with a library that did not load",
       .op = TOp::Open,
       .script = {.loadError = "无法加载发卡器动态库 PRORFL32.dll（错误 126）"},
       .result = false,
       .log = {"无法加载发卡器动态库 PRORFL32.dll（错误 126）", "连接发卡器失败", "发卡器打开失败"}},
      {.name = "open reads identity 00A1/0102 as 161/258 and beeps with it",
       .op = TOp::Open,
       .script = {.identity = "QSIM0100A10102XYZ"},
       .calls = {"IniUsbDevice", "ReadBianHaoID(80 blanks+NUL)", "Buzzer(161,258)"},
       .log = {"连接USB发卡器成功", "CardNo=7", "HotelID=161", "Bianhao=258", "发卡器打开成功"}},
      {.name = "open with a hotel ID that is not hexadecimal",
       .op = TOp::Open,
       .script = {.identity = "QSIM0100G10102"},
       .result = false,
       .calls = {"IniUsbDevice", "ReadBianHaoID(80 blanks+NUL)"},
       .log = {"连接USB发卡器成功", "发卡器酒店标识不是十六进制数：'00G1'", "发卡器打开失败"}},
      {.name = "open with a customer number that is not hexadecimal",
       .op = TOp::Open,
       .script = {.identity = "QSIM0100A101X2"},
       .result = false,
       .calls = {"IniUsbDevice", "ReadBianHaoID(80 blanks+NUL)"},
       .log = {"连接USB发卡器成功", "发卡器客人编号不是十六进制数：'01X2'", "发卡器打开失败"}},
      {.name = "open with the identity buffer left blank",
       .op = TOp::Open,
       .script = {.identity = std::nullopt},
       .result = false,
       .calls = {"IniUsbDevice", "ReadBianHaoID(80 blanks+NUL)"},
       .log = {"连接USB发卡器成功", "发卡器酒店标识不是十六进制数：'    '", "发卡器打开失败"}},
      {.name = "beep uses the settings", .op = TOp::Beep, .calls = {"Buzzer(1,2)"}},
      {.name = "close touches nothing", .op = TOp::Close},
      {.name = "erase touches nothing", .op = TOp::Erase},
      {.name = "write with card number 00FF gives 255",
       .op = TOp::Write,
       .script = written,
       .cardNo = 255,
       .calls = {"IniUsb", kWriteCall, "Wait(500)", kReadBackCall, "Buzzer(1,2)"},
       .log = {writeLines[0], writeLines[1], writeLines[2], "发卡 cardHexStr=" + kGoodInfo,
               "发卡成功,卡号为:255"}},
      {.name = "write whose read-back header is 552100",
       .op = TOp::Write,
       .script = {.roomCardText = kRoomCardText, .cardInfo = Info("12300FF9", "552100", "00A1", kData)},
       .result = false,
       .calls = {"IniUsb", kWriteCall, "Wait(500)", kReadBackCall},
       .log = {"此卡不是有效卡！", "发卡失败"}},
      {.name = "write whose read-back data differs",
       .op = TOp::Write,
       .script = {.roomCardText = kRoomCardText,
                  .cardInfo = Info("12300FF9", "552101", "00A1", "ROOMDATA01234568" + kData.substr(16))},
       .result = false,
       .calls = {"IniUsb", kWriteCall, "Wait(500)", kReadBackCall},
       .log = {"发卡失败！", "发卡失败"}},
      {.name = "write with a card number that is not hexadecimal",
       .op = TOp::Write,
       .script = {.roomCardText = kRoomCardText, .cardInfo = Info("000ZZ0FF", "552101", "00A1", kData)},
       .result = false,
       .calls = {"IniUsb", kWriteCall, "Wait(500)", kReadBackCall},
       .log = {"写卡：s=" + Info("000ZZ0FF", "552101", "00A1", kData) + kNul + std::string(24, ' '),
               "写卡，卡片流水号=卡片流水号：000ZZ0FF", writeLines[2], "卡号不是十六进制数：'ZZ0F'",
               "发卡失败"}},
      {.name = "check-out takes the date of one value and the time of the other, without seconds",
       .op = TOp::Write,
       .script = written,
       .lock = false,
       .checkOutDate = {2024, 3, 5, 9, 0, 0},
       .checkOutTime = {2001, 12, 31, 14, 7, 59},
       .cardNo = 255,
       .calls = {"IniUsb", "RoomCard(1,2,T,0,2403051407,101,2,81 blanks)", "Wait(500)", kReadBackCall,
                 "Buzzer(1,2)"},
       .log = {writeLines[0], writeLines[1], writeLines[2], "发卡 cardHexStr=" + kGoodInfo,
               "发卡成功,卡号为:255"}},
      {.name = "check-out at the last second of a year",
       .op = TOp::Write,
       .script = written,
       .checkOutDate = {2023, 12, 31, 23, 59, 59},
       .checkOutTime = {2023, 12, 31, 23, 59, 59},
       .cardNo = 255,
       .calls = {"IniUsb", "RoomCard(1,2,T,1,2312312359,101,2,81 blanks)", "Wait(500)", kReadBackCall,
                 "Buzzer(1,2)"},
       .log = {writeLines[0], writeLines[1], writeLines[2], "发卡 cardHexStr=" + kGoodInfo,
               "发卡成功,卡号为:255"}},
      {.name = "room of exactly 8 GBK bytes reaches RoomCard",
       .op = TOp::Write,
       .script = written,
       .room = "八号房间",
       .cardNo = 255,
       .calls = {"IniUsb", "RoomCard(1,2,T,1,2403051407,八号房间,2,81 blanks)", "Wait(500)", kReadBackCall,
                 "Buzzer(1,2)"},
       .log = {writeLines[0], writeLines[1], writeLines[2], "发卡 cardHexStr=" + kGoodInfo,
               "发卡成功,卡号为:255"}},
      {.name = "room of 9 GBK bytes is refused before the encoder is touched",
       .op = TOp::Write,
       .script = written,
       .room = "A八号房间",
       .result = false,
       .log = {"房号超过8字节，不能写卡：A八号房间", "发卡失败"}},
      {.name = "read succeeds and logs the card",
       .op = TOp::Read,
       .script = {.cardInfo = kGoodInfo},
       .cardNo = 255,
       .calls = {"IniUsb", kReadCall, "Buzzer(1,2)"},
       .log = {"发卡器读卡成功！", readS, readDescription, "cardHexStr=" + kData, "读卡成功,卡号为:255"}},
      {.name = "read with any header but 552100 succeeds",
       .op = TOp::Read,
       .script = {.cardInfo = Info("00012340", "123456", "0000", kData)},
       .cardNo = 0x1234,
       .calls = {"IniUsb", kReadCall, "Buzzer(1,2)"},
       .log = {"发卡器读卡成功！", "读卡：s=" + Info("00012340", "123456", "0000", kData) + std::string(5, '\0'),
               "卡片信息:卡片流水号：00012340\r数据头: 123456\r客人编号：0\r卡片数据：" + kData.substr(0, 36),
               "cardHexStr=" + kData, "读卡成功,卡号为:4660"}},
      {.name = "read header 552100 fails",
       .op = TOp::Read,
       .script = {.cardInfo = Info("12300FF9", "552100", "00A1", kData)},
       .result = false,
       .calls = {"IniUsb", kReadCall},
       .log = {"发卡器读卡失败！", "读卡失败"}},
      {.name = "read with customer number FFFF fails after the success lines",
       .op = TOp::Read,
       .script = {.cardInfo = Info("12300FF9", "552101", "FFFF", kData)},
       .result = false,
       .calls = {"IniUsb", kReadCall},
       .log = {"发卡器读卡成功！", "读卡：s=" + Info("12300FF9", "552101", "FFFF", kData) + std::string(5, '\0'),
               "读卡失败！", "读卡失败"}},
      {.name = "read with a customer number that is not hexadecimal",
       .op = TOp::Read,
       .script = {.cardInfo = Info("12300FF9", "552101", "00G0", kData)},
       .result = false,
       .calls = {"IniUsb", kReadCall},
       .log = {"发卡器读卡成功！", "读卡：s=" + Info("12300FF9", "552101", "00G0", kData) + std::string(5, '\0'),
               "客人编号不是十六进制数：'00G0'", "读卡失败"}},
      {.name = "read with a card number that is not hexadecimal",
       .op = TOp::Read,
       .script = {.cardInfo = Info("000-10FF", "552101", "00A1", kData)},
       .result = false,
       .calls = {"IniUsb", kReadCall},
       .log = {"发卡器读卡成功！", "读卡：s=" + Info("000-10FF", "552101", "00A1", kData) + std::string(5, '\0'),
               "卡片信息:卡片流水号：000-10FF\r数据头: 552101\r客人编号：161\r卡片数据：" + kData.substr(0, 36),
               "cardHexStr=" + kData, "卡号不是十六进制数：'-10F'", "读卡失败"}},
  };
}

std::string IssueTimeNow() { return platform::FormatDateTime("yymmddhhnnss", platform::Now()); }

TEST(TVovODA32Vuduvozi, EachPathMakesItsCallsAndLogLines) {
  for (const TCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    testing_support::LogCapture log;
    settings::TOption option("unused.ini");
    option.HotelID = 1;
    option.Bianhao = 2;
    option.LLock = c.lock;
    settings::TOption* previousOption = settings::Option;
    settings::Option = &option;

    std::vector<std::string> calls;
    auto previousDialog = doorlock::ShowDoorlockOptionDialog;
    doorlock::ShowDoorlockOptionDialog = [&calls] { calls.push_back("OptionDialog"); };
    auto library = std::make_unique<TScriptedEncoder>(c.script, calls);
    TScriptedEncoder* fake = library.get();
    doorlock::TVovODA32Vuduvozi device(
        std::move(library), [&calls](int ms) { calls.push_back("Wait(" + std::to_string(ms) + ")"); });

    std::int64_t cardNo = kUntouched;
    bool result = true;
    const std::string before = IssueTimeNow();
    switch (c.op) {
      case TOp::EditOption: device.EditOption(); break;
      case TOp::Open: result = device.OpenPort(); break;
      case TOp::Beep: device.Beep(); break;
      case TOp::Close: result = device.ClosePort(); break;
      case TOp::Erase: result = device.EraseCard(); break;
      case TOp::Read: result = device.ReadCard(cardNo); break;
      case TOp::Write: {
        // Check-in values that would show if the driver took them for the
        // check-out ones.
        const auto checkIn = platform::EncodeDateTime({2020, 1, 2, 3, 4, 5});
        result = device.WriteCard("R1", "B", "F", c.room, "Guest", checkIn, checkIn,
                                  platform::EncodeDateTime(c.checkOutDate),
                                  platform::EncodeDateTime(c.checkOutTime), false, cardNo);
        break;
      }
    }
    const std::string after = IssueTimeNow();

    settings::Option = previousOption;
    doorlock::ShowDoorlockOptionDialog = previousDialog;

    EXPECT_EQ(result, c.result);
    EXPECT_EQ(cardNo, c.cardNo);
    EXPECT_EQ(calls, c.calls);
    EXPECT_EQ(log.Messages(), c.log);
    for (const std::string& issued : fake->IssueTimes) {
      EXPECT_LE(before, issued);
      EXPECT_LE(issued, after);
    }
  }
}

}  // namespace
