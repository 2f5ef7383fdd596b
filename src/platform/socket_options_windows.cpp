#include "platform/socket_options.h"

namespace platform {

bool ListenerShouldReuseAddress() { return false; }

}  // namespace platform
