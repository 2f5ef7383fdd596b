// Stopping on Windows: a stop request from another program reaches
// WaitForStopSignal; and the open-files limit is no limit on sockets there.
#include "platform/stop_signal.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <winsock2.h>
#include <windows.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace platform {
namespace {

// WaitForStopSignal on a thread of its own, so a stop that never arrives
// fails the test instead of hanging it. A waiter that never returns is
// detached and left to the end of the process.
std::future<void> WaitOnAnotherThread() {
  auto done = std::make_shared<std::promise<void>>();
  auto arrived = done->get_future();
  std::thread([done] {
    WaitForStopSignal();
    done->set_value();
  }).detach();
  return arrived;
}

TEST(StopSignal, WaitReturnsOncePerStopRequestFromAnotherProgram) {
  PrepareStopSignals();
  const std::wstring name = L"Local\\QelvoInterfacedStop" + std::to_wstring(GetCurrentProcessId());
  HANDLE request = OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str());
  ASSERT_NE(request, nullptr) << GetLastError();

  ASSERT_TRUE(SetEvent(request));
  EXPECT_EQ(WaitOnAnotherThread().wait_for(std::chrono::seconds(10)), std::future_status::ready);
  // The request was taken by that wait: the next one waits for a new request.
  auto second = WaitOnAnotherThread();
  EXPECT_EQ(second.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
  ASSERT_TRUE(SetEvent(request));
  EXPECT_EQ(second.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  CloseHandle(request);
}

TEST(StopSignal, SocketsAreNotBoundByTheCLibraryStreamLimit) {
  const long limit = RaiseOpenFilesLimit();
  EXPECT_GT(limit, static_cast<long>(_getmaxstdio()));

  WSADATA data;
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
  std::vector<SOCKET> sockets;
  const int wanted = _getmaxstdio() + 100;
  for (int i = 0; i < wanted; ++i) {
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) break;
    sockets.push_back(s);
  }
  EXPECT_EQ(sockets.size(), static_cast<std::size_t>(wanted));
  for (SOCKET s : sockets) closesocket(s);
  WSACleanup();
}

}  // namespace
}  // namespace platform
