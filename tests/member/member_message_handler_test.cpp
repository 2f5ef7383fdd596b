#include "member/member_message_handler.h"

#include <gtest/gtest.h>

#include "member/base_member.h"
#include "support/kind_server.h"
#include "support/log_capture.h"
#include "support/test_member.h"

namespace member {
namespace {

std::string Reply(const std::string& code, const std::string& message, const std::string& cardNo,
                  const std::string& expire = "", const std::string& guest = "",
                  const std::string& score = "", const std::string& password = "") {
  return "<DoorResponse><RequestID></RequestID><ResultCode>" + code + "</ResultCode><ResultMessage>" +
         message + "</ResultMessage><CardNo>" + cardNo + "</CardNo><ExpireDate>" + expire +
         "</ExpireDate><GuestName>" + guest + "</GuestName><Score>" + score + "</Score><Password>" +
         password + "</Password></DoorResponse>" + std::string(1, '\0');
}

class MemberServerTest : public ::testing::Test {
 protected:
  MemberServerTest() { MemberCardDevice = &Device; }
  ~MemberServerTest() override { MemberCardDevice = nullptr; }
  testing_support::LogCapture Log;
  testing_support::TTestMember Device;
  testing_support::KindServer Server{3};
};

TEST_F(MemberServerTest, WritesWithTheChannelRules) {
  const struct {
    std::string request;
    std::int32_t channel;
  } cases[] = {
      {"<R type=\"WriteMemberCard\"><a/><b>C1</b><c>d1</c><d>d2</d><e>d3</e></R>", -1},
      {"<R type=\" WriteMemberCard \"><a/><b>C1</b><c>d1</c><d>d2</d><e>d3</e><f>11</f></R>", 11},
      {"<R type=\"WriteMemberCard\"><a/><b>C1</b><c>d1</c><d>d2</d><e>d3</e><f>abc</f></R>", -1},
      {"<R type=\"WriteMemberCard\"><a/><b>C1</b><c>d1</c><d>d2</d><e>d3</e><f>7</f></R>", 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.request);
    EXPECT_EQ(Server.Send(c.request), Reply("200", "写卡成功", "C1"));
    ASSERT_FALSE(Device.Calls.empty());
    const auto& call = Device.Calls.back();
    EXPECT_EQ(call.Name, "WriteCard");
    EXPECT_EQ(call.CardNo + call.Data1 + call.Data2 + call.Data3, "C1d1d2d3");
    EXPECT_EQ(call.Channel, c.channel);
  }
  EXPECT_EQ(Log.Messages().back(), "写卡成功,卡号为:C1");
}

TEST_F(MemberServerTest, ReadsWithTheOptionAndChannelRules) {
  const struct {
    std::string request;
    bool readOption;
    std::int32_t channel;
  } cases[] = {
      {"<R type=\"ReadMemberCard\"><a/><b>1</b></R>", true, -1},
      {"<R type=\"ReadMemberCard\"><a/><b>0</b><c>11</c></R>", false, 11},
      {"<R type=\"ReadMemberCard\"><a/><b>2</b><c>x</c></R>", false, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.request);
    EXPECT_EQ(Server.Send(c.request), Reply("200", "读卡成功", "M001", "2027-01-01", "王五", "300", "pw"));
    EXPECT_EQ(Device.Calls.back().ReadOption, c.readOption);
    EXPECT_EQ(Device.Calls.back().Channel, c.channel);
  }
  EXPECT_EQ(Log.Messages().back(), "读卡成功，卡号为：M001");
  Device.Succeed = false;
  EXPECT_EQ(Server.Send("<R type=\"ReadMemberCard\"><a/><b>1</b></R>"), Reply("500", "读卡失败", ""));
  EXPECT_EQ(Log.Messages().back(), "读卡失败");
}

TEST_F(MemberServerTest, IncompleteRequestsAndOtherTypesGetNoReplyAndNoDeviceCall) {
  for (const std::string request : {
           "<R type=\"WriteMemberCard\"><a/><b>C1</b><c/><d/></R>",  // four children
           "<R type=\"ReadMemberCard\"><a/></R>",
           "<R type=\"ReadMemberCard\"><a/><b>y</b></R>",  // read option is no integer
           "<R type=\"writemembercard\"><a/><b/><c/><d/><e/></R>",
           "<R type=\"ReadMemberCard\">",
       }) {
    SCOPED_TRACE(request);
    EXPECT_EQ(Server.Send(request), "");
  }
  EXPECT_TRUE(Device.Calls.empty());
}

TEST_F(MemberServerTest, WithoutADeviceBothOperationsFail) {
  MemberCardDevice = nullptr;
  EXPECT_EQ(Server.Send("<R type=\"WriteMemberCard\"><a/><b>1&lt;2</b><c/><d/><e/></R>"),
            Reply("500", "写卡失败", "1<2"));
  EXPECT_EQ(Log.Messages().back(), "写卡失败,卡号为:1<2");
  EXPECT_EQ(Server.Send("<R type=\"ReadMemberCard\"><a/><b>1</b></R>"), Reply("500", "读卡失败", ""));
  EXPECT_TRUE(Device.Calls.empty());
}

}  // namespace
}  // namespace member
