// The Windows side of ServerProcess: the built qelvo-interfaced.exe started
// with CreateProcess and stopped through its named stop event.
#include "support/server_process.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "platform/text_codec.h"

namespace testing_support {

namespace {

// Winsock needs starting once per process before the first socket; Asio
// does it for the code under test, but these helpers may run first.
void StartWinsock() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  if (!started) throw std::runtime_error("WSAStartup failed");
}

SOCKET ConnectTo(int port) {
  StartWinsock();
  SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return s;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<u_short>(port));
  if (::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    ::closesocket(s);
    return INVALID_SOCKET;
  }
  return s;
}

std::wstring Wide(const std::string& utf8) { return std::filesystem::u8path(utf8).wstring(); }

}  // namespace

std::string BinDir() {
  const char* dir = std::getenv("QELVO_BIN_DIR");
  if (dir == nullptr) dir = QELVO_DEFAULT_BIN_DIR;
  return std::string(dir) + "/";
}

int FreePort() {
  StartWinsock();
  SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  int len = sizeof addr;
  ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
  const int port = ntohs(addr.sin_port);
  ::closesocket(s);
  return port;
}

std::string Exchange(int port, const std::string& bytes, int timeoutMs) {
  SOCKET s = ConnectTo(port);
  if (s == INVALID_SOCKET) return {};
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const int n = ::send(s, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  std::string reply;
  char buf[4096];
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) break;
    WSAPOLLFD p{};
    p.fd = s;
    p.events = POLLRDNORM;
    if (WSAPoll(&p, 1, static_cast<INT>(left)) <= 0) break;
    const int n = ::recv(s, buf, sizeof buf, 0);
    if (n <= 0) break;
    reply.append(buf, static_cast<std::size_t>(n));
  }
  ::closesocket(s);
  return reply;
}

ServerProcess::ServerProcess() : ServerProcess(Setup{}) {}

ServerProcess::ServerProcess(const Setup& setup) {
  namespace fs = std::filesystem;
  fs::copy_file(BinDir() + "qelvo-interfaced.exe", Dir_.File("qelvo-interfaced.exe"));
  if (setup.withClientDb) fs::copy_file(BinDir() + "Client.db", Dir_.File("Client.db"));
  Port_ = FreePort();
  WriteFile(Dir_.File("Option.ini"),
            "[SysOption]\r\nDoorlockPortNo=" + std::to_string(Port_) + "\r\n" + setup.optionIni);
  if (!setup.simEncoder.empty()) WriteFile(Dir_.File("SimEncoder.ini"), setup.simEncoder);
}

ServerProcess::~ServerProcess() {
  if (Pid_ > 0) Kill();
}

namespace {

// Process handles by id: the header keeps a plain int so it needs no
// <windows.h>; the handle is found again with OpenProcess.
HANDLE OpenServer(int pid) {
  return OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE,
                     static_cast<DWORD>(pid));
}

int WaitForExit(int pid, DWORD timeoutMs) {
  HANDLE process = OpenServer(pid);
  if (process == nullptr) return -1;
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return code == STILL_ACTIVE ? -1 : static_cast<int>(code);
}

}  // namespace

bool ServerProcess::Start() {
  const std::wstring exe = Wide(Dir_.File("qelvo-interfaced.exe"));
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileW(Wide(Dir_.File("stdout.txt")).c_str(), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;

  // No vendor DLLs here: the server is to use the simulated encoder.
  SetEnvironmentVariableW(L"QELVO_SIMULATED_ENCODER", L"1");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = out;
  PROCESS_INFORMATION info{};
  std::wstring commandLine = L"\"" + exe + L"\"";
  // The root as working directory, since it must play no part.
  const BOOL created = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, L"C:\\", &startup, &info);
  CloseHandle(out);
  if (!created) return false;
  CloseHandle(info.hThread);
  Pid_ = static_cast<int>(info.dwProcessId);

  // Started under wine the server takes a while to listen.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  bool listening = false;
  while (std::chrono::steady_clock::now() < deadline) {
    SOCKET s = ConnectTo(Port_);
    if (s != INVALID_SOCKET) {
      ::closesocket(s);
      listening = true;
      break;
    }
    if (WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  CloseHandle(info.hProcess);
  if (!listening && WaitForExit(Pid_, 0) != -1) Pid_ = -1;
  return listening;
}

int ServerProcess::Stop() {
  if (Pid_ <= 0) return -1;
  // The server's named stop event, the Windows counterpart of SIGTERM: a
  // console event cannot reach a process on another console (nor, under
  // wine, any process at all).
  const std::wstring name = L"Local\\QelvoInterfacedStop" + std::to_wstring(Pid_);
  if (HANDLE request = OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str())) {
    SetEvent(request);
    CloseHandle(request);
  }
  int status = WaitForExit(Pid_, 20000);
  if (status == -1) {
    Kill();  // it did not stop: the caller sees a failure, not a hang
    return -1;
  }
  Pid_ = -1;
  return status;
}

void ServerProcess::Kill() {
  if (Pid_ <= 0) return;
  if (HANDLE process = OpenServer(Pid_)) {
    TerminateProcess(process, 137);
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
  }
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
