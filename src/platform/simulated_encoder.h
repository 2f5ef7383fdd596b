#pragma once
#include <cstdint>
#include <string>

#include "platform/encoder_library.h"
#include "platform/ini_file.h"

namespace platform {

// A card encoder without hardware: the encoder and the card lying on it live
// in <directory>SimEncoder.ini, read at every call and written after every
// card write, so a tester can inspect a written card or change the situation
// (Connected, Present, Serial) while the server runs. Not thread-safe; the
// caller serialises device calls like it does for the real encoder.
class TSimulatedEncoder : public TEncoderLibrary {
 public:
  // directory ends with a separator (as ExecutableDirectory gives it).
  explicit TSimulatedEncoder(const std::string& directory);

  std::int32_t IniUsbDevice() override;
  std::int32_t ReadBianHaoID(char* identity) override;
  std::int32_t Buzzer(std::int32_t hotelId, std::int32_t bianhao) override;
  std::int32_t RoomCard(std::int32_t hotelId, std::int32_t bianhao, const char* issueTime,
                        std::uint8_t deadlock, const char* validUntil, const char* room,
                        std::int32_t kind, char* cardBuffer) override;
  std::int32_t GetCardInfo(char* cardBuffer, std::int32_t hotelId,
                           std::int32_t bianhao) override;
  std::int32_t IniUsb() override;

  const std::string& FileName() const { return Ini_.FileName(); }

 private:
  void AddMissingDefaults();

  TIniFile Ini_;
};

}  // namespace platform
