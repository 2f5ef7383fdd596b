#pragma once
#include "doorlock/base_doorlock.h"
#include "platform/transcript.h"

namespace shell {

// Creates the shared objects in their fixed order: the encoder settings, the
// log named after today, the system settings, then the record store (whose
// error, if any, becomes one log line; start goes on). Main thread only.
void StartUp();

// Releases the record store and the log. When a request is still running
// past the listener's stop, they are left in place for it.
void ShutDown();

// The headless twin of the main window: selects the door-lock kind, stores
// the device, starts the listener and serves until SIGINT or SIGTERM.
// Returns the process's exit status: 1 when the port could not be bound.
int RunHeadlessInterface(doorlock::TBaseDoorlock* device, platform::TTranscript& transcript);

}  // namespace shell
