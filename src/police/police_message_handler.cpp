#include "police/police_message_handler.h"

#include "platform/integer_text.h"
#include "settings/log_file.h"

namespace police {

std::string GuestToXml(const TGuest& guest) {
  // Worked out first: a GenderID that is no integer gives no element at all.
  const std::string salutation = std::to_string(
      static_cast<long long>(platform::StrToInt(guest.GenderID)) + 1);
  auto element = [](const char* name, const std::string& value) {
    return std::string("<") + name + ">" + value + "</" + name + ">";
  };
  return "<Guest>" + element("RoomNo", guest.RoomNo) + element("EnterTime", guest.EnterTime) +
         element("IdCardTypeID", "11") + element("IdCardNo", guest.IdCardNo) +
         element("Name", guest.Name) + element("Nationality", guest.Nationality) +
         element("GenderID", guest.GenderID) + element("SalutationID", salutation) +
         element("CountryCode", guest.CountryCode) + element("ProvinceCode", guest.ProvinceCode) +
         element("Address", guest.Address) + element("Birthday", guest.Birthday) + "</Guest>";
}

TPoliceMessageHandler::TPoliceMessageHandler(platform::TTranscript* InfoMemo)
    : InfoMemo_(InfoMemo) {}

void TPoliceMessageHandler::ProcessMessage(platform::TConnection& connection,
                                           const std::string& requestText) {
  settings::WriteLog("收到消息: \r\n" + requestText);
  // Without a device there is no guest to give: answered like a device that
  // has none, so the hotel software is not left waiting on a closed socket.
  TBasePolice* device = PoliceDevice;
  SendResponse(connection, device != nullptr ? device->ReadGuest() : nullptr);
}

void TPoliceMessageHandler::SendResponse(platform::TConnection& connection, const TGuest* guest) {
  const std::string reply = guest == nullptr
                                ? std::string("<PoliceResponse></PoliceResponse>")
                                : "<PoliceResponse>" + GuestToXml(*guest) + "</PoliceResponse>";
  settings::WriteLog("返回结果: \r\n" + reply);
  platform::WriteReply(connection, reply);
}

}  // namespace police
