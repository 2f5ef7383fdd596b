// qelvo-interface: the door-lock server with its operator window.
#include <exception>
#include <memory>

#include <QApplication>

#include "doorlock/vov_oda32_vuduvozi.h"
#include "platform/stop_signal.h"
#include "settings/option_form.h"
#include "shell/error_report.h"
#include "shell/main_form.h"
#include "shell/startup.h"

int main(int argc, char* argv[]) {
  platform::RaiseOpenFilesLimit();
  shell::StartUp();

  int status = 0;
  {
    QApplication app(argc, argv);
    // The encoder's settings command shows the settings dialog here; the
    // headless server has none.
    doorlock::ShowDoorlockOptionDialog = settings::ShowOptionForm;
    auto device = std::make_unique<doorlock::TVovODA32Vuduvozi>();
    try {
      device->OpenPort();  // the window runs whether or not the encoder opened
      shell::RunInterface(device.get());
      device->ClosePort();
    } catch (const std::exception& e) {
      device.reset();
      shell::ShowErrorReport(nullptr, e.what());
      status = 1;
    }
    doorlock::ShowDoorlockOptionDialog = nullptr;
  }
  shell::ShutDown();
  return status;
}
