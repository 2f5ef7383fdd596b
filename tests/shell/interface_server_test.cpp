#include "shell/interface_server.h"

#include <gtest/gtest.h>

#include <asio.hpp>

#include "settings/sys_option.h"
#include "shell/globals.h"
#include "support/log_capture.h"
#include "support/server_process.h"
#include "support/test_doorlock.h"

namespace shell {
namespace {

class RecordingTranscript : public platform::TTranscript {
 public:
  void AddLine(const std::string& line) override { Lines.push_back(line); }
  std::vector<std::string> Lines;
};

class InterfaceServerTest : public ::testing::Test {
 protected:
  InterfaceServerTest() : Sys("/nonexistent/Option.ini") {
    Sys.Load();
    Sys.DoorlockPortNo = testing_support::FreePort();
    settings::SysOption = &Sys;
    InterfaceKind = ikDoorlock;
    doorlock::Doorlock = &Device;
  }
  ~InterfaceServerTest() override {
    settings::SysOption = nullptr;
    doorlock::Doorlock = nullptr;
    InterfaceKind = 0;
  }
  testing_support::LogCapture Log;
  settings::TSysOption Sys;
  testing_support::TTestDoorlock Device;
  RecordingTranscript Transcript;
};

TEST_F(InterfaceServerTest, ServesTheKindsHandlerAndWritesStartAndStopLines) {
  TInterfaceServer server(&Transcript);
  server.StartServer();
  EXPECT_EQ(testing_support::Exchange(Sys.DoorlockPortNo, testing_support::Framed("<R type=\"ReadCard\"/>")),
            std::string("<DoorResponse><RequestID></RequestID><ResultCode>200</ResultCode>"
                        "<ResultMessage>读卡成功</ResultMessage><CardNo>123</CardNo></DoorResponse>") +
                '\0');
  server.StopServer();
  EXPECT_EQ(Transcript.Lines,
            (std::vector<std::string>{"门锁接口监听服务器已经启动...", "接口监听服务器已经停止。"}));
}

TEST_F(InterfaceServerTest, StartLineStandsWhenThePortIsTaken) {
  asio::io_context io;
  asio::ip::tcp::acceptor taken(io, {asio::ip::tcp::v4(), static_cast<unsigned short>(Sys.DoorlockPortNo)});
  TInterfaceServer server(&Transcript);
  EXPECT_THROW(server.StartServer(), std::runtime_error);
  EXPECT_FALSE(server.Active());
  EXPECT_EQ(Transcript.Lines, std::vector<std::string>{"门锁接口监听服务器已经启动..."});
}

TEST_F(InterfaceServerTest, ConcurrentRequestsKeepTheirLogLinesTogether) {
  TInterfaceServer server(&Transcript);
  server.StartServer();
  std::vector<std::thread> clients;
  for (int i = 0; i < 32; ++i) {
    clients.emplace_back([this, i]() {
      testing_support::Exchange(Sys.DoorlockPortNo,
                                testing_support::Framed(i % 2 ? "<R type=\"ReadCard\"/>" : "<R type=\"EraseCard\"/>"));
    });
  }
  for (auto& client : clients) client.join();
  server.StopServer();
  auto lines = Log.Messages();
  ASSERT_EQ(lines.size(), 32u * 4);
  for (std::size_t i = 0; i < lines.size(); i += 4) {
    EXPECT_EQ(lines[i].rfind("收到消息: ", 0), 0u);
    EXPECT_EQ(lines[i + 1], "执行操作->");
    EXPECT_EQ(lines[i + 3], "完成一次操作");
  }
}

}  // namespace
}  // namespace shell
