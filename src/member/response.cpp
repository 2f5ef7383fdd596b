#include "member/response.h"

namespace member {

std::string TResponse::FormatResponse() const {
  auto element = [](const char* name, const std::string& value) {
    return std::string("<") + name + ">" + value + "</" + name + ">";
  };
  // The element order differs from the field order; the hotel software reads
  // them in this one.
  return "<DoorResponse>" + element("RequestID", RequestID) + element("ResultCode", ResultCode) +
         element("ResultMessage", ResultMessage) + element("CardNo", CardNo) +
         element("ExpireDate", ExpireDate) + element("GuestName", GuestName) +
         element("Score", Score) + element("Password", Password) + "</DoorResponse>";
}

}  // namespace member
