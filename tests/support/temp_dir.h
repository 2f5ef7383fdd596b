#pragma once
#include <string>

namespace testing_support {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The directory, ending with '/'.
  const std::string& Path() const { return Path_; }
  std::string File(const std::string& name) const { return Path_ + name; }

 private:
  std::string Path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);

}  // namespace testing_support
