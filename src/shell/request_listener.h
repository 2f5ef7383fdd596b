#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/connection.h"

namespace shell {

// The TCP listener: one I/O thread accepts every connection on every IPv4
// address, reads each request up to its zero byte (at most 16384 bytes before
// it) and hands the decoded text to the dispatch on a small worker pool. The
// reply the dispatch writes is sent in one block and the connection closed.
// A client that sends nothing holds a socket and a small buffer, never a
// thread. A bad client never throws through the I/O thread.
class TRequestListener {
 public:
  using Dispatch = std::function<void(platform::TConnection&, const std::string& requestText)>;

  static constexpr std::size_t kMaxRequestBytes = 16384;

  explicit TRequestListener(Dispatch dispatch, unsigned workers = 4);
  ~TRequestListener();
  TRequestListener(const TRequestListener&) = delete;
  TRequestListener& operator=(const TRequestListener&) = delete;

  // Throws std::runtime_error("Could not bind socket. Address and port are
  // already in use.") when the port is taken, or with the socket's message.
  void Start(std::uint16_t port);

  // Stops accepting, closes every open connection and waits for running
  // requests. Throws std::runtime_error("Terminate Thread Timeout") when they
  // have not ended within the wait; they are then left to finish on their own.
  void Stop(std::chrono::milliseconds wait = std::chrono::milliseconds(5000));

  bool Active() const { return Active_; }

 private:
  struct Impl;
  std::unique_ptr<Impl> Impl_;
  bool Active_ = false;
};

}  // namespace shell
