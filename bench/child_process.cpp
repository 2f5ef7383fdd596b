#include "child_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace bench {

TChildProcess::~TChildProcess() { Stop(); }

bool TChildProcess::Start(const std::string& exe, const std::vector<std::string>& args,
                          const std::string& outputFile) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(exe.c_str()));
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  Pid_ = ::fork();
  if (Pid_ < 0) return false;
  if (Pid_ == 0) {
    const int fd = ::open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(fd, 1);
    ::dup2(fd, 2);
    ::execv(exe.c_str(), argv.data());
    ::_exit(127);
  }
  return true;
}

void TChildProcess::Stop() {
  if (Pid_ <= 0) return;
  ::kill(Pid_, SIGTERM);
  int status = 0;
  // A server stuck past its own shutdown wait is not worth hanging for.
  for (int i = 0; i < 1000 && ::waitpid(Pid_, &status, WNOHANG) == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (i == 800) ::kill(Pid_, SIGKILL);
  }
  Pid_ = -1;
}

bool TChildProcess::Running() {
  if (Pid_ <= 0) return false;
  int status = 0;
  if (::waitpid(Pid_, &status, WNOHANG) == Pid_) {
    Pid_ = -1;
    return false;
  }
  return true;
}

long TChildProcess::StatusField(const std::string& name) const {
  std::ifstream status("/proc/" + std::to_string(Pid_) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(name, 0) == 0) return std::stol(line.substr(name.size()));
  }
  return -1;
}

long TChildProcess::OpenDescriptors() const {
  std::error_code ec;
  long count = 0;
  for (std::filesystem::directory_iterator it("/proc/" + std::to_string(Pid_) + "/fd", ec), end;
       !ec && it != end; it.increment(ec)) {
    ++count;
  }
  return count;
}

bool WaitUntilListening(unsigned short port, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(port);
  while (std::chrono::steady_clock::now() < deadline) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool up = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    if (up) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

unsigned short FreePort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  ::close(fd);
  return ntohs(addr.sin_port);
}

}  // namespace bench
