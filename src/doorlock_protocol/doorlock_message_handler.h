#pragma once
#include <cstdint>
#include <string>

#include "doorlock_protocol/response.h"
#include "platform/connection.h"
#include "platform/request_document.h"
#include "platform/transcript.h"

namespace doorlock_protocol {

// Serves one door-lock request: parses it, issues, reads or cancels a card on
// the current device, keeps the room and issue records, logs what it did and
// sends the one reply. Lives for one request; the caller holds the request
// lock around ProcessMessage. A request that cannot be parsed leaves
// ProcessMessage as an exception, with no reply written.
class TDoorlockMessageHandler {
 public:
  explicit TDoorlockMessageHandler(platform::TTranscript* InfoMemo);

  void ProcessMessage(platform::TConnection& connection, const std::string& requestText);

  // Throws std::invalid_argument when the request has fewer than 11 children
  // or a date-time that does not convert, before any device or store call.
  bool DoIssueCard(const platform::TRequestDocument& document, std::int64_t& cardNo);
  bool DoReadCard(std::int64_t& cardNo);
  bool DoEraseCard();
  void SendResponse(platform::TConnection& connection, const TResponse& response);

 private:
  platform::TTranscript* InfoMemo_;  // kept for the shell's contract; never written
};

// The yes/no reading of a request value: a number is yes when not zero,
// "true"/"false" in any case, anything else no.
bool ReadYesNo(const std::string& text);

}  // namespace doorlock_protocol
