#include "platform/ini_file.h"

#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "platform/integer_text.h"
#include "platform/text_codec.h"

namespace platform {

namespace {

constexpr std::size_t kMaxValueBytes = 2047;

// One line of the file. The raw GBK bytes are kept so that a write can give
// back every line it does not change exactly as it was read, whatever its
// spacing or encoding quirks.
struct Line {
  enum Kind { kOther, kSection, kKey };
  std::string raw;  // GBK, without the line end
  std::string end;  // "\r\n", "\n" or "" for a last line without one
  Kind kind = kOther;
  std::string name;   // section or key name, UTF-8, blanks trimmed
  std::string value;  // key value, UTF-8, as ReadString gives it
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Only ASCII letters fold: bytes of multi-byte characters never match a
// letter, so Chinese names compare exactly.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// Cuts GBK text to at most max bytes without splitting a two-byte character.
std::string_view CutGbk(std::string_view gbk, std::size_t max) {
  std::size_t i = 0;
  while (i < gbk.size()) {
    const bool lead = static_cast<unsigned char>(gbk[i]) >= 0x81 && i + 1 < gbk.size();
    const std::size_t n = lead ? 2 : 1;
    if (i + n > max) break;
    i += n;
  }
  return gbk.substr(0, i);
}

std::string ValueOf(std::string_view text) {
  std::string_view v = Trim(text);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    v = v.substr(1, v.size() - 2);
  }
  // The byte limit holds for the file's GBK form, which is never longer than
  // the UTF-8 form: only a long value needs the round trip.
  if (v.size() <= kMaxValueBytes) return std::string(v);
  const std::string gbk = ToGbk(v);
  if (gbk.size() <= kMaxValueBytes) return std::string(v);
  return FromGbk(CutGbk(gbk, kMaxValueBytes));
}

void Classify(Line& line) {
  const std::string text = FromGbk(line.raw);
  const std::string_view trimmed = Trim(text);
  if (trimmed.empty() || trimmed.front() == ';') return;
  if (trimmed.front() == '[') {
    const std::size_t close = trimmed.find(']');
    if (close != std::string_view::npos) {
      line.kind = Line::kSection;
      line.name = Trim(trimmed.substr(1, close - 1));
    }
    return;
  }
  const std::size_t eq = text.find('=');
  if (eq == std::string::npos) return;
  const std::string_view key = Trim(std::string_view(text).substr(0, eq));
  if (key.empty()) return;
  line.kind = Line::kKey;
  line.name = key;
  line.value = ValueOf(std::string_view(text).substr(eq + 1));
}

std::vector<Line> Parse(std::string_view content) {
  std::vector<Line> lines;
  std::size_t pos = 0;
  while (pos < content.size()) {
    Line line;
    const std::size_t nl = content.find('\n', pos);
    std::string_view body = content.substr(pos, nl == std::string_view::npos ? nl : nl - pos);
    if (nl == std::string_view::npos) {
      pos = content.size();
    } else {
      pos = nl + 1;
      line.end = "\n";
      if (!body.empty() && body.back() == '\r') {
        body.remove_suffix(1);
        line.end = "\r\n";
      }
    }
    line.raw = body;
    Classify(line);
    lines.push_back(std::move(line));
  }
  return lines;
}

// The first line of the key among all sections of that name, in file order:
// a section repeated by hand reads as one, and the first occurrence of a key
// wins. -1 when there is none.
std::ptrdiff_t FindKey(const std::vector<Line>& lines, std::string_view section,
                       std::string_view key) {
  bool inSection = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind == Line::kSection) {
      inSection = SameName(lines[i].name, section);
    } else if (inSection && lines[i].kind == Line::kKey && SameName(lines[i].name, key)) {
      return static_cast<std::ptrdiff_t>(i);
    }
  }
  return -1;
}

}  // namespace

