#include "platform/vendor_encoder.h"

#include <windows.h>

#include <string>

namespace platform {

namespace {

// The vendor's entry points: stdcall, 32-bit signed integers, texts as
// NUL-terminated byte strings. The deadlock permission is a one-byte Boolean
// that travels in a full argument slot.
using IniUsbDeviceFn = std::int32_t(__stdcall*)();
using ReadBianHaoIDFn = std::int32_t(__stdcall*)(char* identity);
using BuzzerFn = std::int32_t(__stdcall*)(std::int32_t hotelId, std::int32_t bianhao);
using RoomCardFn = std::int32_t(__stdcall*)(std::int32_t hotelId, std::int32_t bianhao,
                                             const char* issueTime, std::uint8_t deadlock,
                                             const char* validUntil, const char* room,
                                             std::int32_t kind, char* cardBuffer);
using GetCardInfoFn = std::int32_t(__stdcall*)(char* cardBuffer, std::int32_t hotelId,
                                                std::int32_t bianhao);
using IniUsbFn = std::int32_t(__stdcall*)();

// What the calls answer when their entry point is missing: not 0, which the
// driver would take for an opened encoder.
constexpr std::int32_t kMissingEntry = -1;

void AddLine(std::string& lines, const std::string& line) {
  if (!lines.empty()) lines += '\n';
  lines += line;
}

HMODULE Load(const char* name, std::string& error) {
  HMODULE module = LoadLibraryA(name);
  if (module == nullptr)
    AddLine(error, std::string("无法加载发卡器动态库 ") + name + "（错误 " +
                       std::to_string(GetLastError()) + "）");
  return module;
}

// A stdcall export may carry its decorated name ("_RoomCard@32") when the
// library was built without a .def file; both spellings are accepted.
void* Find(HMODULE module, const char* library, const char* name, int argumentBytes,
           std::string& error) {
  if (module == nullptr) return nullptr;
  const std::string decorated = std::string(name) + "@" + std::to_string(argumentBytes);
  for (const std::string& candidate : {std::string(name), "_" + decorated, decorated}) {
    if (FARPROC entry = GetProcAddress(module, candidate.c_str()))
      return reinterpret_cast<void*>(entry);
  }
  AddLine(error, std::string(library) + " 缺少函数 " + name);
  return nullptr;
}

}  // namespace

TVendorEncoder::TVendorEncoder() {
  HMODULE prorfl = Load("PRORFL32.dll", LoadError_);
  HMODULE d12c = Load("d12c.dll", LoadError_);
  Prorfl_ = prorfl;
  D12c_ = d12c;
  IniUsbDevice_ = Find(prorfl, "PRORFL32.dll", "IniUsbDevice", 0, LoadError_);
  ReadBianHaoID_ = Find(prorfl, "PRORFL32.dll", "ReadBianHaoID", 4, LoadError_);
  Buzzer_ = Find(prorfl, "PRORFL32.dll", "Buzzer", 8, LoadError_);
  RoomCard_ = Find(prorfl, "PRORFL32.dll", "RoomCard", 32, LoadError_);
  GetCardInfo_ = Find(prorfl, "PRORFL32.dll", "GetCardInfo", 12, LoadError_);
  IniUsb_ = Find(d12c, "d12c.dll", "IniUsb", 0, LoadError_);
}

TVendorEncoder::~TVendorEncoder() {
  if (D12c_ != nullptr) FreeLibrary(static_cast<HMODULE>(D12c_));
  if (Prorfl_ != nullptr) FreeLibrary(static_cast<HMODULE>(Prorfl_));
}

std::int32_t TVendorEncoder::IniUsbDevice() {
  if (IniUsbDevice_ == nullptr) return kMissingEntry;
  return reinterpret_cast<IniUsbDeviceFn>(IniUsbDevice_)();
}

std::int32_t TVendorEncoder::ReadBianHaoID(char* identity) {
  if (ReadBianHaoID_ == nullptr) return kMissingEntry;
  return reinterpret_cast<ReadBianHaoIDFn>(ReadBianHaoID_)(identity);
}

std::int32_t TVendorEncoder::Buzzer(std::int32_t hotelId, std::int32_t bianhao) {
  if (Buzzer_ == nullptr) return kMissingEntry;
  return reinterpret_cast<BuzzerFn>(Buzzer_)(hotelId, bianhao);
}

std::int32_t TVendorEncoder::RoomCard(std::int32_t hotelId, std::int32_t bianhao,
                                      const char* issueTime, std::uint8_t deadlock,
                                      const char* validUntil, const char* room,
                                      std::int32_t kind, char* cardBuffer) {
  if (RoomCard_ == nullptr) return kMissingEntry;
  return reinterpret_cast<RoomCardFn>(RoomCard_)(hotelId, bianhao, issueTime, deadlock,
                                                 validUntil, room, kind, cardBuffer);
}

std::int32_t TVendorEncoder::GetCardInfo(char* cardBuffer, std::int32_t hotelId,
                                         std::int32_t bianhao) {
  if (GetCardInfo_ == nullptr) return kMissingEntry;
  return reinterpret_cast<GetCardInfoFn>(GetCardInfo_)(cardBuffer, hotelId, bianhao);
}

std::int32_t TVendorEncoder::IniUsb() {
  if (IniUsb_ == nullptr) return kMissingEntry;
  return reinterpret_cast<IniUsbFn>(IniUsb_)();
}

}  // namespace platform
