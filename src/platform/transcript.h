#pragma once
#include <string>

namespace platform {

// The operator's transcript of the listener's start and stop lines: the main
// window's memo, or standard output for the headless server. Written only on
// the main thread.
class TTranscript {
 public:
  virtual ~TTranscript() = default;
  virtual void AddLine(const std::string& line) = 0;
};

}  // namespace platform
