#include "shell/globals.h"

namespace shell {

std::int32_t InterfaceKind = 0;
std::timed_mutex RequestLock;

std::string InterfaceCaption(std::int32_t kind) {
  switch (kind) {
    case ikDoorlock: return "Qelvo门锁接口";
    case ikPolice: return "Qelvo公安接口";
    case ikMember: return "Qelvo会员卡接口";
    default: return {};
  }
}

}  // namespace shell
