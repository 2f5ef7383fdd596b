#include "support/server_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "platform/text_codec.h"

namespace testing_support {

std::string BinDir() {
  const char* dir = std::getenv("QELVO_BIN_DIR");
  if (dir == nullptr) dir = QELVO_DEFAULT_BIN_DIR;
  return std::string(dir) + "/";
}

int FreePort() {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  int port = ntohs(addr.sin_port);
  ::close(fd);
  return port;
}

int ConnectLoopback(int port) {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

std::string Exchange(int port, const std::string& bytes, int timeoutMs) {
  int fd = ConnectLoopback(port);
  if (fd < 0) return {};
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  std::string reply;
  char buf[4096];
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) break;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left)) <= 0) break;
    ssize_t n = ::recv(fd, buf, sizeof buf, 0);
    if (n <= 0) break;
    reply.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return reply;
}

ServerProcess::ServerProcess() : ServerProcess(Setup{}) {}

ServerProcess::ServerProcess(const Setup& setup) {
  namespace fs = std::filesystem;
  fs::copy_file(BinDir() + "qelvo-interfaced", Dir_.File("qelvo-interfaced"));
  if (setup.withClientDb) fs::copy_file(BinDir() + "Client.db", Dir_.File("Client.db"));
  Port_ = FreePort();
  WriteFile(Dir_.File("Option.ini"),
            "[SysOption]\r\nDoorlockPortNo=" + std::to_string(Port_) + "\r\n" + setup.optionIni);
  if (!setup.simEncoder.empty()) WriteFile(Dir_.File("SimEncoder.ini"), setup.simEncoder);
}

ServerProcess::~ServerProcess() {
  if (Pid_ > 0) Kill();
}

bool ServerProcess::Start() {
  std::string exe = Dir_.File("qelvo-interfaced");
  std::string out = Dir_.File("stdout.txt");
  Pid_ = ::fork();
  if (Pid_ == 0) {
    int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(fd, 1);
    ::dup2(fd, 2);
    ::chdir("/");  // the working directory must play no part
    ::execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    int fd = ConnectLoopback(Port_);
    if (fd >= 0) {
      ::close(fd);
      return true;
    }
    int status = 0;
    if (::waitpid(Pid_, &status, WNOHANG) == Pid_) {
      Pid_ = -1;
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

int ServerProcess::Stop() {
  if (Pid_ <= 0) return -1;
  ::kill(Pid_, SIGTERM);
  int status = 0;
  ::waitpid(Pid_, &status, 0);
  Pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void ServerProcess::Kill() {
  if (Pid_ <= 0) return;
  ::kill(Pid_, SIGKILL);
  int status = 0;
  ::waitpid(Pid_, &status, 0);
  Pid_ = -1;
}

std::string ServerProcess::Output() const { return ReadFile(Dir_.File("stdout.txt")); }

std::string ServerProcess::LogText() const {
  std::string text;
  for (auto& entry : std::filesystem::directory_iterator(Dir_.Path())) {
    if (entry.path().extension() == ".LOG") text += ReadFile(entry.path().string());
  }
  return platform::FromGbk(text);
}

}  // namespace testing_support
