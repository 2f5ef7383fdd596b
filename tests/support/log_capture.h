#pragma once
#include <memory>
#include <string>
#include <vector>

#include "settings/log_file.h"
#include "support/temp_dir.h"

namespace testing_support {

// Points the global LogFile at a file of its own for one test and reads the
// lines back in UTF-8 with their time stamps removed. Restores the previous
// LogFile when it goes.
class LogCapture {
 public:
  LogCapture();
  ~LogCapture();

  // One entry per stamped line; continuation lines (a message holding CR LF)
  // stay in their entry, joined with "\r\n".
  std::vector<std::string> Messages() const;
  std::string RawGbk() const;
  const std::string& Path() const { return Path_; }

 private:
  TempDir Dir_;
  std::string Path_;
  std::unique_ptr<settings::TLogFile> Log_;
  settings::TLogFile* Previous_;
};

// Splits a log file's text (UTF-8, CR LF lines) into messages without stamps.
std::vector<std::string> SplitLogMessages(const std::string& utf8Text);

}  // namespace testing_support
