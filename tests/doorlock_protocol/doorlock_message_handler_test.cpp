#include "doorlock_protocol/doorlock_message_handler.h"

#include <gtest/gtest.h>

#include <cmath>

#include "doorlock/base_doorlock.h"
#include "platform/date_time.h"
#include "settings/sys_option.h"
#include "support/log_capture.h"
#include "support/test_doorlock.h"
#include "support/test_store.h"

namespace doorlock_protocol {
namespace {

using platform::StrToDateTime;
using platform::TDateTime;
using testing_support::QueryRows;

class RecordingConnection : public platform::TConnection {
 public:
  void Write(std::string_view bytes) override { Bytes.append(bytes); }
  std::string Bytes;
};

class FailingConnection : public platform::TConnection {
 public:
  void Write(std::string_view) override { throw std::runtime_error("connection reset"); }
};

std::string IssueRequest(const std::string& building, const std::string& floor,
                         const std::string& room, const std::string& copy,
                         const std::string& checkIn = "2024-03-09", const std::string& inTime = "12:00",
                         const std::string& checkOut = "2024-03-10", const std::string& outTime = "12:00",
                         const std::string& guest = "张三") {
  return "<R type=\"IssueCard\"><a/><b>REG1</b><c>" + building + "</c><d>" + floor + "</d><e>" +
         room + "</e><f>" + guest + "</f><g>" + checkIn + "</g><h>" + inTime + "</h><i>" +
         checkOut + "</i><j>" + outTime + "</j><k>" + copy + "</k></R>";
}

std::string Reply(const char* code, const char* message, const char* cardNo) {
  return std::string("<DoorResponse><RequestID></RequestID><ResultCode>") + code +
         "</ResultCode><ResultMessage>" + message + "</ResultMessage><CardNo>" + cardNo +
         "</CardNo></DoorResponse>" + std::string(1, '\0');
}

// Within a second of each other: "now" is read afresh inside the handler.
bool NearlyEqual(TDateTime a, TDateTime b) { return std::fabs(a - b) * 86400 < 2; }

class DoorlockMessageHandlerTest : public ::testing::Test {
 protected:
  DoorlockMessageHandlerTest() : Sys("/nonexistent/Option.ini") {
    Sys.Load();
    PreviousSys = settings::SysOption;
    settings::SysOption = &Sys;
    PreviousDevice = doorlock::Doorlock;
    doorlock::Doorlock = &Device;
  }
  ~DoorlockMessageHandlerTest() override {
    settings::SysOption = PreviousSys;
    doorlock::Doorlock = PreviousDevice;
  }

  // Runs one request; true when it ended normally.
  bool Process(const std::string& text) {
    TDoorlockMessageHandler handler(nullptr);
    Connection.Bytes.clear();
    try {
      handler.ProcessMessage(Connection, text);
      return true;
    } catch (const std::exception&) {
      return false;
    }
  }

