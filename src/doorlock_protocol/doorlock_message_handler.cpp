#include "doorlock_protocol/doorlock_message_handler.h"

#include <cctype>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <vector>

#include "doorlock/base_doorlock.h"
#include "doorlock_protocol/doorlock_record_manager.h"
#include "platform/date_time.h"
#include "settings/log_file.h"
#include "settings/sys_option.h"

namespace doorlock_protocol {

using platform::AddMinutes;
using platform::Now;
using platform::TDateTime;
using settings::WriteLog;

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string Trim(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlankOrControl(text[begin])) ++begin;
  while (end > begin && IsBlankOrControl(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// The operation's name; the attribute's own name matches in any case.
std::string RequestType(const pugi::xml_node& root) {
  for (const pugi::xml_attribute& attribute : root.attributes()) {
    if (EqualsIgnoringCase(attribute.name(), "type")) return Trim(attribute.value());
  }
  return {};
}

// Children count by position only; their names are never looked at.
std::vector<pugi::xml_node> ElementChildren(const pugi::xml_node& root) {
  std::vector<pugi::xml_node> children;
  for (const pugi::xml_node& child : root.children()) {
    if (child.type() == pugi::node_element) children.push_back(child);
  }
  return children;
}

// A plain decimal number with an optional fraction and exponent, blanks
// around it allowed.
bool ParseNumber(const std::string& text, double& value) {
  std::string t = Trim(text);
  if (t.empty()) return false;
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
  return EqualsIgnoringCase(text, "true");
}

TDoorlockMessageHandler::TDoorlockMessageHandler(platform::TTranscript* InfoMemo)
    : InfoMemo_(InfoMemo) {}

void TDoorlockMessageHandler::ProcessMessage(platform::TConnection& connection,
                                             const std::string& requestText) {
  WriteLog("收到消息: \r\n" + requestText);

  pugi::xml_document document;
  pugi::xml_parse_result parsed =
      document.load_buffer(requestText.data(), requestText.size(), pugi::parse_default,
                           pugi::encoding_utf8);
  pugi::xml_node root = document.document_element();
  if (!parsed || !root) {
    throw std::invalid_argument(std::string("the request is not an XML document: ") +
                                parsed.description());
  }
  const std::string type = RequestType(root);
  WriteLog("执行操作->");

  TResponse response;
  std::int64_t cardNo = 0;
  if (type == "IssueCard") {
    const bool written = DoIssueCard(root, cardNo);
    response.ResultCode = written ? "200" : "500";
    response.ResultMessage = written ? messages::kIssueOk : messages::kIssueFailed;
    response.CardNo = cardNo;
    const std::string room = ElementChildren(root)[4].child_value();
    WriteLog("房间(" + room + (written ? ")发卡成功" : ")发卡失败"));
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

bool TDoorlockMessageHandler::DoIssueCard(const pugi::xml_node& root, std::int64_t& cardNo) {
  const std::vector<pugi::xml_node> children = ElementChildren(root);
  if (children.size() < 11) {
    throw std::invalid_argument("an IssueCard request needs 11 children, this one has " +
                                std::to_string(children.size()));
  }
  auto value = [&](std::size_t position) { return std::string(children[position].child_value()); };
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
  std::string bytes = response.FormatResponse();
  bytes.push_back('\0');
  try {
    connection.Write(bytes);
  } catch (...) {
    // The client went away; the request was still served and is logged.
  }
}

}  // namespace doorlock_protocol
