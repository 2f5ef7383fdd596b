#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// The six calls of the card encoder vendor's libraries (PRORFL32.dll and
// d12c.dll). Texts are NUL-terminated GBK byte strings in caller-owned
// buffers; integers are 32-bit signed. Implemented by the simulated encoder
// and, on Windows, by the vendor's libraries loaded at run time.
class TEncoderLibrary {
 public:
  virtual ~TEncoderLibrary() = default;

  // 0 when the encoder opened, anything else is a failure.
  virtual std::int32_t IniUsbDevice() = 0;
  // identity: 81 bytes, 80 blanks then NUL; the library writes the encoder's
  // identity text into it.
  virtual std::int32_t ReadBianHaoID(char* identity) = 0;
  virtual std::int32_t Buzzer(std::int32_t hotelId, std::int32_t bianhao) = 0;
  // issueTime "yymmddhhnnss", validUntil "yymmddhhnn", room at most 8 bytes,
  // kind always 2; cardBuffer: 81 bytes, all blanks and no NUL on entry, the
  // library leaves NUL-terminated text whose first 16 characters identify
  // the data written.
  virtual std::int32_t RoomCard(std::int32_t hotelId, std::int32_t bianhao, const char* issueTime,
                                std::uint8_t deadlock, const char* validUntil, const char* room,
                                std::int32_t kind, char* cardBuffer) = 0;
  // cardBuffer: 81 bytes; receives the card information text.
  virtual std::int32_t GetCardInfo(char* cardBuffer, std::int32_t hotelId,
                                   std::int32_t bianhao) = 0;
  virtual std::int32_t IniUsb() = 0;

  // Lines worth one log line each about why the library is not usable (a
  // missing DLL or entry point), empty when it is usable.
  virtual std::string LoadError() const { return {}; }
};

// The encoder library of this build: the vendor's on Windows, the simulated
// one (keeping its state in SimEncoder.ini in the given directory) elsewhere.
std::unique_ptr<TEncoderLibrary> CreateEncoderLibrary(const std::string& directory);

// True when CreateEncoderLibrary gives the simulated encoder; the operator is
// told so at start ("模拟发卡器").
bool EncoderIsSimulated();

}  // namespace platform
