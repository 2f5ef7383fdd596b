#pragma once
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace fuzz {

// One directory for the run's files, on memory when the system has it: the
// targets write and sync files on every input, and a disk would make each
// run a thousand times slower. Removed when the process ends normally.
inline const std::string& ScratchDir() {
  static const std::string dir = [] {
    std::string pattern =
        std::string(std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp") +
        "/qelvo-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    static const std::string removed = pattern;
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(removed, ignored);
    });
    return pattern + "/";
  }();
  return dir;
}

// A failed property: abort so libFuzzer and the replay both report it.
inline void Require(bool holds, const char* what) {
  if (!holds) {
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
  }
}

}  // namespace fuzz
