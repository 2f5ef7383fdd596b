#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "doorlock/base_doorlock.h"
#include "platform/encoder_library.h"

namespace doorlock {

// The driver of the lock vendor's USB card encoder: opens it, writes guest
// cards and reads every one back to verify it, reads the card lying on the
// encoder, and logs its progress and every reason for failure through
// settings::WriteLog. Reads HotelID, Bianhao and LLock from settings::Option
// at every call. Holds no state between calls and no lock: the caller
// serialises device calls.
class TVovODA32Vuduvozi : public TBaseDoorlock {
 public:
  // The encoder library of this build, kept in the executable's directory,
  // and a real 500 ms pause before each read-back.
  TVovODA32Vuduvozi();
  // For tests: any library, and a wait that need not sleep.
  TVovODA32Vuduvozi(std::unique_ptr<platform::TEncoderLibrary> library,
                    std::function<void(int ms)> wait);

  void EditOption() override;
  bool OpenPort() override;
  void Beep() override;
  bool ClosePort() override;
  bool WriteCard(const std::string& RegisterId, const std::string& RoomBuildingCode,
                 const std::string& RoomFloorCode, const std::string& RoomNo,
                 const std::string& GuestName, TDateTime CheckInDate, TDateTime CheckInTime,
                 TDateTime CheckOutDate, TDateTime CheckOutTime, bool IsCopy,
                 std::int64_t& CardNo) override;
  bool ReadCard(std::int64_t& CardNo) override;
  bool EraseCard() override;

 private:
  std::unique_ptr<platform::TEncoderLibrary> Library_;
  std::function<void(int ms)> Wait_;
};

}  // namespace doorlock
