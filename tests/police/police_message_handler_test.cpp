#include "police/police_message_handler.h"

#include <gtest/gtest.h>

#include "support/kind_server.h"
#include "support/log_capture.h"
#include "support/test_police.h"

namespace police {
namespace {

TGuest SampleGuest() {
  TGuest guest;
  guest.RoomNo = "8808";
  guest.EnterTime = "2024-03-09 12:00:00";
  guest.IdCardNo = "110101199001011234";
  guest.Name = "张三";
  guest.Nationality = "汉";
  guest.GenderID = "1";
  guest.CountryCode = "CHN";
  guest.ProvinceCode = "11";
  guest.Address = "北京 A&B";
  guest.Birthday = "1990-01-01";
  return guest;
}

const std::string kGuestElement =
    "<Guest><RoomNo>8808</RoomNo><EnterTime>2024-03-09 12:00:00</EnterTime>"
    "<IdCardTypeID>11</IdCardTypeID><IdCardNo>110101199001011234</IdCardNo><Name>张三</Name>"
    "<Nationality>汉</Nationality><GenderID>1</GenderID><SalutationID>2</SalutationID>"
    "<CountryCode>CHN</CountryCode><ProvinceCode>11</ProvinceCode><Address>北京 A&B</Address>"
    "<Birthday>1990-01-01</Birthday></Guest>";

class PoliceServerTest : public ::testing::Test {
 protected:
  PoliceServerTest() { PoliceDevice = &Device; }
  ~PoliceServerTest() override { PoliceDevice = nullptr; }
  testing_support::LogCapture Log;
  testing_support::TTestPolice Device;
  testing_support::KindServer Server{2};
};

TEST_F(PoliceServerTest, AnswersEveryRequestWithTheCurrentGuest) {
  Device.Guest = SampleGuest();
  const std::string expected = "<PoliceResponse>" + kGuestElement + "</PoliceResponse>" + '\0';
  for (const std::string request : {"", "not xml", "<R type=\"ReadCard\"/>"}) {
    SCOPED_TRACE(request);
    EXPECT_EQ(Server.Send(request), expected);
  }
  EXPECT_EQ(Device.Reads, 3);
  auto lines = Log.Messages();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[4], "收到消息: \r\n<R type=\"ReadCard\"/>");
  EXPECT_EQ(lines[5], "返回结果: \r\n<PoliceResponse>" + kGuestElement + "</PoliceResponse>");
  EXPECT_EQ(Server.Lines.front(), "公安接口监听服务器已经启动...");
}

TEST_F(PoliceServerTest, NoGuestOrNoDeviceGivesTheEmptyResponse) {
  const std::string empty = std::string("<PoliceResponse></PoliceResponse>") + '\0';
  EXPECT_EQ(Server.Send("<R/>"), empty);
  PoliceDevice = nullptr;
  EXPECT_EQ(Server.Send("<R/>"), empty);
}

TEST_F(PoliceServerTest, SalutationFollowsGenderAndAGenderThatIsNoNumberGetsNoReply) {
  const struct {
    const char* gender;
    const char* salutation;  // nullptr: no reply at all
  } cases[] = {{"0", "1"}, {"1", "2"}, {"", nullptr}, {"M", nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.gender);
    TGuest guest = SampleGuest();
    guest.GenderID = c.gender;
    Device.Guest = guest;
    const std::string reply = Server.Send("<R/>");
    if (c.salutation == nullptr) {
      EXPECT_EQ(reply, "");
      EXPECT_EQ(Log.Messages().back().rfind("收到消息: ", 0), 0u);  // no result line
    } else {
      EXPECT_NE(reply.find(std::string("<SalutationID>") + c.salutation + "</SalutationID>"),
                std::string::npos);
    }
  }
}

}  // namespace
}  // namespace police
