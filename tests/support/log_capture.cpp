#include "support/log_capture.h"

#include <regex>

#include "platform/text_codec.h"

namespace testing_support {

LogCapture::LogCapture()
    : Path_(Dir_.File("test.LOG")),
      Log_(std::make_unique<settings::TLogFile>(Path_)),
      Previous_(settings::LogFile) {
  settings::LogFile = Log_.get();
}

LogCapture::~LogCapture() { settings::LogFile = Previous_; }

std::string LogCapture::RawGbk() const { return ReadFile(Path_); }

std::vector<std::string> LogCapture::Messages() const {
  return SplitLogMessages(platform::FromGbk(RawGbk()));
}

std::vector<std::string> SplitLogMessages(const std::string& text) {
  static const std::regex stamp(R"(^\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2} )");
  std::vector<std::string> messages;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find("\r\n", pos);
    std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    pos = end == std::string::npos ? text.size() : end + 2;
    std::smatch m;
    if (std::regex_search(line, m, stamp)) {
      messages.push_back(line.substr(m.length()));
    } else if (!messages.empty()) {
      messages.back() += "\r\n" + line;
    } else {
      messages.push_back(line);
    }
  }
  return messages;
}

}  // namespace testing_support
