#include "member/member_message_handler.h"

#include <cstdint>
#include <optional>

#include "member/base_member.h"
#include "platform/integer_text.h"
#include "platform/request_document.h"
#include "settings/log_file.h"

namespace member {

using settings::WriteLog;

namespace {

// The channel child is optional and forgiving: absent or no integer means
// the hotel's own member card.
std::int32_t ChannelAt(const platform::TRequestDocument& document, std::size_t position) {
  if (document.ChildCount() <= position) return kHotelMemberChannel;
  return platform::StrToIntDef(document.ChildText(position), kHotelMemberChannel);
}

}  // namespace

TMemberMessageHandler::TMemberMessageHandler(platform::TTranscript* InfoMemo)
    : InfoMemo_(InfoMemo) {}

void TMemberMessageHandler::ProcessMessage(platform::TConnection& connection,
                                           const std::string& requestText) {
  WriteLog("收到消息: \r\n" + requestText);
  const platform::TRequestDocument document(requestText);
  TResponse response;
  TBaseMember* device = MemberCardDevice;

  if (document.Type() == "WriteMemberCard") {
    // Every required child is read before the device is touched; a missing
    // one throws out of ChildText.
    const std::string cardNo = document.ChildText(1);
    const std::string data1 = document.ChildText(2);
    const std::string data2 = document.ChildText(3);
    const std::string data3 = document.ChildText(4);
    const std::int32_t channel = ChannelAt(document, 5);
    const bool written = device != nullptr && device->WriteCard(cardNo, data1, data2, data3, channel);
    response.ResultCode = written ? "200" : "500";
    response.ResultMessage = written ? "写卡成功" : "写卡失败";
    response.CardNo = cardNo;
    WriteLog((written ? "写卡成功,卡号为:" : "写卡失败,卡号为:") + cardNo);
    SendResponse(connection, response);
  } else if (document.Type() == "ReadMemberCard") {
    const bool readOption = platform::StrToInt(document.ChildText(1)) == 1;
    const std::int32_t channel = ChannelAt(document, 2);
    std::string cardNo, password, expireDate, guestName, score;
    const bool read = device != nullptr && device->ReadCard(readOption, cardNo, password, expireDate,
                                                            guestName, score, channel);
    if (read) {
      response.ResultCode = "200";
      response.ResultMessage = "读卡成功";
      response.CardNo = cardNo;
      response.Password = password;
      response.ExpireDate = expireDate;
      response.GuestName = guestName;
      response.Score = score;
      WriteLog("读卡成功，卡号为：" + cardNo);
    } else {
      response.ResultCode = "500";
      response.ResultMessage = "读卡失败";
      WriteLog("读卡失败");
    }
    SendResponse(connection, response);
  }
}

void TMemberMessageHandler::SendResponse(platform::TConnection& connection,
                                         const TResponse& response) {
  platform::WriteReply(connection, response.FormatResponse());
}

}  // namespace member
