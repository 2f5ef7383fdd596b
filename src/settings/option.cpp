#include "settings/option.h"

#include <utility>

#include "platform/ini_file.h"

namespace settings {

TOption* Option = nullptr;

namespace {
constexpr const char* kDoorlock = "DoorlockOption";
// Spelled with a capital L for this one key since the first installations;
// sections match without regard to case, so it is the same section.
constexpr const char* kCardNoSection = "DoorLockOption";
}  // namespace

TOption::TOption(std::string fileName) : FileName(std::move(fileName)) {}

void TOption::Load() {
  const platform::TIniFile ini(FileName);
  PortName = ini.ReadString(kDoorlock, "PortName", "COM1");
  HotelID = ini.ReadInteger(kDoorlock, "HotelID", 0);
  Bianhao = ini.ReadInteger(kDoorlock, "Bianhao", 0);
  LLock = ini.ReadBool(kDoorlock, "LLock", false);
  // Stored as a 32-bit integer; widened with its sign.
  CurrentCardNo = ini.ReadInteger(kCardNoSection, "CurrentCardNo", 1);
}

void TOption::Save() const {
  platform::TIniFile ini(FileName);
  ini.WriteString(kDoorlock, "PortName", PortName);
  ini.WriteInteger(kDoorlock, "HotelID", HotelID);
  ini.WriteInteger(kDoorlock, "Bianhao", Bianhao);
  ini.WriteBool(kDoorlock, "LLock", LLock);
  // Only the low 32 bits are kept in the file.
  ini.WriteInteger(kCardNoSection, "CurrentCardNo", static_cast<std::int32_t>(CurrentCardNo));
}

}  // namespace settings
