#pragma once

namespace platform {

// Call before any thread is started: from then on SIGINT and SIGTERM (or the
// console's Ctrl+C and close events) are kept for WaitForStopSignal. On
// Windows another program asks for a stop by setting the event named
// "Local\QelvoInterfacedStop<process id>", as it would send SIGTERM.
void PrepareStopSignals();

// Blocks the calling thread until the process is asked to stop.
void WaitForStopSignal();

// Raises the open-files limit to the most the system allows, so many idle
// clients cannot starve the server of sockets. Returns the limit in force.
long RaiseOpenFilesLimit();

}  // namespace platform