  testing_support::LogCapture Log;
  testing_support::TestStore Db;
  testing_support::TTestDoorlock Device;
  settings::TSysOption Sys;
  RecordingConnection Connection;
  settings::TSysOption* PreviousSys;
  doorlock::TBaseDoorlock* PreviousDevice;
};

TEST_F(DoorlockMessageHandlerTest, AnswersEachOperationAndOutcomeWithItsBytesAndLogLines) {
  const struct {
    std::string request;
    bool succeed;
    std::string reply;
    std::string outcomeLine;
  } cases[] = {
      {IssueRequest("01", "02", "8808", "0"), true, Reply("200", "发卡成功", "123"), "房间(8808)发卡成功"},
      {IssueRequest("01", "02", "8808", "0"), false, Reply("500", "发卡失败", "0"), "房间(8808)发卡失败"},
      {"<R type=\"ReadCard\"/>", true, Reply("200", "读卡成功", "123"), "读卡成功，卡号为：123"},
      {"<R type=\"ReadCard\"/>", false, Reply("500", "读卡失败", "0"), "读卡失败"},
      {"<R type=\"EraseCard\"/>", true, Reply("200", "注销卡成功 ", "0"), "注销卡成功"},
      {"<R type=\"EraseCard\"/>", false, Reply("500", "注销卡失败 ", "0"), "注销卡失败"},
      {"<?xml version=\"1.0\"?>\r\n<Any TYPE=\" ReadCard\t\">\r\n</Any>", true,
       Reply("200", "读卡成功", "123"), "读卡成功，卡号为：123"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.request + (c.succeed ? " (device succeeds)" : " (device fails)"));
    Device.Succeed = c.succeed;
    auto before = Log.Messages().size();
    ASSERT_TRUE(Process(c.request));
    EXPECT_EQ(Connection.Bytes, c.reply);
    auto lines = Log.Messages();
    lines.erase(lines.begin(), lines.begin() + static_cast<long>(before));
    EXPECT_EQ(lines, (std::vector<std::string>{"收到消息: \r\n" + c.request, "执行操作->",
                                               c.outcomeLine, "完成一次操作"}));
  }
}

TEST_F(DoorlockMessageHandlerTest, UnknownTypeGetsNoReplyButIsLogged) {
  for (const std::string type : {"Ping", "issuecard", ""}) {
    SCOPED_TRACE(type);
    auto before = Log.Messages().size();
    ASSERT_TRUE(Process("<R type=\"" + type + "\"/>"));
    EXPECT_EQ(Connection.Bytes, "");
    auto lines = Log.Messages();
    EXPECT_EQ(lines.size() - before, 3u);
    EXPECT_EQ(lines.back(), "完成一次操作");
  }
  EXPECT_TRUE(Device.Calls.empty());
}

TEST_F(DoorlockMessageHandlerTest, UnusableRequestsEndWithoutReplyOrDeviceCall) {
  const struct {
    std::string text;
    std::size_t logLines;  // parse errors stop after the first line
  } cases[] = {
      {"", 1},
      {"not xml", 1},
      {"<R type=\"ReadCard\">", 1},
      {"<R type=\"ReadCard\"></S>", 1},
      {"<R type=\"IssueCard\"><a/><b/><c/><d/><e/><f/><g/><h/><i/><j/></R>", 2},  // 10 children
      {IssueRequest("01", "02", "03", "0", "2024-02-30"), 2},
      {IssueRequest("01", "02", "03", "0", "2024-03-09", "25:00"), 2},
      {IssueRequest("01", "02", "03", "0", "2024-03-09", "12:00", "10/03/2024"), 2},
  };
  Sys.SaveDoorlockRecord = true;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    auto before = Log.Messages().size();
    EXPECT_FALSE(Process(c.text));
    EXPECT_EQ(Connection.Bytes, "");
    EXPECT_EQ(Log.Messages().size() - before, c.logLines);
  }
  EXPECT_TRUE(Device.Calls.empty());
  EXPECT_TRUE(QueryRows(Db.Path(), "select * from T_IssueCardRecord").empty());
}

TEST_F(DoorlockMessageHandlerTest, DelaysMoveTheCardStartEarlierAndTheEndLater) {
  Sys.DelayMinutes = 30;
  Sys.DelayMinutes2 = 60;
  ASSERT_TRUE(Process(IssueRequest("01", "02", "03", "0", "2024-03-09", "12:00", "2024-03-10", "12:00")));
  ASSERT_EQ(Device.Writes.size(), 1u);
  const auto& w = Device.Writes[0];
  EXPECT_EQ(platform::DateTimeToStr(w.CheckInDate), "2024-03-09 11:30:00");
  EXPECT_EQ(w.CheckInTime, w.CheckInDate);
  EXPECT_EQ(platform::DateTimeToStr(w.CheckOutDate), "2024-03-10 13:00:00");
  EXPECT_EQ(w.CheckOutTime, w.CheckOutDate);
  EXPECT_EQ(w.RoomNo, "03");
  EXPECT_EQ(w.RegisterId, "REG1");
  EXPECT_FALSE(w.IsCopy);
  EXPECT_TRUE(QueryRows(Db.Path(), "select * from T_Room").empty());  // store not in use
}

TEST_F(DoorlockMessageHandlerTest, NonCopyWithStoreStartsNowAndRemembersTheStart) {
  Sys.UseNativeDoorlockDb = true;
  Sys.DelayMinutes = 15;
  // A check-in days away plays no part: the card starts now.
  ASSERT_TRUE(Process(IssueRequest("01", "02", "03", "0", "2030-01-01")));
  const TDateTime expected = platform::AddMinutes(platform::Now(), -15);
  ASSERT_EQ(Device.Writes.size(), 1u);
  EXPECT_TRUE(NearlyEqual(Device.Writes[0].CheckInDate, expected));
  auto stored = Db.Store().GetLastCheckInTime("010203");
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(*stored, Device.Writes[0].CheckInDate);
}

TEST_F(DoorlockMessageHandlerTest, FailedNonCopyLeavesTheRoomAsItWas) {
  Sys.UseNativeDoorlockDb = true;
  Db.Store().InsertRoom("010203", 45000.0);
  Device.Succeed = false;
  ASSERT_TRUE(Process(IssueRequest("01", "02", "03", "0")));
  EXPECT_EQ(Db.Store().GetLastCheckInTime("010203"), 45000.0);
}

TEST_F(DoorlockMessageHandlerTest, CopyOfARecordedRoomKeepsItsStoredStart) {
  Sys.UseNativeDoorlockDb = true;
  Db.Store().InsertRoom("010203", 45000.5);
  ASSERT_TRUE(Process(IssueRequest("01", "02", "03", "1")));
  ASSERT_EQ(Device.Writes.size(), 1u);
  EXPECT_EQ(Device.Writes[0].CheckInDate, 45000.5);
  EXPECT_TRUE(Device.Writes[0].IsCopy);
  EXPECT_EQ(QueryRows(Db.Path(), "select RoomNo, LastCheckInTime from T_Room"),
            std::vector<std::string>{"010203|45000.5"});
}

TEST_F(DoorlockMessageHandlerTest, CopyOfAnUnrecordedRoomRecordsItBeforeWritingEvenWhenTheWriteFails) {
  Sys.UseNativeDoorlockDb = true;
  Device.Succeed = false;
  ASSERT_TRUE(Process(IssueRequest("01", "02", "03", "true")));
  auto lines = Log.Messages();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[2], "新建房间010203");
  EXPECT_EQ(lines[3], "房间(03)发卡失败");
  auto stored = Db.Store().GetLastCheckInTime("010203");
  ASSERT_TRUE(stored.has_value());
  EXPECT_TRUE(NearlyEqual(*stored, platform::Now()));
  EXPECT_EQ(Device.Writes[0].CheckInDate, *stored);
}

