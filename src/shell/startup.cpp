#include "shell/startup.h"

#include <chrono>
#include <exception>
#include <iostream>
#include <mutex>

#include "doorlock_protocol/doorlock_record_manager.h"
#include "platform/date_time.h"
#include "platform/encoder_library.h"
#include "platform/file_system.h"
#include "platform/stop_signal.h"
#include "settings/log_file.h"
#include "settings/option.h"
#include "settings/sys_option.h"
#include "shell/globals.h"
#include "shell/interface_server.h"

namespace shell {

void StartUp() {
  const std::string dir = platform::ExecutableDirectory();
  settings::Option = new settings::TOption(dir + "Option.ini");
  settings::Option->Load();
  // Named after the start day for the whole run, past midnight too.
  settings::LogFile =
      new settings::TLogFile(dir + platform::FormatDateTime("yyyymmdd", platform::Now()) + ".LOG");
  settings::SysOption = new settings::TSysOption(dir + "Option.ini");
  settings::SysOption->Load();

  auto* store = new doorlock_protocol::TDoorlockRecordManager();
  doorlock_protocol::DoorlockRecordManager = store;
  store->DatabaseFile = dir + "Client.db";
  try {
    store->Open();
  } catch (const std::exception& e) {
    settings::WriteLog(e.what());
  }
}

void ShutDown() {
  // A request that outlived the listener's stop still holds the lock and
  // uses the store and the log: leave them to it rather than free them
  // under its feet; the process is ending anyway.
  if (!RequestLock.try_lock_for(std::chrono::seconds(1))) return;
  delete doorlock_protocol::DoorlockRecordManager;
  doorlock_protocol::DoorlockRecordManager = nullptr;
  delete settings::LogFile;
  settings::LogFile = nullptr;
  RequestLock.unlock();
}

void UsePoliceInterface(police::TBasePolice* device) {
  InterfaceKind = ikPolice;
  police::PoliceDevice = device;
}

void UseMemberInterface(member::TBaseMember* device) {
  InterfaceKind = ikMember;
  member::MemberCardDevice = device;
}

int RunHeadlessInterface(doorlock::TBaseDoorlock* device, platform::TTranscript& transcript) {
  InterfaceKind = ikDoorlock;
  if (device != nullptr) doorlock::Doorlock = device;
  transcript.AddLine(InterfaceCaption(InterfaceKind));
  if (platform::EncoderIsSimulated()) transcript.AddLine("模拟发卡器");

  TInterfaceServer server(&transcript);
  try {
    server.StartServer();
  } catch (const std::exception& e) {
    std::cerr << e.what() << std::endl;
    return 1;
  }
  platform::WaitForStopSignal();
  try {
    server.StopServer();
  } catch (const std::exception& e) {
    std::cerr << e.what() << std::endl;
  }
  return 0;
}

}  // namespace shell
