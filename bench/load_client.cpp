#include "load_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <thread>

namespace bench {

int TLoadClient::Connect() const {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(Port_);
  // A server that stops answering must not hang the whole run.
  timeval timeout{10, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
  while (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    if (errno == EINTR) continue;
    ::close(fd);
    return -1;
  }
  return fd;
}

std::string TLoadClient::Exchange(const std::string& request) const {
  const int fd = Connect();
  if (fd < 0) return {};
  std::string framed = request;
  framed.push_back('\0');
  std::size_t sent = 0;
  while (sent < framed.size()) {
    const ssize_t n = ::send(fd, framed.data() + sent, framed.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) {
      ::close(fd);
      return {};
    }
    sent += static_cast<std::size_t>(n);
  }
  // Read to the zero byte, then on to the server's close, as the hotel
  // software does; bytes after the zero would be a fault, so they are kept.
  std::string reply;
  char buf[4096];
  for (;;) {
    const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    reply.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return reply;
}

TLoadClient::TRate TLoadClient::Run(const std::string& request, const std::string& expectedReply,
                                    unsigned clients, std::chrono::milliseconds duration) const {
  std::atomic<bool> stop{false};
  std::atomic<std::size_t> answered{0}, wrong{0};
  std::vector<std::thread> threads;
  const auto start = std::chrono::steady_clock::now();
  for (unsigned i = 0; i < clients; ++i) {
    threads.emplace_back([&]() {
      while (!stop.load(std::memory_order_relaxed)) {
        if (Exchange(request) == expectedReply) {
          answered.fetch_add(1, std::memory_order_relaxed);
        } else {
          wrong.fetch_add(1, std::memory_order_relaxed);
        }
      }
    });
  }
  std::this_thread::sleep_for(duration);
  stop = true;
  for (auto& t : threads) t.join();
  TRate rate;
  rate.answered = answered;
  rate.wrong = wrong;
  // Up to the last reply, which may come a little after the stop.
  rate.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return rate;
}

TLoadClient::TCompletions TLoadClient::RunCounted(const std::string& request,
                                                  const std::string& expectedReply,
                                                  unsigned clients, unsigned perClient) const {
  TCompletions result;
  std::mutex lock;
  std::vector<std::thread> threads;
  bool anyDone = false;
  for (unsigned i = 0; i < clients; ++i) {
    threads.emplace_back([&]() {
      for (unsigned n = 0; n < perClient; ++n) {
        const bool ok = Exchange(request) == expectedReply;
        const auto now = std::chrono::steady_clock::now();
        std::lock_guard<std::mutex> guard(lock);
        if (ok) {
          result.at.push_back(now);
        } else {
          ++result.wrong;
        }
      }
      std::lock_guard<std::mutex> guard(lock);
      if (!anyDone) {
        anyDone = true;
        result.firstClientDone = std::chrono::steady_clock::now();
      }
    });
  }
  for (auto& t : threads) t.join();
  return result;
}

std::size_t TLoadClient::OpenIdle(std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const int fd = Connect();
    if (fd < 0) break;
    Idle_.push_back(fd);
  }
  return Idle_.size();
}

void TLoadClient::CloseIdle() {
  for (int fd : Idle_) ::close(fd);
  Idle_.clear();
}

long RaiseOwnOpenFilesLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return -1;
  limit.rlim_cur = limit.rlim_max;
  ::setrlimit(RLIMIT_NOFILE, &limit);
  ::getrlimit(RLIMIT_NOFILE, &limit);
  return static_cast<long>(limit.rlim_cur);
}

}  // namespace bench
