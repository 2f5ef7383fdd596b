// qelvo-interfaced: the door-lock server without a window. The lines the
// window's transcript would show go to standard output; SIGINT and SIGTERM
// stop it cleanly.
#include <iostream>
#include <memory>

#include "doorlock/vov_oda32_vuduvozi.h"
#include "platform/console.h"
#include "platform/stop_signal.h"
#include "shell/startup.h"

namespace {

class StdoutTranscript : public platform::TTranscript {
 public:
  void AddLine(const std::string& line) override { std::cout << line << std::endl; }
};

}  // namespace

int main() {
  // Before any thread exists, so every thread leaves the signals to main.
  platform::PrepareStopSignals();
  platform::PrepareConsoleOutput();
  platform::RaiseOpenFilesLimit();
  shell::StartUp();

  StdoutTranscript transcript;
  int status;
  {
    auto device = std::make_unique<doorlock::TVovODA32Vuduvozi>();
    device->OpenPort();  // the server runs whether or not the encoder opened
    status = shell::RunHeadlessInterface(device.get(), transcript);
    device->ClosePort();
  }
  shell::ShutDown();
  return status;
}