TEST_F(DoorlockMessageHandlerTest, CopyWhoseRoomLookupFailsWritesNoCard) {
  Sys.UseNativeDoorlockDb = true;
  Sys.SaveDoorlockRecord = true;
  testing_support::ExecSql(Db.Path(), "drop table T_Room");
  ASSERT_TRUE(Process(IssueRequest("01", "02", "03", "1")));
  EXPECT_EQ(Connection.Bytes, Reply("500", "发卡失败", "0"));
  EXPECT_TRUE(Device.Calls.empty());
  auto lines = Log.Messages();
  EXPECT_EQ(lines[2], "no such table: T_Room");
  EXPECT_EQ(lines[3], "房间(03)发卡失败");
  EXPECT_EQ(QueryRows(Db.Path(), "select CardNo, RoomNo, IsCopy from T_IssueCardRecord"),
            std::vector<std::string>{"0|010203|1"});
}

TEST_F(DoorlockMessageHandlerTest, IssueRecordIsKeptForFailedWritesWithAnEmptyRoomWithoutTheStore) {
  Sys.SaveDoorlockRecord = true;
  Sys.DelayMinutes = 30;
  Device.Succeed = false;
  ASSERT_TRUE(Process(IssueRequest("01", "02", "03", "0")));
  auto rows = QueryRows(Db.Path(),
                        "select RegisterId, CardNo, RoomNo, CardType, LastCheckInTime = CheckInTime,"
                        " IsCopy, GuestName from T_IssueCardRecord");
  EXPECT_EQ(rows, std::vector<std::string>{"REG1|0||1|1|0|张三"});
  auto times = QueryRows(Db.Path(), "select printf('%.17g|%.17g', CheckInTime, CheckOutTime) from T_IssueCardRecord");
  ASSERT_EQ(times.size(), 1u);
  const auto bar = times[0].find('|');
  EXPECT_DOUBLE_EQ(std::stod(times[0].substr(0, bar)), StrToDateTime("2024-03-09 11:30"));
  EXPECT_DOUBLE_EQ(std::stod(times[0].substr(bar + 1)), StrToDateTime("2024-03-10 12:00"));
}

