#include "settings/log_file.h"

#include <string>
#include <utility>

#include "platform/date_time.h"
#include "platform/file_system.h"
#include "platform/text_codec.h"

namespace settings {

TLogFile* LogFile = nullptr;

TLogFile::TLogFile(std::string fileName) : FileName(std::move(fileName)) {}

void TLogFile::WriteLog(std::string_view message) {
  const std::string text = platform::ToGbk(message) + "\r\n";
  // The stamp is taken inside the lock so lines stay in time order.
  std::lock_guard<std::mutex> guard(Lock_);
  const std::string line =
      platform::FormatDateTime("yyyy-mm-dd hh:nn:ss ", platform::Now()) + text;
  // A failed write drops the line; the next call tries the file again.
  platform::AppendToFile(FileName, line);
}

void WriteLog(std::string_view message) {
  if (LogFile != nullptr) LogFile->WriteLog(message);
}

}  // namespace settings
