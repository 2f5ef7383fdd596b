#pragma once
#include <string>
#include <vector>

#include <sys/types.h>

namespace bench {

// A program the benchmark starts and watches from outside, as an operator's
// monitoring would: its threads, resident memory and open descriptors come
// from /proc. Killed when the object goes.
class TChildProcess {
 public:
  TChildProcess() = default;
  ~TChildProcess();
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

  // Starts `exe` with `args` in the directory, output to `outputFile`.
  bool Start(const std::string& exe, const std::vector<std::string>& args,
             const std::string& outputFile);
  void Stop();  // SIGTERM, then wait

  pid_t Pid() const { return Pid_; }
  bool Running();
  long Threads() const { return StatusField("Threads:"); }
  long RssKb() const { return StatusField("VmRSS:"); }
  long OpenDescriptors() const;

 private:
  long StatusField(const std::string& name) const;
  pid_t Pid_ = -1;
};

// True once something accepts connections on 127.0.0.1:port, polling every
// millisecond until the deadline.
bool WaitUntilListening(unsigned short port, int timeoutMs);

// A port nobody listens on at the moment of asking.
unsigned short FreePort();

}  // namespace bench
