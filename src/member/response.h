#pragma once
#include <string>

namespace member {

// The reply to one member card request. Values are inserted as they are,
// without escaping, as the hotel software has always read them.
class TResponse {
 public:
  std::string FormatResponse() const;

  std::string RequestID;
  std::string ResultCode;
  std::string ResultMessage;
  std::string CardNo;
  std::string Password;
  std::string ExpireDate;
  std::string GuestName;
  std::string Score;
};

}  // namespace member