TEST_F(DoorlockMessageHandlerTest, WithoutADeviceEveryOperationFailsAndTheRecordIsStillKept) {
  doorlock::Doorlock = nullptr;
  Sys.SaveDoorlockRecord = true;
  ASSERT_TRUE(Process(IssueRequest("01", "02", "03", "0")));
  EXPECT_EQ(Connection.Bytes, Reply("500", "发卡失败", "0"));
  ASSERT_TRUE(Process("<R type=\"ReadCard\"/>"));
  EXPECT_EQ(Connection.Bytes, Reply("500", "读卡失败", "0"));
  ASSERT_TRUE(Process("<R type=\"EraseCard\"/>"));
  EXPECT_EQ(Connection.Bytes, Reply("500", "注销卡失败 ", "0"));
  EXPECT_EQ(QueryRows(Db.Path(), "select count(*) from T_IssueCardRecord"),
            std::vector<std::string>{"1"});
}

TEST_F(DoorlockMessageHandlerTest, ValuesArriveWithEntitiesAndCharacterReferencesDecoded) {
  ASSERT_TRUE(Process(IssueRequest("A&amp;B", "&#x32;", "&#20320;", "0", "2024-03-09", "12:00",
                                   "2024-03-10", "12:00", "&lt;Tom&gt; &#128512;")));
  ASSERT_EQ(Device.Writes.size(), 1u);
  EXPECT_EQ(Device.Writes[0].RoomBuildingCode, "A&B");
  EXPECT_EQ(Device.Writes[0].RoomFloorCode, "2");
  EXPECT_EQ(Device.Writes[0].RoomNo, "你");
  EXPECT_EQ(Device.Writes[0].GuestName, "<Tom> 😀");
}

TEST_F(DoorlockMessageHandlerTest, AWriteErrorOnTheConnectionIsIgnored) {
  FailingConnection connection;
  TDoorlockMessageHandler handler(nullptr);
  EXPECT_NO_THROW(handler.ProcessMessage(connection, "<R type=\"EraseCard\"/>"));
  EXPECT_EQ(Log.Messages().back(), "完成一次操作");
}

TEST(ReadYesNo, ReadsNumbersAndTrueFalseInAnyCase) {
  const struct {
    const char* text;
    bool yes;
  } cases[] = {
      {"1", true}, {"-1", true}, {"true", true}, {"TRUE", true}, {"2.5", true}, {" 1 ", true},
      {"0", false}, {"false", false}, {"yes", false}, {"", false}, {"0.0", false}, {"1x", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ReadYesNo(c.text), c.yes);
  }
}

}  // namespace
}  // namespace doorlock_protocol
