#pragma once
#include <string>
#include <string_view>

namespace platform {

// The full directory of the running executable, ending with a separator.
// The working directory plays no part in where the server keeps its files.
std::string ExecutableDirectory();

// Appends the bytes to the file in one write, creating the file when it is
// missing. False on any input or output failure; nothing is thrown.
bool AppendToFile(const std::string& path, std::string_view bytes);

// Reads the whole file; false when it cannot be read (missing included).
bool ReadWholeFile(const std::string& path, std::string& content);

// Replaces the file's content as a whole (a temporary file renamed over it),
// so a crash never leaves it half written. Refuses a file marked read-only,
// as a settings file an administrator locked must keep its content.
bool ReplaceFileContent(const std::string& path, std::string_view content);

bool FileExists(const std::string& path);

}  // namespace platform
