#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "doorlock/base_doorlock.h"

namespace testing_support {

// A door-lock device that records what it was asked and answers as told.
class TTestDoorlock : public doorlock::TBaseDoorlock {
 public:
  struct Write {
    std::string RegisterId, RoomBuildingCode, RoomFloorCode, RoomNo, GuestName;
    doorlock::TDateTime CheckInDate, CheckInTime, CheckOutDate, CheckOutTime;
    bool IsCopy;
  };

  bool OpenPort() override { return Calls.push_back("OpenPort"), true; }
  void Beep() override { Calls.push_back("Beep"); }
  bool ClosePort() override { return Calls.push_back("ClosePort"), true; }
  bool WriteCard(const std::string& RegisterId, const std::string& RoomBuildingCode,
                 const std::string& RoomFloorCode, const std::string& RoomNo,
                 const std::string& GuestName, doorlock::TDateTime CheckInDate,
                 doorlock::TDateTime CheckInTime, doorlock::TDateTime CheckOutDate,
                 doorlock::TDateTime CheckOutTime, bool IsCopy, std::int64_t& CardNo) override {
    Calls.push_back("WriteCard");
    Writes.push_back({RegisterId, RoomBuildingCode, RoomFloorCode, RoomNo, GuestName, CheckInDate,
                      CheckInTime, CheckOutDate, CheckOutTime, IsCopy});
    if (Succeed) CardNo = CardNoToGive;
    return Succeed;
  }
  bool ReadCard(std::int64_t& CardNo) override {
    Calls.push_back("ReadCard");
    if (Succeed) CardNo = CardNoToGive;
    return Succeed;
  }
  bool EraseCard() override { return Calls.push_back("EraseCard"), Succeed; }

  bool Succeed = true;
  std::int64_t CardNoToGive = 123;
  std::vector<std::string> Calls;
  std::vector<Write> Writes;
};

}  // namespace testing_support
