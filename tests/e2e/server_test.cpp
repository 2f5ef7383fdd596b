// End to end: the built qelvo-interfaced in a directory of its own, spoken
// to over TCP as the hotel software does, its log and database read after.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <thread>

#include "support/log_capture.h"
#include "support/server_process.h"
#include "support/test_store.h"

namespace {

using testing_support::Exchange;
using testing_support::Framed;
using testing_support::QueryRows;
using testing_support::ServerProcess;
using testing_support::SplitLogMessages;

std::string Reply(const std::string& code, const std::string& message, const std::string& cardNo) {
  return "<DoorResponse><RequestID></RequestID><ResultCode>" + code + "</ResultCode><ResultMessage>" +
         message + "</ResultMessage><CardNo>" + cardNo + "</CardNo></DoorResponse>" +
         std::string(1, '\0');
}

std::string Issue(const std::string& room, const std::string& copy,
                  const std::string& checkIn = "2024-03-09 12:00") {
  const auto blank = checkIn.find(' ');
  return "<Request type=\"IssueCard\"><Head/><RegisterId>REG</RegisterId><B>01</B><F>02</F>"
         "<RoomNo>" + room + "</RoomNo><GuestName>李四</GuestName><D>" + checkIn.substr(0, blank) +
         "</D><T>" + checkIn.substr(blank + 1) + "</T><D>2031-03-10</D><T>12:00:30</T><C>" + copy +
         "</C></Request>";
}

TEST(Server, IssuesThenReadsACardOnTheSimulatedEncoder) {
  ServerProcess server;
  ASSERT_TRUE(server.Start()) << server.Output();
  EXPECT_EQ(Exchange(server.Port(), Framed(Issue("8808", "0"))), Reply("200", "发卡成功", "4660"));
  EXPECT_EQ(Exchange(server.Port(), Framed("<R type=\"ReadCard\"/>")), Reply("200", "读卡成功", "4660"));
  EXPECT_EQ(Exchange(server.Port(), Framed("<R type=\"EraseCard\"/>")), Reply("200", "注销卡成功 ", "0"));
  // Nothing at all for an unknown type or a request that does not parse.
  EXPECT_EQ(Exchange(server.Port(), Framed("<R type=\"Ping\"/>")), "");
  EXPECT_EQ(Exchange(server.Port(), Framed("<R type=")), "");
  EXPECT_EQ(server.Stop(), 0);

  const std::string output = server.Output();
  EXPECT_NE(output.find("模拟发卡器"), std::string::npos) << output;
  EXPECT_NE(output.find("门锁接口监听服务器已经启动..."), std::string::npos) << output;
  EXPECT_NE(output.find("接口监听服务器已经停止。"), std::string::npos) << output;

  const std::string sim = testing_support::ReadFile(server.Dir().File("SimEncoder.ini"));
  EXPECT_NE(sim.find("Room=8808"), std::string::npos) << sim;
  EXPECT_NE(sim.find("ValidUntil=3103101200"), std::string::npos) << sim;

  auto log = SplitLogMessages(server.LogText());
  auto at = [&](const std::string& message) {
    return std::find(log.begin(), log.end(), message) - log.begin();
  };
  EXPECT_LT(at("发卡器打开成功"), at("房间(8808)发卡成功"));
  EXPECT_LT(at("发卡成功,卡号为:4660"), at("房间(8808)发卡成功"));
  EXPECT_LT(at("房间(8808)发卡成功"), at("读卡成功，卡号为：4660"));
  EXPECT_LT(at("读卡成功，卡号为：4660"), static_cast<long>(log.size()));
  EXPECT_EQ(std::count(log.begin(), log.end(), "完成一次操作"), 4);  // the bad parse logs no end
}

TEST(Server, KeepsRoomStartTimesAndIssueRows) {
  ServerProcess::Setup setup;
  setup.optionIni = "[DoorlockOption]\r\nUseNativeDoorlockDb=1\r\nSaveDoorlockRecord=1\r\nDelayMinutes=10\r\n";
  ServerProcess server(setup);
  ASSERT_TRUE(server.Start()) << server.Output();
  EXPECT_EQ(Exchange(server.Port(), Framed(Issue("8808", "0"))), Reply("200", "发卡成功", "4660"));
  EXPECT_EQ(Exchange(server.Port(), Framed(Issue("8808", "1", "2031-01-01 09:00"))),
            Reply("200", "发卡成功", "4660"));
  server.Stop();
  const std::string db = server.Dir().File("Client.db");
  auto rooms = QueryRows(db, "select RoomNo, LastCheckInTime from T_Room");
  ASSERT_EQ(rooms.size(), 1u);
  EXPECT_EQ(rooms[0].rfind("01028808|", 0), 0u) << rooms[0];
  // Both cards start at the room's stored time: the copy's request time plays no part.
  auto issues = QueryRows(db, "select RoomNo, IsCopy, CardNo, LastCheckInTime from T_IssueCardRecord");
  ASSERT_EQ(issues.size(), 2u);
  EXPECT_EQ(issues[0], "01028808|0|4660|" + rooms[0].substr(rooms[0].find('|') + 1));
  EXPECT_EQ(issues[1], "01028808|1|4660|" + rooms[0].substr(rooms[0].find('|') + 1));
}

TEST(Server, StartsWithoutClientDbAndLogsTheReason) {
  ServerProcess::Setup setup;
  setup.withClientDb = false;
  setup.optionIni = "[DoorlockOption]\r\nSaveDoorlockRecord=1\r\n";
  ServerProcess server(setup);
  ASSERT_TRUE(server.Start()) << server.Output();
  EXPECT_EQ(Exchange(server.Port(), Framed(Issue("0101", "0"))), Reply("200", "发卡成功", "4660"));
  server.Stop();
  auto log = SplitLogMessages(server.LogText());
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log[0], "unable to open database file");
  EXPECT_EQ(std::count(log.begin(), log.end(), "unable to open database file"), 2);
  EXPECT_FALSE(std::filesystem::exists(server.Dir().File("Client.db")));
  EXPECT_FALSE(std::filesystem::exists(server.Dir().File("Option.ini.tmp")));
}

