#pragma once
#include <string>

namespace police {

// One guest's registration data as a police guest-data device holds it.
// Owned by the device; callers only read it while they format it.
struct TGuest {
  std::string RoomNo;
  std::string EnterTime;
  std::string IdCardNo;
  std::string Name;
  std::string Nationality;
  std::string GenderID;  // must hold a decimal integer
  std::string CountryCode;
  std::string ProvinceCode;
  std::string Address;
  std::string Birthday;
};

// A police guest-data device. No device ships with the server; one is
// stored in PoliceDevice by whoever starts the police kind.
class TBasePolice {
 public:
  virtual ~TBasePolice() = default;
  virtual void EditOption() {}
  // The current guest, or nullptr when the device has none. Stays valid
  // until the next call.
  virtual const TGuest* ReadGuest() = 0;
};

// The current police device; empty unless the police kind was started with
// one. Not owned.
extern TBasePolice* PoliceDevice;

}  // namespace police