TIniFile::TIniFile(std::string fileName) : FileName_(std::move(fileName)) {}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view fallback) const {
  return ReadAll().ReadString(section, key, fallback);
}

std::int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key,
                                   std::int32_t fallback) const {
  return StrToIntDef(ReadString(section, key, ""), fallback);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

TIniValues TIniFile::ReadAll() const {
  TIniValues values;
  std::string content;
  if (!ReadWholeFile(FileName_, content)) return values;
  std::string section;
  bool inSection = false;
  for (Line& line : Parse(content)) {
    if (line.kind == Line::kSection) {
      section = std::move(line.name);
      inSection = true;
    } else if (inSection && line.kind == Line::kKey) {
      values.Entries_.push_back({section, std::move(line.name), std::move(line.value)});
    }
  }
  return values;
}

std::string TIniValues::ReadString(std::string_view section, std::string_view key,
                                   std::string_view fallback) const {
  for (const Entry& entry : Entries_) {
    if (SameName(entry.Section, section) && SameName(entry.Key, key)) return entry.Value;
  }
  return std::string(fallback);
}

namespace {

// Sets one key in the parsed lines: an existing line gets the new value, a
// missing key goes after the last key of its section, a missing section is
// added at the end with the caller's spelling.
void SetKey(std::vector<Line>& lines, std::string_view section, std::string_view key,
            std::string_view value) {
  const std::string gbkValue = ToGbk(value);
  const std::ptrdiff_t found = FindKey(lines, section, key);
  if (found >= 0) {
    // Everything up to the '=' stays as written; 0x3D is never the second
    // byte of a GBK character, so the first one is the separator.
    Line& line = lines[static_cast<std::size_t>(found)];
    line.raw = line.raw.substr(0, line.raw.find('=') + 1) + gbkValue;
  } else {
    Line added;
    added.raw = ToGbk(key) + "=" + gbkValue;
    added.end = "\r\n";
    // Known as a key at once, so a later key of the same batch follows it.
    Classify(added);

    std::ptrdiff_t after = -1;  // the line the new key follows
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].kind == Line::kSection) {
        if (after >= 0) break;  // the end of the first section of that name
        if (SameName(lines[i].name, section)) after = static_cast<std::ptrdiff_t>(i);
      } else if (after >= 0 && lines[i].kind == Line::kKey) {
        after = static_cast<std::ptrdiff_t>(i);
      }
    }

    std::size_t insertAt;
    if (after >= 0) {
      insertAt = static_cast<std::size_t>(after) + 1;
    } else {
      if (!lines.empty() && lines.back().end.empty()) lines.back().end = "\r\n";
      Line header;
      // Appended piece by piece: GCC 12 warns falsely on "[" + std::string.
      header.raw = "[";
      header.raw += ToGbk(section);
      header.raw += ']';
      header.end = "\r\n";
      Classify(header);
      lines.push_back(std::move(header));
      insertAt = lines.size();
    }
    // The line before the new one may have been the file's last, without an end.
    if (insertAt > 0 && lines[insertAt - 1].end.empty()) lines[insertAt - 1].end = "\r\n";
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(added));
  }

}

}  // namespace

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  WriteStrings(section, {{std::string(key), std::string(value)}});
}

void TIniFile::WriteStrings(std::string_view section,
                            const std::vector<std::pair<std::string, std::string>>& values) {
  std::string content;
  // A file that is there but cannot be read must not be replaced by one
  // holding these keys alone.
  if (FileExists(FileName_) && !ReadWholeFile(FileName_, content))
    throw std::runtime_error("Unable to write to " + FileName_);
  std::vector<Line> lines = Parse(content);
  for (const auto& [key, value] : values) SetKey(lines, section, key, value);

  std::string out;
  for (const Line& line : lines) out += line.raw + line.end;
  if (!ReplaceFileContent(FileName_, out))
    throw std::runtime_error("Unable to write to " + FileName_);
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

}  // namespace platform
