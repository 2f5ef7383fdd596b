#pragma once
#include <string>
#include <string_view>

namespace platform {

// The one thing a request handler needs of its client's connection: a way to
// send the reply bytes. Write may throw; handlers ignore write errors.
class TConnection {
 public:
  virtual ~TConnection() = default;
  virtual void Write(std::string_view bytes) = 0;
};

// Sends one reply: the text and one zero byte, in a single write. A write
// error is ignored: the client went away, the request was still served and
// is in the log.
inline void WriteReply(TConnection& connection, std::string_view text) {
  std::string bytes(text);
  bytes.push_back('\0');
  try {
    connection.Write(bytes);
  } catch (...) {
    // Nothing more can be done for a client that is gone.
  }
}

}  // namespace platform
