#pragma once
#include <cstdint>
#include <string>

namespace settings {

// The system settings: listening ports, administrator password, the
// door-lock time offsets and record store switches. One instance, loaded at
// start; requests read the fields, only the password change saves them.
class TSysOption {
 public:
  explicit TSysOption(std::string fileName);

  void Load();
  // Throws std::runtime_error("Unable to write to <path>").
  void Save() const;

  std::int32_t DoorlockPortNo = 0;
  bool UseNativeDoorlockDb = false;
  bool SaveDoorlockRecord = false;
  std::int32_t PolicePortNo = 0;
  std::int32_t MemberPortNo = 0;
  std::int32_t ScanPortNo = 0;
  std::string FileName;
  std::string Password;
  std::int32_t DelayMinutes = 0;
  std::int32_t DelayMinutes2 = 0;
};

extern TSysOption* SysOption;

}  // namespace settings
