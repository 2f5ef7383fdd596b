#pragma once
#include <cstdint>
#include <string>

namespace doorlock_protocol {

// The reply to one door-lock request. Values are inserted as they are,
// without XML escaping: the hotel software reads these replies as they have
// always been, and the door-lock values are fixed texts and numbers.
class TResponse {
 public:
  std::string FormatResponse() const;

  std::string RequestID;
  std::string ResultCode;
  std::string ResultMessage;
  std::int64_t CardNo = 0;
};

// The fixed result texts of the three operations.
namespace messages {
inline constexpr const char* kIssueOk = "发卡成功";
inline constexpr const char* kIssueFailed = "发卡失败";
inline constexpr const char* kReadOk = "读卡成功";
inline constexpr const char* kReadFailed = "读卡失败";
// The two cancel texts end with a blank, as the hotel software expects.
inline constexpr const char* kEraseOk = "注销卡成功 ";
inline constexpr const char* kEraseFailed = "注销卡失败 ";
}  // namespace messages

}  // namespace doorlock_protocol
