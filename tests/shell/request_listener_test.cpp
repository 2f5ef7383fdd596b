#include "shell/request_listener.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "support/server_process.h"

namespace shell {
namespace {

using testing_support::Exchange;
using testing_support::Framed;

// A listener whose dispatch records each text and answers "[text]" + NUL.
class ListenerFixture : public ::testing::Test {
 protected:
  ListenerFixture()
      : Port(testing_support::FreePort()),
        Listener([this](platform::TConnection& connection, const std::string& text) {
          {
            std::lock_guard<std::mutex> guard(Lock);
            Texts.push_back(text);
          }
          connection.Write("[" + text + "]" + std::string(1, '\0'));
        }) {
    Listener.Start(static_cast<std::uint16_t>(Port));
  }

  std::vector<std::string> Seen() {
    std::lock_guard<std::mutex> guard(Lock);
    return Texts;
  }

  int Port;
  std::mutex Lock;
  std::vector<std::string> Texts;
  TRequestListener Listener;
};

TEST_F(ListenerFixture, FramesRequestsByTheirZeroByte) {
  const std::string longest(16384, 'a');
  const struct {
    std::string sent;
    std::string reply;  // empty: the connection closes without a byte
  } cases[] = {
      {Framed("<R/>"), std::string("[<R/>]") + '\0'},
      {std::string(1, '\0'), std::string("[]") + '\0'},
      {Framed("a\r\n"), std::string("[a\r\n]") + '\0'},                   // CR LF belongs to the text
      {Framed("x") + "<second/>" + '\0', std::string("[x]") + '\0'},      // after the zero: ignored
      {Framed("\xE9"), std::string("[]") + '\0'},                         // broken UTF-8: empty text
      {Framed("\xC3\xA9\xE4\xBD\xA0"), "[\xC3\xA9\xE4\xBD\xA0]" + std::string(1, '\0')},
      {Framed(longest), "[" + longest + "]" + std::string(1, '\0')},
      {Framed(longest + "a"), ""},                                        // 16385 bytes: given up
      {"<R/>\r\n", ""},                                                   // closed before the zero
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sent.substr(0, 40));
    const int fd = testing_support::ConnectLoopback(Port);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::send(fd, c.sent.data(), c.sent.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(c.sent.size()));
    ::shutdown(fd, SHUT_WR);  // the client is done sending either way
    std::string reply;
    char buf[4096];
    ssize_t n;
    while ((n = ::recv(fd, buf, sizeof buf, 0)) > 0) reply.append(buf, static_cast<std::size_t>(n));
    ::close(fd);
    EXPECT_EQ(reply, c.reply);
  }
  // Only the framed requests reached the dispatch, once each.
  EXPECT_EQ(Seen().size(), 7u);
}

TEST_F(ListenerFixture, ServesClientsWhileAnotherHasSentNothing) {
  const int idle = testing_support::ConnectLoopback(Port);
  ASSERT_GE(idle, 0);
  EXPECT_EQ(Exchange(Port, Framed("b")), std::string("[b]") + '\0');
  // Stopping closes the idle connection instead of waiting for it.
  auto start = std::chrono::steady_clock::now();
  Listener.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  char byte;
  EXPECT_EQ(::recv(idle, &byte, 1, 0), 0);
  ::close(idle);
}

TEST(TRequestListener, ReplyIsWhatTheHandlerWroteBeforeItFailed) {
  const int port = testing_support::FreePort();
  TRequestListener listener([](platform::TConnection& connection, const std::string&) {
    connection.Write("partial");
    throw std::runtime_error("handler failed");
  });
  listener.Start(static_cast<std::uint16_t>(port));
  EXPECT_EQ(Exchange(port, Framed("x")), "partial");
  EXPECT_EQ(Exchange(port, Framed("y")), "partial");  // the listener goes on
}

TEST(TRequestListener, ATakenPortGivesTheBindError) {
  const int port = testing_support::FreePort();
  TRequestListener first([](platform::TConnection&, const std::string&) {});
  first.Start(static_cast<std::uint16_t>(port));
  TRequestListener second([](platform::TConnection&, const std::string&) {});
  try {
    second.Start(static_cast<std::uint16_t>(port));
    FAIL() << "a second listener bound a taken port";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Could not bind socket. Address and port are already in use.");
  }
  EXPECT_FALSE(second.Active());
}

TEST(TRequestListener, StopGivesUpOnARequestThatDoesNotEnd) {
  const int port = testing_support::FreePort();
  auto release = std::make_shared<std::atomic<bool>>(false);
  auto listener = std::make_unique<TRequestListener>(
      [release](platform::TConnection&, const std::string&) {
        while (!*release) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      });
  listener->Start(static_cast<std::uint16_t>(port));
  std::thread client([port]() { Exchange(port, Framed("slow"), 3000); });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  try {
    listener->Stop(std::chrono::milliseconds(100));
    FAIL() << "Stop waited for a request that never ended";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Terminate Thread Timeout");
  }
  *release = true;
  client.join();
  listener.reset();
}

}  // namespace
}  // namespace shell