TEST(Server, AnswersFailuresWhenTheEncoderIsAwayOrHasNoCard) {
  const struct {
    const char* sim;
    const char* firstLine;
  } cases[] = {
      {"[Encoder]\r\nConnected=0\r\n", "连接发卡器失败"},
      {"[Card]\r\nPresent=0\r\n", "连接USB发卡器成功"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sim);
    ServerProcess::Setup setup;
    setup.simEncoder = c.sim;
    ServerProcess server(setup);
    ASSERT_TRUE(server.Start()) << server.Output();
    EXPECT_EQ(Exchange(server.Port(), Framed("<R type=\"ReadCard\"/>")), Reply("500", "读卡失败", "0"));
    EXPECT_EQ(Exchange(server.Port(), Framed(Issue("0101", "0"))), Reply("500", "发卡失败", "0"));
    server.Stop();
    auto log = SplitLogMessages(server.LogText());
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0], c.firstLine);
  }
}

TEST(Server, ThirtyTwoClientsAtOnceAreAllAnsweredWithTheirLinesTogether) {
  ServerProcess server;
  ASSERT_TRUE(server.Start()) << server.Output();
  std::vector<std::string> replies(32);
  std::vector<std::thread> clients;
  for (int i = 0; i < 32; ++i) {
    clients.emplace_back([&, i]() {
      replies[i] = Exchange(server.Port(), Framed(i % 2 ? "<R type=\"EraseCard\"/>" : "<R type=\"Ping\"/>"));
    });
  }
  for (auto& client : clients) client.join();
  server.Stop();
  for (int i = 0; i < 32; ++i) {
    EXPECT_EQ(replies[i], i % 2 ? Reply("200", "注销卡成功 ", "0") : "") << i;
  }
  auto log = SplitLogMessages(server.LogText());
  auto first = std::find_if(log.begin(), log.end(),
                            [](const std::string& m) { return m.rfind("收到消息: ", 0) == 0; });
  std::vector<std::string> requests(first, log.end());
  ASSERT_EQ(requests.size(), 16u * 4 + 16u * 3);
  std::size_t i = 0;
  while (i < requests.size()) {
    ASSERT_EQ(requests[i].rfind("收到消息: ", 0), 0u) << i;
    ASSERT_EQ(requests[i + 1], "执行操作->");
    const bool erase = requests[i].find("EraseCard") != std::string::npos;
    if (erase) EXPECT_EQ(requests[i + 2], "注销卡成功");
    i += erase ? 3 : 2;
    EXPECT_EQ(requests[i], "完成一次操作");
    ++i;
  }
}

TEST(Server, FramesRequestsByTheirZeroByte) {
  ServerProcess server;
  ASSERT_TRUE(server.Start()) << server.Output();
  const std::string head = "<R type=\"EraseCard\">";
  const std::string tail = "</R>";
  const std::string exact = head + std::string(16384 - head.size() - tail.size(), ' ') + tail;
  const std::string erased = Reply("200", "注销卡成功 ", "0");
  const struct {
    std::string sent;
    std::string reply;
  } cases[] = {
      {Framed(exact), erased},                                   // 16384 bytes: served
      {Framed(exact + " "), ""},                                 // 16385 bytes: given up
      {Framed("<R type=\"EraseCard\"/>") + Framed("<R type=\"ReadCard\"/>"), erased},
      {std::string(1, '\0'), ""},                               // empty text: not a document
      {Framed("<R type=\"EraseCard\">\xE9</R>"), ""},            // broken UTF-8: empty text
      {"<R type=\"EraseCard\"/>\r\n", ""},                        // no zero byte, then closed
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sent.substr(0, 60));
    EXPECT_EQ(Exchange(server.Port(), c.sent), c.reply);
  }
  server.Stop();
  auto log = SplitLogMessages(server.LogText());
  // Served: the exact-size and the two-in-one request; the empty texts reach
  // the handler and are logged; the others never reach it.
  EXPECT_EQ(std::count(log.begin(), log.end(), "注销卡成功"), 2);
  EXPECT_EQ(std::count(log.begin(), log.end(), "收到消息: \r\n"), 2);
  EXPECT_EQ(std::count_if(log.begin(), log.end(),
                          [](const std::string& m) { return m.rfind("收到消息: ", 0) == 0; }),
            4);
}

TEST(Server, APortInUseIsReportedAndTheServerEnds) {
  ServerProcess server;
  ASSERT_TRUE(server.Start());
  ServerProcess::Setup setup;
  setup.optionIni = "";
  ServerProcess second(setup);
  testing_support::WriteFile(second.Dir().File("Option.ini"),
                             "[SysOption]\r\nDoorlockPortNo=" + std::to_string(server.Port()) + "\r\n");
  EXPECT_FALSE(second.Start());
  EXPECT_NE(second.Output().find("Could not bind socket. Address and port are already in use."),
            std::string::npos)
      << second.Output();
}

}  // namespace
