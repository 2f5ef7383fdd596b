#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// A settings file of [sections] and key=value lines, read and written with
// the rules of the Windows profile-string functions: section and key names
// match without regard to ASCII letter case, a value loses its surrounding
// blanks and one pair of enclosing quotes, at most 2047 bytes are taken, and
// a write updates the one key in place, keeping every other line as it was.
// The file is GBK; names and values are UTF-8 in memory. Every call reads or
// writes the file afresh; the object holds only the path.
class TIniFile;

// Every key of a settings file as one read found them, for a caller that
// looks up many keys at once: the same lookup rules, one read of the file.
class TIniValues {
 public:
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback) const;

 private:
  friend class TIniFile;
  struct Entry {
    std::string Section, Key, Value;
  };
  std::vector<Entry> Entries_;  // file order: the first occurrence wins
};

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
  TIniValues ReadAll() const;

  // Throws std::runtime_error("Unable to write to <path>") when the file
  // cannot be written; a read-only file keeps its content.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  // Several keys of one section in one replacement of the file, in order,
  // each with the rules of WriteString.
  void WriteStrings(std::string_view section,
                    const std::vector<std::pair<std::string, std::string>>& values);

 private:
  std::string FileName_;
};

}  // namespace platform
