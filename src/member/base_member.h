#pragma once
#include <cstdint>
#include <string>

namespace member {

// Channels: which card family a read or write is for.
inline constexpr std::int32_t kHotelMemberChannel = -1;
inline constexpr std::int32_t kAllianceChannel = 11;

// A member card reader. No driver ships with the server; one is stored in
// MemberCardDevice by whoever starts the member card kind. Callers hold the
// request lock around WriteCard and ReadCard.
class TBaseMember {
 public:
  virtual ~TBaseMember() = default;
  virtual void EditOption() {}
  virtual void OpenPort() {}
  virtual void ClosePort() {}
  virtual void Reserved() {}  // kept in its place for drivers; nothing calls it
  virtual void Beep() {}
  virtual bool WriteCard(const std::string& CardNo, const std::string& Data1,
                         const std::string& Data2, const std::string& Data3,
                         std::int32_t Channel) = 0;
  // The caller empties the five outputs before the call; the device sets
  // what it has, on success and failure alike.
  virtual bool ReadCard(bool ReadOption, std::string& CardNo, std::string& Password,
                        std::string& ExpireDate, std::string& GuestName, std::string& Score,
                        std::int32_t Channel) = 0;
};

// The current member card device; empty unless the member kind was started
// with one. Not owned.
extern TBaseMember* MemberCardDevice;

}  // namespace member
