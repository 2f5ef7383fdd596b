#include "platform/file_system.h"

#include <windows.h>

#include <atomic>
#include <string>

namespace platform {

namespace {

// Paths are UTF-8 in memory like every other text; they become UTF-16 only
// here, at the file API, so a room or a directory with Chinese characters
// is found whatever the PC's ANSI code page is.
std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                    nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0)
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0)
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n,
                        nullptr, nullptr);
  return utf8;
}

std::size_t LastSeparator(const std::wstring& path) { return path.find_last_of(L"\\/"); }

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    // WriteFile takes a 32-bit count; a larger text goes in pieces.
    const DWORD chunk = bytes.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// The file a link points at, so that replacing the content of a linked
// settings file changes the file and keeps the link, as on POSIX.
bool ResolveLink(std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return true;
  HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::wstring target(MAX_PATH, L'\0');
  DWORD n = GetFinalPathNameByHandleW(file, target.data(), static_cast<DWORD>(target.size()), 0);
  if (n >= target.size()) {
    target.resize(n + 1);
    n = GetFinalPathNameByHandleW(file, target.data(), static_cast<DWORD>(target.size()), 0);
  }
  CloseHandle(file);
  if (n == 0 || n >= target.size()) return false;
  target.resize(n);
  path = target;
  return true;
}

}  // namespace

std::string ExecutableDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    // No answer at all: the working directory is the least surprising place left.
    if (n == 0) return ".\\";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);  // truncated: a long path, ask again with room
  }
  const std::size_t separator = LastSeparator(path);
  if (separator == std::wstring::npos) return ".\\";
  return Utf8(path.substr(0, separator + 1));
}

bool AppendToFile(const std::string& path, std::string_view bytes) {
  // FILE_APPEND_DATA alone makes every write land at the end, whoever else
  // appends; readers (a tester's editor, a tail) may look while it is open.
  HANDLE file = CreateFileW(Wide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool written = WriteAll(file, bytes);
  const bool closed = CloseHandle(file) != 0;
  return written && closed;
}

bool ReadWholeFile(const std::string& path, std::string& content) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string data;
  char buf[65536];
  bool ok = true;
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file, buf, sizeof buf, &n, nullptr)) {
      ok = false;
      break;
    }
    if (n == 0) break;
    data.append(buf, n);
  }
  CloseHandle(file);
  if (!ok) return false;
  content = std::move(data);
  return true;
}

bool ReplaceFileContent(const std::string& path, std::string_view content) {
  std::wstring target = Wide(path);
  if (!ResolveLink(target)) return false;

  const DWORD attributes = GetFileAttributesW(target.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    // The read-only attribute is the administrator's lock on a settings
    // file; MoveFileEx would refuse to replace it anyway, but refusing here
    // says so before a temporary file is made.
    if (attributes & FILE_ATTRIBUTE_READONLY) return false;
  }

  // The temporary file sits beside the target so the final move stays on
  // one volume and is a rename, never a copy.
  static std::atomic<unsigned> counter{0};
  const std::wstring temp = target + L"." + std::to_wstring(GetCurrentProcessId()) + L"." +
                            std::to_wstring(counter++) + L".tmp";
  HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteAll(file, content) && FlushFileBuffers(file) != 0;
  ok = CloseHandle(file) != 0 && ok;
  // Hidden, system or archive marks the file had stay with it.
  if (ok && exists) {
    const DWORD kept = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                     FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (kept != 0) SetFileAttributesW(temp.c_str(), kept);
  }
  ok = ok && MoveFileExW(temp.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!ok) {
    DeleteFileW(temp.c_str());
    return false;
  }
  return true;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace platform
