#include "shell/interface_server.h"

#include <cstdint>
#include <mutex>

#include "doorlock_protocol/doorlock_message_handler.h"
#include "member/member_message_handler.h"
#include "police/police_message_handler.h"
#include "settings/sys_option.h"
#include "shell/globals.h"

namespace shell {

void ServeRequest(platform::TConnection& connection, const std::string& requestText,
                  platform::TTranscript* InfoMemo) {
  std::lock_guard<std::timed_mutex> guard(RequestLock);
  switch (InterfaceKind) {
    case ikDoorlock: {
      doorlock_protocol::TDoorlockMessageHandler handler(InfoMemo);
      handler.ProcessMessage(connection, requestText);
      break;
    }
    case ikPolice: {
      police::TPoliceMessageHandler handler(InfoMemo);
      handler.ProcessMessage(connection, requestText);
      break;
    }
    case ikMember: {
      member::TMemberMessageHandler handler(InfoMemo);
      handler.ProcessMessage(connection, requestText);
      break;
    }
    default:
      break;  // no handler for this kind: the connection closes unanswered
  }
}

TInterfaceServer::TInterfaceServer(platform::TTranscript* InfoMemo) : InfoMemo_(InfoMemo) {}

TInterfaceServer::~TInterfaceServer() = default;

void TInterfaceServer::StartServer() {
  const settings::TSysOption& sys = *settings::SysOption;
  std::int32_t port = 0;
  switch (InterfaceKind) {
    case ikDoorlock:
      port = sys.DoorlockPortNo;
      InfoMemo_->AddLine("门锁接口监听服务器已经启动...");
      break;
    case ikPolice:
      port = sys.PolicePortNo;
      InfoMemo_->AddLine("公安接口监听服务器已经启动...");
      break;
    case ikMember:
      port = sys.MemberPortNo;
      InfoMemo_->AddLine("会员卡接口监听服务器已经启动...");
      break;
    default:
      break;
  }
  if (port < 0 || port > 65535) {
    throw std::runtime_error("Could not bind socket. The port " + std::to_string(port) +
                             " in Option.ini is not a TCP port (0 to 65535).");
  }
  platform::TTranscript* memo = InfoMemo_;
  Listener_ = std::make_unique<TRequestListener>(
      [memo](platform::TConnection& connection, const std::string& text) {
        ServeRequest(connection, text, memo);
      });
  Listener_->Start(static_cast<std::uint16_t>(port));
}

void TInterfaceServer::StopServer() {
  if (Listener_ != nullptr && Listener_->Active()) Listener_->Stop();
  InfoMemo_->AddLine("接口监听服务器已经停止。");
}

bool TInterfaceServer::Active() const { return Listener_ != nullptr && Listener_->Active(); }

}  // namespace shell
