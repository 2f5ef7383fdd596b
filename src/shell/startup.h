#pragma once
#include "doorlock/base_doorlock.h"
#include "member/base_member.h"
#include "police/base_police.h"
#include "platform/transcript.h"

namespace shell {

// Creates the shared objects in their fixed order: the encoder settings, the
// log named after today, the system settings, then the record store (whose
// error, if any, becomes one log line; start goes on). Main thread only.
void StartUp();

// Releases the record store and the log. When a request is still running
// past the listener's stop, they are left in place for it.
void ShutDown();

// Start-up of the police or member card kind: sets the kind and the device
// global. Called before the window or the listener exists; everything after
// (caption, port, handler, commands) follows the kind.
void UsePoliceInterface(police::TBasePolice* device);
void UseMemberInterface(member::TBaseMember* device);

// The headless twin of the main window: selects the door-lock kind, stores
// the device, starts the listener and serves until SIGINT or SIGTERM.
// Returns the process's exit status: 1 when the port could not be bound.
int RunHeadlessInterface(doorlock::TBaseDoorlock* device, platform::TTranscript& transcript);

}  // namespace shell
