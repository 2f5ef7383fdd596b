#pragma once
#include <string>

#include "platform/connection.h"
#include "platform/transcript.h"
#include "police/base_police.h"

namespace police {

// Serves one police request: whatever the request holds, the reply is the
// device's current guest. Lives for one request; the caller holds the
// request lock.
class TPoliceMessageHandler {
 public:
  explicit TPoliceMessageHandler(platform::TTranscript* InfoMemo);

  void ProcessMessage(platform::TConnection& connection, const std::string& requestText);
  // Builds, logs and writes the reply; throws when the guest's GenderID is
  // no integer, before anything is written.
  void SendResponse(platform::TConnection& connection, const TGuest* guest);

 private:
  platform::TTranscript* InfoMemo_;
};

// The <Guest> element of one guest. Values are inserted as they are, without
// escaping, as the hotel software has always read them. Throws
// std::invalid_argument when GenderID is no integer.
std::string GuestToXml(const TGuest& guest);

}  // namespace police
