#pragma once
#include <cstdint>
#include <string>

namespace settings {

// The card encoder settings. One instance, loaded at start; the encoder
// driver reads HotelID, Bianhao and LLock at every call, only the door-lock
// settings dialog saves them.
class TOption {
 public:
  explicit TOption(std::string fileName);

  void Load();
  // Throws std::runtime_error("Unable to write to <path>").
  void Save() const;

  std::string FileName;
  std::string PortName;
  std::int32_t HotelID = 0;
  std::int32_t Bianhao = 0;
  bool LLock = false;
  std::int64_t CurrentCardNo = 0;
};

extern TOption* Option;

}  // namespace settings
