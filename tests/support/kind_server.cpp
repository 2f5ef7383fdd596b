#include "support/kind_server.h"

#include "shell/globals.h"
#include "support/server_process.h"

namespace testing_support {

KindServer::KindServer(int kind) : Sys_("/nonexistent/Option.ini") {
  Sys_.Load();
  Port = FreePort();
  Sys_.PolicePortNo = Port;
  Sys_.MemberPortNo = Port;
  settings::SysOption = &Sys_;
  shell::InterfaceKind = kind;
  Server_ = std::make_unique<shell::TInterfaceServer>(this);
  Server_->StartServer();
}

KindServer::~KindServer() {
  Server_->StopServer();
  Server_.reset();
  settings::SysOption = nullptr;
  shell::InterfaceKind = 0;
}

std::string KindServer::Send(const std::string& text) const { return Exchange(Port, Framed(text)); }

}  // namespace testing_support
