#pragma once
#include <string>

#include "member/response.h"
#include "platform/connection.h"
#include "platform/transcript.h"

namespace member {

// Serves one member card request ("WriteMemberCard" or "ReadMemberCard") on
// MemberCardDevice. Lives for one request; the caller holds the request lock.
// A request that cannot be parsed, or lacks a required child, leaves
// ProcessMessage as an exception with no reply written.
class TMemberMessageHandler {
 public:
  explicit TMemberMessageHandler(platform::TTranscript* InfoMemo);

  void ProcessMessage(platform::TConnection& connection, const std::string& requestText);
  void SendResponse(platform::TConnection& connection, const TResponse& response);

 private:
  platform::TTranscript* InfoMemo_;
};

}  // namespace member
