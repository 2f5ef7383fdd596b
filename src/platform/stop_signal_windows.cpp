#include "platform/stop_signal.h"

#include <windows.h>

#include <string>

namespace platform {

namespace {

// Auto-reset: each wait takes one stop request, as sigwait takes one signal.
HANDLE StopEvent = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      SetEvent(StopEvent);
      return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      // Windows ends the process as soon as this handler returns from these
      // events, so it stays here while main shuts down; main's return ends
      // the process and this thread with it. Windows gives up waiting after
      // a few seconds in any case.
      SetEvent(StopEvent);
      Sleep(INFINITE);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void PrepareStopSignals() {
  // Windows has no SIGTERM: another program (a script, a service wrapper, the
  // tests) cannot send a console event to a process on another console, so
  // the event has a name it can open and set, made from the process id.
  if (StopEvent == nullptr) {
    const std::wstring name = L"Local\\QelvoInterfacedStop" + std::to_wstring(GetCurrentProcessId());
    StopEvent = CreateEventW(nullptr, FALSE, FALSE, name.c_str());
  }
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  // Nothing here stands for ignoring SIGPIPE: a send to a closed socket on
  // Windows already fails with an error code.
}

void WaitForStopSignal() {
  if (StopEvent == nullptr) PrepareStopSignals();
  WaitForSingleObject(StopEvent, INFINITE);
}

long RaiseOpenFilesLimit() {
  // Sockets on Windows are kernel handles, not C run-time descriptors: the
  // C library's stream limit (_setmaxstdio) does not bound them, and there
  // is no per-process limit to raise. What is left is the handle table's
  // ceiling of 2^24 handles per process, which this reports.
  return 16L * 1024 * 1024;
}

}  // namespace platform
