#include "member/base_member.h"

namespace member {

TBaseMember* MemberCardDevice = nullptr;

}  // namespace member
