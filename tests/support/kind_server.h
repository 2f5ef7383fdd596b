#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/transcript.h"
#include "settings/sys_option.h"
#include "shell/interface_server.h"

namespace testing_support {

// The real listener of one interface kind, in process, on a free port: the
// kind and its device are selected first, as the start-up of that kind does.
class KindServer : public platform::TTranscript {
 public:
  // kind: 2 police, 3 member. The device globals are set by the caller.
  explicit KindServer(int kind);
  ~KindServer() override;

  void AddLine(const std::string& line) override { Lines.push_back(line); }
  // Sends the request with its zero byte and returns every byte of the reply.
  std::string Send(const std::string& text) const;

  int Port = 0;
  std::vector<std::string> Lines;

 private:
  settings::TSysOption Sys_;
  std::unique_ptr<shell::TInterfaceServer> Server_;
};

}  // namespace testing_support
