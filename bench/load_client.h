#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// The hotel software's side of the wire, as many times at once as asked:
// connect, send the request and its zero byte, read up to the zero byte and
// the close. Blocking sockets, one thread per simulated client, so a client
// waits for its own reply exactly as the hotel software does.
class TLoadClient {
 public:
  explicit TLoadClient(std::uint16_t port) : Port_(port) {}

  // One exchange; the reply with its zero byte, empty when the connection
  // failed or closed without one.
  std::string Exchange(const std::string& request) const;

  struct TRate {
    std::size_t answered = 0;  // replies equal to the expected one
    std::size_t wrong = 0;     // anything else, a failed connect included
    double seconds = 0;
    double PerSecond() const { return seconds > 0 ? answered / seconds : 0; }
  };
  // `clients` threads send the request back to back for about `duration`.
  TRate Run(const std::string& request, const std::string& expectedReply, unsigned clients,
            std::chrono::milliseconds duration) const;

  // `clients` threads send `perClient` requests each; the steady-clock time
  // at which each expected reply was complete, in order of arrival, and the
  // time the first client finished its last one (after that fewer requests
  // queue behind each other).
  struct TCompletions {
    std::vector<std::chrono::steady_clock::time_point> at;
    std::chrono::steady_clock::time_point firstClientDone;
    std::size_t wrong = 0;
  };
  TCompletions RunCounted(const std::string& request, const std::string& expectedReply,
                          unsigned clients, unsigned perClient) const;

  // Opens `count` connections that send nothing; they stay open until
  // CloseIdle. Returns how many were opened.
  std::size_t OpenIdle(std::size_t count);
  void CloseIdle();

 private:
  int Connect() const;

  std::uint16_t Port_;
  std::vector<int> Idle_;
};

// Raises this process's open-files limit to the hard limit; returns the
// soft limit in force afterwards.
long RaiseOwnOpenFilesLimit();

}  // namespace bench
