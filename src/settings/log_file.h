#pragma once
#include <mutex>
#include <string>
#include <string_view>

namespace settings {

// The daily log: every line "yyyy-mm-dd hh:nn:ss " + message + CR LF, in
// GBK, appended to the file named at start. The file is opened and closed
// for every line so an operator may move or delete it while the server
// runs. Callable from any thread: concurrent lines wait for each other, and
// a line is lost only when the file cannot be written.
class TLogFile {
 public:
  explicit TLogFile(std::string fileName);

  // message is UTF-8. Never throws for a file problem.
  void WriteLog(std::string_view message);

  const std::string FileName;

 private:
  std::mutex Lock_;
};

extern TLogFile* LogFile;

// Writes through LogFile when there is one; a no-op before start-up.
void WriteLog(std::string_view message);

}  // namespace settings
