#pragma once

namespace platform {

// Whether the listening socket should allow its address to be reused. On
// POSIX it must, or a restart fails while closed connections linger in
// TIME_WAIT; on Windows the same option would let another program take the
// port from under a running server, so it must not.
bool ListenerShouldReuseAddress();

}  // namespace platform
