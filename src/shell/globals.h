#pragma once
#include <cstdint>
#include <mutex>
#include <string>

namespace shell {

// Which interface the process runs as, fixed before the listener starts.
enum : std::int32_t { ikDoorlock = 1, ikPolice = 2, ikMember = 3 };
extern std::int32_t InterfaceKind;

// Held by a request from its first log line to its last, and by every
// operator dialog that drives a device or the record store: the encoder, the
// store's connection and the log are never entered by two at once, and each
// request's log lines stay together.
extern std::timed_mutex RequestLock;

// The window caption and application title of a kind; empty outside 1 to 3.
std::string InterfaceCaption(std::int32_t kind);

}  // namespace shell
