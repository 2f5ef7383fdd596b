#pragma once
#include <memory>

#include "platform/transcript.h"
#include "shell/request_listener.h"

namespace shell {

// The server side of the main window, shared by the window and the headless
// server: starts and stops the listener on the port of the current kind,
// writing the start and stop lines to the transcript, and serves each
// request with the handler of the current kind under the request lock.
class TInterfaceServer {
 public:
  explicit TInterfaceServer(platform::TTranscript* InfoMemo);
  ~TInterfaceServer();

  // Adds the start line, then listens; the line stands even when listening
  // fails with the bind error.
  void StartServer();
  // Throws "Terminate Thread Timeout" without adding the stop line.
  void StopServer();

  bool Active() const;

 private:
  platform::TTranscript* InfoMemo_;
  std::unique_ptr<TRequestListener> Listener_;
};

// Runs one request with the handler of the current kind. The request lock is
// held from the handler's first log line to its last.
void ServeRequest(platform::TConnection& connection, const std::string& requestText,
                  platform::TTranscript* InfoMemo);

}  // namespace shell
