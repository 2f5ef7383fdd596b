#include "doorlock_protocol/doorlock_message_handler.h"

#include <cctype>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <vector>

#include "doorlock/base_doorlock.h"
#include "doorlock_protocol/doorlock_record_manager.h"
#include "platform/date_time.h"
#include "platform/request_document.h"
#include "settings/log_file.h"
#include "settings/sys_option.h"

namespace doorlock_protocol {

using platform::AddMinutes;
using platform::Now;
using platform::TDateTime;
using settings::WriteLog;

namespace {

// A plain decimal number with an optional fraction and exponent, blanks
// around it allowed.
bool ParseNumber(const std::string& text, double& value) {
  std::size_t first = text.find_first_not_of(' ');
  std::size_t last = text.find_last_not_of(' ');
  if (first == std::string::npos) return false;
  const std::string t = text.substr(first, last - first + 1);
  std::size_t i = 0;
  if (t[i] == '+' || t[i] == '-') ++i;
  std::size_t digits = 0;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
    std::size_t expDigits = 0;
    while (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j]))) ++j, ++expDigits;
    if (expDigits == 0) return false;
    i = j;
  }
  if (i != t.size()) return false;
  value = std::strtod(t.c_str(), nullptr);
  return true;
}

}  // namespace

bool ReadYesNo(const std::string& text) {
  double number = 0;
  if (ParseNumber(text, number)) return number != 0;
  if (text.size() != 4) return false;
  for (std::size_t i = 0; i < 4; ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != "true"[i]) return false;
  }
  return true;
}

TDoorlockMessageHandler::TDoorlockMessageHandler(platform::TTranscript* InfoMemo)
    : InfoMemo_(InfoMemo) {}

void TDoorlockMessageHandler::ProcessMessage(platform::TConnection& connection,
                                             const std::string& requestText) {
  WriteLog("收到消息: \r\n" + requestText);

  const platform::TRequestDocument document(requestText);
  const std::string& type = document.Type();
  WriteLog("执行操作->");

  TResponse response;
  std::int64_t cardNo = 0;
  if (type == "IssueCard") {
    const bool written = DoIssueCard(document, cardNo);
    response.ResultCode = written ? "200" : "500";
    response.ResultMessage = written ? messages::kIssueOk : messages::kIssueFailed;
    response.CardNo = cardNo;
    WriteLog("房间(" + document.ChildText(4) + (written ? ")发卡成功" : ")发卡失败"));
    SendResponse(connection, response);
  } else if (type == "ReadCard") {
    if (DoReadCard(cardNo)) {
      response.ResultCode = "200";
      response.ResultMessage = messages::kReadOk;
      response.CardNo = cardNo;
      WriteLog("读卡成功，卡号为：" + std::to_string(cardNo));
    } else {
      response.ResultCode = "500";
      response.ResultMessage = messages::kReadFailed;
      WriteLog("读卡失败");
    }
    SendResponse(connection, response);
  } else if (type == "EraseCard") {
    if (DoEraseCard()) {
      response.ResultCode = "200";
      response.ResultMessage = messages::kEraseOk;
      WriteLog("注销卡成功");
    } else {
      response.ResultCode = "500";
      response.ResultMessage = messages::kEraseFailed;
      WriteLog("注销卡失败");
    }
    SendResponse(connection, response);
  }
  // Any other type is not an error: the client sees the connection close.
  WriteLog("完成一次操作");
}

bool TDoorlockMessageHandler::DoIssueCard(const platform::TRequestDocument& document,
                                          std::int64_t& cardNo) {
  if (document.ChildCount() < 11) {
    throw std::invalid_argument("an IssueCard request needs 11 children, this one has " +
                                std::to_string(document.ChildCount()));
  }
  auto value = [&](std::size_t position) { return document.ChildText(position); };
  const std::string registerId = value(1);
  const std::string buildingCode = value(2);
  const std::string floorCode = value(3);
  const std::string roomNo = value(4);
  const std::string guestName = value(5);
  const TDateTime checkIn = platform::StrToDateTime(value(6) + " " + value(7));
  const TDateTime checkOut = platform::StrToDateTime(value(8) + " " + value(9));
  const bool isCopy = ReadYesNo(value(10));

  const settings::TSysOption& sys = *settings::SysOption;
  const TDateTime adjustedCheckIn = AddMinutes(checkIn, -sys.DelayMinutes);
  const TDateTime adjustedCheckOut = AddMinutes(checkOut, sys.DelayMinutes2);
  TDoorlockRecordManager* store = DoorlockRecordManager;

  TDateTime cardStart = adjustedCheckIn;
  std::string roomKey;
  bool startKnown = true;
  if (sys.UseNativeDoorlockDb) {
    roomKey = buildingCode + floorCode + roomNo;
    if (!isCopy) {
      cardStart = AddMinutes(Now(), -sys.DelayMinutes);
    } else {
      std::optional<TDateTime> stored =
          store != nullptr ? store->GetLastCheckInTime(roomKey) : std::nullopt;
      if (!stored) {
        // A copy written with a start time of its own would lock the guest
        // out with the card they already hold: better no card at all.
        startKnown = false;
        cardStart = 0;
      } else if (*stored == 0) {
        cardStart = AddMinutes(Now(), -sys.DelayMinutes);
        store->InsertRoom(roomKey, cardStart);
      } else {
        cardStart = *stored;
      }
    }
  }

  bool written = false;
  doorlock::TBaseDoorlock* device = doorlock::Doorlock;
  if (device != nullptr && startKnown) {
    written = device->WriteCard(registerId, buildingCode, floorCode, roomNo, guestName, cardStart,
                                cardStart, adjustedCheckOut, adjustedCheckOut, isCopy, cardNo);
  }
  if (written && sys.UseNativeDoorlockDb && !isCopy && store != nullptr) {
    store->UpdateLastCheckInTime(roomKey, cardStart);
  }
  if (sys.SaveDoorlockRecord && store != nullptr) {
    store->InsertIssueRecord(registerId, std::to_string(cardNo), roomKey, 1, cardStart,
                             adjustedCheckIn, adjustedCheckOut, isCopy, guestName, Now());
  }
  return written;
}

bool TDoorlockMessageHandler::DoReadCard(std::int64_t& cardNo) {
  doorlock::TBaseDoorlock* device = doorlock::Doorlock;
  return device != nullptr && device->ReadCard(cardNo);
}

bool TDoorlockMessageHandler::DoEraseCard() {
  doorlock::TBaseDoorlock* device = doorlock::Doorlock;
  return device != nullptr && device->EraseCard();
}

void TDoorlockMessageHandler::SendResponse(platform::TConnection& connection,
                                           const TResponse& response) {
  platform::WriteReply(connection, response.FormatResponse());
}

}  // namespace doorlock_protocol
