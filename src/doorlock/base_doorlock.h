#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/date_time.h"

namespace doorlock {

using platform::TDateTime;

// The card encoder as the rest of the server sees it. Every operation of the
// base class fails cleanly (false, nothing touched), so a device that
// overrides nothing makes every card request fail. Callers hold the request
// lock around card operations; a device does not lock.
class TBaseDoorlock {
 public:
  virtual ~TBaseDoorlock() = default;

  virtual void EditOption() {}
  virtual bool OpenPort() { return false; }
  virtual void Beep() {}
  virtual bool ClosePort() { return false; }
  // Writes a guest card. The date comes from CheckInDate / CheckOutDate and
  // the time of day from CheckInTime / CheckOutTime; CardNo is set only when
  // the result is true.
  virtual bool WriteCard(const std::string& RegisterId, const std::string& RoomBuildingCode,
                         const std::string& RoomFloorCode, const std::string& RoomNo,
                         const std::string& GuestName, TDateTime CheckInDate,
                         TDateTime CheckInTime, TDateTime CheckOutDate, TDateTime CheckOutTime,
                         bool IsCopy, std::int64_t& CardNo) {
    return false;
  }
  virtual bool ReadCard(std::int64_t& CardNo) { return false; }
  virtual bool EraseCard() { return false; }
};

// The current device. Set once before the listener starts; not owned.
extern TBaseDoorlock* Doorlock;

// How a device shows its settings dialog: the window installs it, the
// headless server leaves it empty (EditOption then does nothing).
extern std::function<void()> ShowDoorlockOptionDialog;

}  // namespace doorlock
