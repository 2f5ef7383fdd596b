#include "doorlock_protocol/response.h"

#include <gtest/gtest.h>

namespace doorlock_protocol {
namespace {

TEST(TResponse, FormatsTheThirteenPiecesWithNothingBetweenThem) {
  const struct {
    const char* code;
    const char* message;
    std::int64_t cardNo;
    const char* expected;
  } cases[] = {
      {"200", messages::kIssueOk, 123,
       "<DoorResponse><RequestID></RequestID><ResultCode>200</ResultCode>"
       "<ResultMessage>发卡成功</ResultMessage><CardNo>123</CardNo></DoorResponse>"},
      {"200", messages::kEraseOk, 0,
       "<DoorResponse><RequestID></RequestID><ResultCode>200</ResultCode>"
       "<ResultMessage>注销卡成功 </ResultMessage><CardNo>0</CardNo></DoorResponse>"},
      {"500", messages::kReadFailed, -42,
       "<DoorResponse><RequestID></RequestID><ResultCode>500</ResultCode>"
       "<ResultMessage>读卡失败</ResultMessage><CardNo>-42</CardNo></DoorResponse>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    TResponse response;
    response.ResultCode = c.code;
    response.ResultMessage = c.message;
    response.CardNo = c.cardNo;
    EXPECT_EQ(response.FormatResponse(), c.expected);
  }
}

TEST(TResponse, InsertsValuesWithoutEscaping) {
  TResponse response;
  response.RequestID = "a<b&c";
  EXPECT_NE(response.FormatResponse().find("<RequestID>a<b&c</RequestID>"), std::string::npos);
}

}  // namespace
}  // namespace doorlock_protocol
