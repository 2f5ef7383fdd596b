#include "doorlock_protocol/response.h"

namespace doorlock_protocol {

std::string TResponse::FormatResponse() const {
  std::string text;
  text.reserve(160 + ResultMessage.size());
  text += "<DoorResponse><RequestID>";
  text += RequestID;
  text += "</RequestID><ResultCode>";
  text += ResultCode;
  text += "</ResultCode><ResultMessage>";
  text += ResultMessage;
  text += "</ResultMessage><CardNo>";
  text += std::to_string(CardNo);
  text += "</CardNo></DoorResponse>";
  return text;
}

}  // namespace doorlock_protocol
