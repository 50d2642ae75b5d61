// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <new>

namespace durnix {

namespace {

long systemWrite(int fd, const void* buf, std::size_t n) {
  return ::write(fd, buf, n);
}

testing::WriteFunction writeFunction = &systemWrite;

mode_t newFileMode() {
  // umask can only be read by setting it; the program has a single thread.
  static const mode_t mode = [] {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
  }();
  return mode;
}

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool writeAll(int fd, ByteView data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const long n = writeFunction(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

void testing::SetWriteFunction(WriteFunction fn) {
  writeFunction = fn ? fn : &systemWrite;
}

bool PathExists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

Status ReadFileBytes(const std::string& path, Bytes& out) {
  try {
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOMEM ? kOutOfMemory : kCannotOpen;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
      ::close(fd);
      return kCannotOpen;
    }
    if (S_ISREG(st.st_mode)) {
      if (static_cast<unsigned long long>(st.st_size) > kMaxSpectrumFileBytes) {
        ::close(fd);
        return kNotThisFormat;
      }
      out.reserve(static_cast<std::size_t>(st.st_size));
    }
    // Devices and pipes have no size: read until the end or the limit.
    char buf[65536];
    for (;;) {
      const ssize_t n = ::read(fd, buf, sizeof buf);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        ::close(fd);
        out.clear();
        return kNotThisFormat;
      }
      if (n == 0) break;
      out.append(buf, static_cast<std::size_t>(n));
      if (out.size() > kMaxSpectrumFileBytes) {
        ::close(fd);
        out.clear();
        return kNotThisFormat;
      }
    }
    ::close(fd);
    return kDone;
  } catch (const std::bad_alloc&) {
    out.clear();
    return kOutOfMemory;
  }
}

Status WriteFileReplacing(const std::string& path, ByteView data) {
  try {
    std::string target = path;
    struct stat st {};
    bool replacing = false;
    mode_t mode = newFileMode();
    if (::lstat(target.c_str(), &st) == 0) {
      if (S_ISLNK(st.st_mode)) {
        // Replace the file the link points at and keep the link.
        char resolved[PATH_MAX];
        if (::realpath(target.c_str(), resolved) == nullptr) return kCannotCreate;
        target = resolved;
        if (::stat(target.c_str(), &st) != 0) return kCannotCreate;
      }
      if (!S_ISREG(st.st_mode)) return kCannotCreate;
      // A file without any write permission is protected by its owner, even from root.
      if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) return kCannotCreate;
      replacing = true;
      mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
      return kCannotCreate;
    }

    if (!replacing) {
      // Nothing to protect: the file is made in place, and removed again if writing fails.
      const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
      if (fd >= 0) {
        const bool written = writeAll(fd, data);
        if (::close(fd) == 0 && written) return kDone;
        ::unlink(target.c_str());
        return kDoesNotFit;
      }
      if (errno != EEXIST) return errno == ENOMEM ? kOutOfMemory : kCannotCreate;
      // Made by someone else meanwhile: replace it like any existing file.
    }

    std::string temp = folderOf(target) + "/.durnix-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return errno == ENOMEM ? kOutOfMemory : kCannotCreate;
    const auto fail = [&](Status status) {
      ::close(fd);
      ::unlink(temp.c_str());
      return status;
    };
    if (::fchmod(fd, mode) != 0) return fail(kCannotCreate);
    if (!writeAll(fd, data)) return fail(kDoesNotFit);
    // The old file goes away with the rename: its replacement must be on the disk first.
    if (replacing && ::fdatasync(fd) != 0) return fail(kDoesNotFit);
    if (::close(fd) != 0) {
      ::unlink(temp.c_str());
      return kDoesNotFit;
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
      ::unlink(temp.c_str());
      return kDoesNotFit;
    }
    return kDone;
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  }
}

}  // namespace durnix
