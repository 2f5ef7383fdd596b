#include "doorlock/vov_oda32_vuduvozi.h"

#include <chrono>
#include <cstring>
#include <optional>
#include <string_view>
#include <thread>

#include "platform/date_time.h"
#include "platform/file_system.h"
#include "platform/integer_text.h"
#include "platform/text_codec.h"
#include "settings/log_file.h"
#include "settings/option.h"

namespace doorlock {

namespace {

constexpr std::size_t kBufferSize = 81;
// A card write is only trusted after the encoder has had this long to
// finish before the card is read back.
constexpr int kReadBackDelayMs = 500;
constexpr std::size_t kRoomBytes = 8;

struct TEncoderSettings {
  std::int32_t hotelId = 0;
  std::int32_t bianhao = 0;
  bool lock = false;
};

// Read at every call so a change in the settings dialog applies to the next
// card at once.
TEncoderSettings CurrentSettings() {
  TEncoderSettings s;
  if (settings::Option != nullptr) {
    s.hotelId = settings::Option->HotelID;
    s.bianhao = settings::Option->Bianhao;
    s.lock = settings::Option->LLock;
  }
  return s;
}

void Log(const std::string& utf8) { settings::WriteLog(utf8); }

// Bytes from the encoder are GBK; the log takes UTF-8 and turns it back.
std::string FromDevice(std::string_view gbk) { return platform::FromGbk(gbk); }

// Characters `from` (counting from 1) to from + width - 1, or as many of them
// as the text has.
std::string Chars(const std::string& text, std::size_t from, std::size_t width) {
  if (from - 1 >= text.size()) return {};
  return text.substr(from - 1, width);
}

// A buffer's text: up to its first NUL, at most the whole buffer.
std::string TextOf(const char* buffer) { return std::string(buffer, strnlen(buffer, kBufferSize)); }

// The encoder's numeric fields are hexadecimal digits. Malformed text from
// the device fails the operation with a line naming the field, rather than
// an error escaping into the request handler.
std::optional<std::int32_t> HexField(const char* field, const std::string& text) {
  auto value = platform::TryStrToInt("$" + text);
  if (!value) Log(std::string(field) + "不是十六进制数：'" + FromDevice(text) + "'");
  return value;
}

bool OpenFailed() {
  Log("发卡器打开失败");
  return false;
}

bool WriteFailed() {
  Log("发卡失败");
  return false;
}

bool ReadFailed() {
  Log("读卡失败");
  return false;
}

}  // namespace

TVovODA32Vuduvozi::TVovODA32Vuduvozi()
    : TVovODA32Vuduvozi(platform::CreateEncoderLibrary(platform::ExecutableDirectory()),
                        [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }) {}

TVovODA32Vuduvozi::TVovODA32Vuduvozi(std::unique_ptr<platform::TEncoderLibrary> library,
                                     std::function<void(int ms)> wait)
    : Library_(std::move(library)), Wait_(std::move(wait)) {}

void TVovODA32Vuduvozi::EditOption() {
  if (ShowDoorlockOptionDialog) ShowDoorlockOptionDialog();
}

bool TVovODA32Vuduvozi::OpenPort() {
  // A library that did not load cannot open anything; say why before the
  // usual failure lines so the operator finds the missing file.
  if (const std::string loadError = Library_->LoadError(); !loadError.empty()) {
    std::size_t start = 0;
    while (start <= loadError.size()) {
      std::size_t end = loadError.find('\n', start);
      if (end == std::string::npos) end = loadError.size();
      if (end > start) Log(loadError.substr(start, end - start));
      start = end + 1;
    }
    Log("连接发卡器失败");
    return OpenFailed();
  }
  if (Library_->IniUsbDevice() != 0) {
    Log("连接发卡器失败");
    return OpenFailed();
  }
  Log("连接USB发卡器成功");

  char identity[kBufferSize];
  std::memset(identity, ' ', kBufferSize - 1);
  identity[kBufferSize - 1] = '\0';
  const std::int32_t result = Library_->ReadBianHaoID(identity);
  const std::string text = TextOf(identity);

  const auto hotelId = HexField("发卡器酒店标识", Chars(text, 7, 4));
  if (!hotelId) return OpenFailed();
  const auto bianhao = HexField("发卡器客人编号", Chars(text, 11, 4));
  if (!bianhao) return OpenFailed();

  // The encoder's own identity, not the settings: this beep confirms the
  // encoder answered.
  Library_->Buzzer(*hotelId, *bianhao);
  Log("CardNo=" + std::to_string(result));
  Log("HotelID=" + std::to_string(*hotelId));
  Log("Bianhao=" + std::to_string(*bianhao));
  Log("发卡器打开成功");
  return true;
}

void TVovODA32Vuduvozi::Beep() {
  const TEncoderSettings s = CurrentSettings();
  Library_->Buzzer(s.hotelId, s.bianhao);
}

bool TVovODA32Vuduvozi::ClosePort() { return true; }

bool TVovODA32Vuduvozi::WriteCard(const std::string& RegisterId,
                                  const std::string& RoomBuildingCode,
                                  const std::string& RoomFloorCode, const std::string& RoomNo,
                                  const std::string& GuestName, TDateTime CheckInDate,
                                  TDateTime CheckInTime, TDateTime CheckOutDate,
                                  TDateTime CheckOutTime, bool IsCopy, std::int64_t& CardNo) {
  // Never shortened: a cut room number could open another room's door.
  const std::string room = platform::ToGbk(RoomNo);
  if (room.size() > kRoomBytes) {
    Log("房号超过8字节，不能写卡：" + RoomNo);
    return WriteFailed();
  }

  Library_->IniUsb();
  const TEncoderSettings s = CurrentSettings();
  const std::string issueTime = platform::FormatDateTime("yymmddhhnnss", platform::Now());
  const std::uint8_t deadlock = s.lock ? 1 : 0;
  // Date of the one value, time of day of the other; seconds do not go on
  // the card.
  const std::string validUntil = platform::FormatDateTime("yymmdd", CheckOutDate) +
                                 platform::FormatDateTime("hhnn", CheckOutTime);

  char roomBuffer[kRoomBytes + 1] = {};
  std::memcpy(roomBuffer, room.data(), room.size());
  // All blanks and no NUL: the library writes its own terminated text.
  char card[kBufferSize];
  std::memset(card, ' ', kBufferSize);

  Library_->RoomCard(s.hotelId, s.bianhao, issueTime.c_str(), deadlock, validUntil.c_str(),
                     roomBuffer, 2, card);
  const std::string written = TextOf(card).substr(0, 16);

  Wait_(kReadBackDelayMs);
  // The buffer is deliberately not cleared: the read-back overwrites it.
  Library_->GetCardInfo(card, s.hotelId, s.bianhao);

  const std::string readBack = TextOf(card);
  if (Chars(readBack, 9, 6) != "552101") {
    Log("此卡不是有效卡！");
    return WriteFailed();
  }
  if (Chars(readBack, 19, 16) != written) {
    Log("发卡失败！");
    return WriteFailed();
  }

  // The whole buffer, NUL bytes and all, is what the log shows of the card.
  const std::string all(card, kBufferSize);
  Log("写卡：s=" + FromDevice(all));
  Log("写卡，卡片流水号=卡片流水号：" + FromDevice(Chars(all, 1, 8)));
  Log("cardHexStr=" + FromDevice(Chars(all, 19, 38)));
  // Converted before the beep, so a card with an unreadable number never
  // sounds like a success.
  const auto number = HexField("卡号", Chars(all, 4, 4));
  if (!number) return WriteFailed();
  Beep();
  Log("发卡 cardHexStr=" + FromDevice(readBack));
  CardNo = *number;
  Log("发卡成功,卡号为:" + std::to_string(CardNo));
  return true;
}

bool TVovODA32Vuduvozi::ReadCard(std::int64_t& CardNo) {
  Library_->IniUsb();
  const TEncoderSettings s = CurrentSettings();
  char card[kBufferSize] = {};
  Library_->GetCardInfo(card, s.hotelId, s.bianhao);

  const std::string text(card, 61);
  if (Chars(text, 9, 6) == "552100") {
    Log("发卡器读卡失败！");
    return ReadFailed();
  }
  Log("发卡器读卡成功！");
  Log("读卡：s=" + FromDevice(text));

  const std::string customerText = Chars(text, 15, 4);
  const auto customer = HexField("客人编号", customerText);
  if (!customer) return ReadFailed();
  std::string description = "卡片流水号：" + FromDevice(Chars(text, 1, 8)) + "\r数据头: " +
                            FromDevice(Chars(text, 9, 6)) + "\r客人编号：" +
                            std::to_string(*customer);
  // A blank card answers with an all-ones customer number.
  if (customerText == "FFFF") {
    Log("读卡失败！");
    return ReadFailed();
  }
  description += "\r卡片数据：" + FromDevice(Chars(text, 19, 36));
  Log("卡片信息:" + description);
  Log("cardHexStr=" + FromDevice(Chars(text, 19, 38)));

  const auto number = HexField("卡号", Chars(text, 4, 4));
  if (!number) return ReadFailed();
  Beep();
  CardNo = *number;
  Log("读卡成功,卡号为:" + std::to_string(CardNo));
  return true;
}

bool TVovODA32Vuduvozi::EraseCard() { return true; }

}  // namespace doorlock
