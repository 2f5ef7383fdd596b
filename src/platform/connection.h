#pragma once
#include <string_view>

namespace platform {

// The one thing a request handler needs of its client's connection: a way to
// send the reply bytes. Write may throw; handlers ignore write errors.
class TConnection {
 public:
  virtual ~TConnection() = default;
  virtual void Write(std::string_view bytes) = 0;
};

}  // namespace platform
