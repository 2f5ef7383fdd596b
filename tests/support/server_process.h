#pragma once
#include <string>

#include "support/temp_dir.h"

namespace testing_support {

// The built qelvo-interfaced, copied with the empty Client.db into a fresh
// directory and started there on a free port, as an operator would run it.
class ServerProcess {
 public:
  struct Setup {
    bool withClientDb = true;
    std::string optionIni;   // extra lines for Option.ini (GBK as given)
    std::string simEncoder;  // content of SimEncoder.ini, empty: none
  };

  ServerProcess();
  explicit ServerProcess(const Setup& setup);
  ~ServerProcess();

  // Starts the server and waits until it listens; false if it did not.
  bool Start();
  // SIGTERM and wait; returns the exit status.
  int Stop();
  void Kill();

  int Port() const { return Port_; }
  const TempDir& Dir() const { return Dir_; }
  // Everything the server printed to standard output so far.
  std::string Output() const;
  // The day's log, converted to UTF-8.
  std::string LogText() const;

 private:
  TempDir Dir_;
  int Port_ = 0;
  int Pid_ = -1;
};

// A free TCP port on 127.0.0.1 at the moment of asking.
int FreePort();

// A socket connected to 127.0.0.1:port, -1 when nothing listens there. POSIX
// only: for tests that drive a connection by hand (half-close, reset).
int ConnectLoopback(int port);

// Connects, sends the bytes as they are, reads until the server closes the
// connection and returns everything read. Empty when it cannot connect.
std::string Exchange(int port, const std::string& bytes, int timeoutMs = 10000);

// The request with its zero byte.
inline std::string Framed(const std::string& text) { return text + std::string(1, '\0'); }

// Path of the built executables (set by CTest in QELVO_BIN_DIR).
std::string BinDir();

}  // namespace testing_support
