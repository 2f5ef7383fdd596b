#pragma once
#include <cstdint>
#include <string>

#include "platform/encoder_library.h"

namespace platform {

// The lock vendor's own encoder libraries, PRORFL32.dll and d12c.dll, loaded
// when the object is made and released when it goes. Windows only. A missing
// library or entry point does not stop the program: the calls it would serve
// fail without touching their buffers, and LoadError says what is missing.
class TVendorEncoder : public TEncoderLibrary {
 public:
  TVendorEncoder();
  ~TVendorEncoder() override;
  TVendorEncoder(const TVendorEncoder&) = delete;
  TVendorEncoder& operator=(const TVendorEncoder&) = delete;

  std::int32_t IniUsbDevice() override;
  std::int32_t ReadBianHaoID(char* identity) override;
  std::int32_t Buzzer(std::int32_t hotelId, std::int32_t bianhao) override;
  std::int32_t RoomCard(std::int32_t hotelId, std::int32_t bianhao, const char* issueTime,
                        std::uint8_t deadlock, const char* validUntil, const char* room,
                        std::int32_t kind, char* cardBuffer) override;
  std::int32_t GetCardInfo(char* cardBuffer, std::int32_t hotelId,
                           std::int32_t bianhao) override;
  std::int32_t IniUsb() override;

  std::string LoadError() const override { return LoadError_; }

 private:
  // Module handles and entry points kept as opaque pointers so this header
  // needs no <windows.h>.
  void* Prorfl_ = nullptr;
  void* D12c_ = nullptr;
  void* IniUsbDevice_ = nullptr;
  void* ReadBianHaoID_ = nullptr;
  void* Buzzer_ = nullptr;
  void* RoomCard_ = nullptr;
  void* GetCardInfo_ = nullptr;
  void* IniUsb_ = nullptr;
  std::string LoadError_;
};

}  // namespace platform
