#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// A settings file of [sections] and key=value lines, read and written with
// the rules of the Windows profile-string functions: section and key names
// match without regard to ASCII letter case, a value loses its surrounding
// blanks and one pair of enclosing quotes, at most 2047 bytes are taken, and
// a write updates the one key in place, keeping every other line as it was.
// The file is GBK; names and values are UTF-8 in memory. Every call reads or
// writes the file afresh; the object holds only the path.
class TIniFile {
 public:
  explicit TIniFile(std::string fileName);

  const std::string& FileName() const { return FileName_; }

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback) const;
  // An empty value or one that is no integer text gives the fallback.
  std::int32_t ReadInteger(std::string_view section, std::string_view key,
                           std::int32_t fallback) const;
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

  // Throws std::runtime_error("Unable to write to <path>") when the file
  // cannot be written; a read-only file keeps its content.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

 private:
  std::string FileName_;
};

}  // namespace platform
