#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/file_system.h"

namespace platform {

namespace {

bool WriteAll(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

}  // namespace

std::string ExecutableDirectory() {
  char buf[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  // Without /proc there is no reliable answer; the working directory is the
  // least surprising place left.
  if (n <= 0) return "./";
  return DirectoryOf(std::string(buf, static_cast<std::size_t>(n)));
}

bool AppendToFile(const std::string& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, bytes);
  const bool closed = ::close(fd) == 0;
  return written && closed;
}

bool ReadWholeFile(const std::string& path, std::string& content) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  std::string data;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    data.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  content = std::move(data);
  return true;
}

bool ReplaceFileContent(const std::string& path, std::string_view content) {
  // A link stays a link: the file it points at gets the new content.
  std::string target = path;
  struct stat linkInfo {};
  if (::lstat(path.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode)) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) return false;
    target = resolved;
  }

  mode_t mode = 0644;
  struct stat info {};
  const bool exists = ::stat(target.c_str(), &info) == 0;
  if (exists) {
    // Checked by the mode rather than by trying to open: root may write any
    // file, yet a settings file an administrator made read-only must keep
    // its content.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
    mode = info.st_mode & 07777;
  }

  std::string temp = DirectoryOf(target) + ".";
  temp += target.substr(target.rfind('/') == std::string::npos ? 0 : target.rfind('/') + 1);
  temp += ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;

  bool ok = WriteAll(fd, content) && ::fchmod(fd, mode) == 0;
  if (ok && exists && ::fchown(fd, info.st_uid, info.st_gid) != 0) {
    // Only a privileged process can hand the file back to its owner; for
    // everyone else the file already is theirs, so a failure changes nothing.
  }
  ok = ok && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace platform
