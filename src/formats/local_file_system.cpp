// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/local_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <set>

#include "formats/paths.h"

namespace durnix {

namespace {

constexpr std::size_t kCopyChunk = 1u << 20;

// The process's umask. Linux tells it in /proc/self/status; reading it through umask() would
// set it for a moment, and a file that another thread makes meanwhile would get that mask.
mode_t currentUmask() {
  if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
    char line[256];
    unsigned mask = 0;
    bool found = false;
    while (!found && std::fgets(line, sizeof line, status) != nullptr) {
      found = std::sscanf(line, "Umask: %o", &mask) == 1;
    }
    std::fclose(status);
    if (found) return static_cast<mode_t>(mask & 0777);
  }
  const mode_t mask = ::umask(022);  // kernels before 4.7
  ::umask(mask);
  return mask;
}

mode_t newFileMode() {
  static const mode_t mode = static_cast<mode_t>(0666 & ~currentUmask());
  return mode;
}

// The folder a file is made in, as open() takes it ("." for a bare name).
std::string folderOf(const std::string& path) {
  const std::string folder = WithoutFinalSlash(FolderOf(path));
  return folder.empty() ? "." : folder;
}

bool writeAll(int fd, const char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = ENOSPC;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// A name for a temporary file beside the target: hidden, and unlikely to be taken.
std::string temporaryName(const std::string& folder) {
  static unsigned long long state =
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
      (static_cast<unsigned long long>(::getpid()) << 32);
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::string name = folder + "/.durnix-";
  for (int i = 0; i < 6; ++i) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    name.push_back(kLetters[(state >> 33) % (sizeof kLetters - 1)]);
  }
  return name;
}

constexpr std::string_view kTemporaryPrefix = ".durnix-";
constexpr std::size_t kTemporaryLetters = 6;

bool isTemporaryName(std::string_view name) {
  if (name.size() != kTemporaryPrefix.size() + kTemporaryLetters ||
      name.substr(0, kTemporaryPrefix.size()) != kTemporaryPrefix) {
    return false;
  }
  for (const char c : name.substr(kTemporaryPrefix.size())) {
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

// Takes the lock that marks a temporary file as in use by a live process. A process holds it from
// before the file has its name until the name is gone, so a temporary file whose lock can be
// taken was left by a process that was killed. False where the lock is held (or the file system
// keeps no locks).
bool lockTemporary(int fd) {
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EINTR) return false;
  }
}

// Removes the temporary files that killed runs left in `folder`: those of the user's own whose
// lock no live process holds.
void removeStaleTemporaries(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  const int dirFd = ::dirfd(dir);
  while (const dirent* d = ::readdir(dir)) {
    if (!isTemporaryName(d->d_name)) continue;
    const int fd =
        ::openat(dirFd, d->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat held {};
    struct stat named {};
    // The file locked must be the file named, and a regular file of the user's.
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == ::geteuid() &&
        lockTemporary(fd) && ::fstatat(dirFd, d->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        named.st_dev == held.st_dev && named.st_ino == held.st_ino) {
      ::unlinkat(dirFd, d->d_name, 0);
    }
    ::close(fd);
  }
  ::closedir(dir);
}

// Moves `from` to `to` unless `to` exists. Falls back to a plain rename where the file system
// knows neither hard links nor the no-replace rename.
int placeWithoutReplacing(const std::string& from, const std::string& to) {
  if (::link(from.c_str(), to.c_str()) == 0) {
    ::unlink(from.c_str());
    return 0;
  }
  if (errno == EEXIST) return EEXIST;
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  struct stat st {};
  if (::lstat(to.c_str(), &st) == 0) return EEXIST;
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

bool isReadOnly(const struct stat& st, int dirFd, const char* name) {
  // Without any write permission a file is read-only for everyone, root included.
  return (st.st_mode & 0222) == 0 || ::faccessat(dirFd, name, W_OK, 0) != 0;
}

FileEntry entryOf(std::string_view name, const struct stat& st, bool readOnly) {
  FileEntry entry;
  entry.name = std::string(name);
  entry.kind = S_ISDIR(st.st_mode)   ? EntryKind::kFolder
               : S_ISREG(st.st_mode) ? EntryKind::kFile
                                     : EntryKind::kOther;
  entry.readOnly = readOnly;
  entry.bytes = entry.kind == EntryKind::kFile ? static_cast<long long>(st.st_size) : 0;
  entry.modified = st.st_mtime;
  entry.attributes = AttributeNumberOf(entry.kind, readOnly, name);
  return entry;
}

// The entry at `name` of the folder `dirFd` (links followed; a broken link is an entry of its
// own kind). False when there is none.
bool lookAt(int dirFd, const char* name, std::string_view shownName, FileEntry& entry) {
  struct stat st {};
  if (::fstatat(dirFd, name, &st, 0) == 0) {
    entry = entryOf(shownName, st, isReadOnly(st, dirFd, name));
    return true;
  }
  if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
  entry = entryOf(shownName, st, false);
  entry.kind = EntryKind::kOther;
  entry.bytes = 0;
  entry.attributes = AttributeNumberOf(EntryKind::kOther, false, shownName);
  return true;
}

// Opens a regular file for reading; a pipe, socket or device is not opened at all, so nothing
// waits on it.
int openRegular(const std::string& path, struct stat& st) {
  if (::stat(path.c_str(), &st) != 0) return -1;
  if (!S_ISREG(st.st_mode)) {
    errno = S_ISDIR(st.st_mode) ? EISDIR : kErrorNotRegular;
    return -1;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return -1;
  // It may have been replaced by something else since.
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    errno = kErrorNotRegular;
    return -1;
  }
  return fd;
}

}  // namespace

int AttributeNumberOf(EntryKind kind, bool readOnly, std::string_view name) {
  const int hidden = !name.empty() && name[0] == '.' && name != ".." ? kAttrHidden : 0;
  const int base = kind == EntryKind::kFolder ? kAttrFolder
                   : kind == EntryKind::kFile ? kAttrArchive
                                              : kAttrSystem;
  return base | hidden | (readOnly ? kAttrReadOnly : 0);
}

bool FileSystem::Exists(const std::string& path) {
  FileEntry entry;
  return Stat(path, entry) == kDone;
}

bool LocalFileSystem::Exists(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) {
    return false;
  }
  return true;
}

FileResult FileSystem::SetReadOnly(const std::string&, bool) {
  return FileResult{kCannotCreate, ENOTSUP};
}

FileResult FileSystem::SetModified(const std::string&, std::time_t) {
  return FileResult{kCannotCreate, ENOTSUP};
}

std::string SystemErrorText(int error) {
  if (error == 0) return {};
  if (error == kErrorNotRegular) return "Not a regular file";
  char buffer[256];
  // The GNU strerror_r returns its text, in the buffer or not.
  return ::strerror_r(error, buffer, sizeof buffer);
}

FileSystem& LocalFiles() {
  static LocalFileSystem files;
  return files;
}

FileResult LocalFileSystem::ReadFile(const std::string& path, Bytes& out, std::size_t limit) {
  struct stat st {};
  const int fd = openRegular(path, st);
  if (fd < 0) {
    out.clear();
    return FileResult{errno == ENOMEM ? kOutOfMemory : kCannotOpen, errno};
  }
  try {
    if (static_cast<unsigned long long>(st.st_size) > limit) {
      ::close(fd);
      out.clear();
      return FileResult{kNotThisFormat, EFBIG};
    }
    // A file is read to the length it had when it was opened; a file that tells no length (of
    // the kernel's own kind) is read to its end or the limit. The buffer keeps its memory from
    // the last file: only what it grows by is cleared first.
    const auto size = static_cast<std::size_t>(st.st_size);
    out.resize(size != 0 ? size : 4096);
    std::size_t done = 0;
    for (;;) {
      if (done == out.size()) {
        if (size != 0 || out.size() > limit) break;
        out.resize(std::min(limit + 1, out.size() * 2));
      }
      const ssize_t n = ::read(fd, out.data() + done, out.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        const int error = errno;
        ::close(fd);
        out.clear();
        return FileResult{kCannotOpen, error};
      }
      if (n == 0) break;
      done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (done > limit) {
      out.clear();
      return FileResult{kNotThisFormat, EFBIG};
    }
    out.resize(done);
    return FileResult{};
  } catch (const std::bad_alloc&) {
    ::close(fd);
    out.clear();
    return FileResult{kOutOfMemory, ENOMEM};
  }
}

template <class Fill>
FileResult LocalFileSystem::put(const std::string& path, bool replace, Fill&& fill) {
  try {
    std::string target = path;
    struct stat st {};
    bool replacing = false;
    mode_t mode = newFileMode();
    // A new file needs no look first: linking it under its name fails where any entry is there.
    if (!replace) {
      // A new file: the link below is the only check.
    } else if (::lstat(target.c_str(), &st) == 0) {
      if (S_ISLNK(st.st_mode)) {
        // A link is followed only when it belongs to the user or to the owner of the file it
        // names, as the kernel's protected links do: a link planted by someone else in a shared
        // folder must not make the program replace a file of the user's.
        const uid_t linkOwner = st.st_uid;
        char resolved[PATH_MAX];
        if (::realpath(target.c_str(), resolved) == nullptr)
          return FileResult{kCannotCreate, errno};
        target = resolved;
        if (::stat(target.c_str(), &st) != 0) return FileResult{kCannotCreate, errno};
        if (linkOwner != ::geteuid() && linkOwner != st.st_uid) {
          return FileResult{kCannotCreate, EACCES};
        }
      }
      if (S_ISDIR(st.st_mode)) return FileResult{kCannotCreate, EISDIR};
      if (!S_ISREG(st.st_mode)) return FileResult{kCannotCreate, EINVAL};
      if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
        return FileResult{kCannotCreate, EACCES};
      }
      replacing = true;
      mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
      return FileResult{kCannotCreate, errno};
    }

    const std::string folder = folderOf(target);
    sweepOnce(folder);
    // The new content is made under no name at all where the file system allows it, so that a
    // run killed part way leaves nothing behind; elsewhere under a hidden temporary name, locked
    // for as long as it has that name, so that a later run can tell it from one in use.
    int fd = -1;
    std::string temp;
    if (unnamedTemporaries_) {
      fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
      if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        return FileResult{kCannotCreate, errno};
      }
    }
    if (fd < 0) {
      for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = temporaryName(folder);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) return FileResult{kCannotCreate, errno};
        // A lock held already is that of a run removing stale files, which takes this one.
        if (fd >= 0 && !lockTemporary(fd) && errno == EWOULDBLOCK) {
          ::close(fd);
          fd = -1;
        }
      }
      if (fd < 0) return FileResult{kCannotCreate, EEXIST};
    }
    // The descriptor that keeps the lock, open until the temporary name is gone.
    int lockFd = -1;
    const auto release = [&] {
      if (lockFd >= 0) ::close(lockFd);
      lockFd = -1;
    };
    const auto abandon = [&](int error) {
      ::close(fd);
      if (!temp.empty()) ::unlink(temp.c_str());
      release();
      return FileResult{kCannotCreate, error};
    };
    if (!fill(fd)) return abandon(errno);
    if ((replacing || !temp.empty()) && ::fchmod(fd, mode) != 0) return abandon(errno);
    if (replacing) {
      // The owner and group stay where the process may keep them.
      if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
        if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
          (void)::fchown(fd, static_cast<uid_t>(-1), st.st_gid);  // the group alone, if allowed
        }
        // fchown may clear the set-user-ID bits: the permissions are set again.
        (void)::fchmod(fd, mode);
      }
      // The old file goes away with the rename: its replacement must be on the disk first.
      if (::fdatasync(fd) != 0) return abandon(errno);
    }

    if (temp.empty()) {
      // Give the unnamed file its name: the final one for a new file (never over an entry
      // that appeared meanwhile), a temporary one first for a replacement.
      const auto linkTo = [&](const std::string& name) {
        // The descriptor itself where the process may name files by it (CAP_DAC_READ_SEARCH),
        // else its name under /proc.
        static bool byDescriptor = true;
        if (byDescriptor) {
          if (::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0) return 0;
          if (errno == EEXIST) return EEXIST;
          if (errno != ENOENT && errno != EPERM) return errno;
          byDescriptor = false;
        }
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
          return 0;
        }
        return errno;
      };
      if (!replacing) {
        const int error = linkTo(target);
        if (error != 0) return abandon(error);
        if (::close(fd) != 0) {
          const int closeError = errno;
          ::unlink(target.c_str());
          return FileResult{kCannotCreate, closeError};
        }
        return FileResult{};
      }
      // Locked before it has a name: no other run ever sees it unlocked while this one lives.
      (void)lockTemporary(fd);
      int error = EEXIST;
      for (int attempt = 0; error == EEXIST && attempt < 100; ++attempt) {
        temp = temporaryName(folder);
        error = linkTo(temp);
      }
      if (error != 0) {
        temp.clear();
        return abandon(error);
      }
    }
    // The lock goes with the open file, not with one descriptor of it: a second one keeps it
    // while the first is closed (where a network file system reports its write errors).
    lockFd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (::close(fd) != 0) {
      const int error = errno;
      ::unlink(temp.c_str());
      release();
      return FileResult{kCannotCreate, error};
    }
    const int error = replacing ? (::rename(temp.c_str(), target.c_str()) == 0 ? 0 : errno)
                                : placeWithoutReplacing(temp, target);
    if (error != 0) ::unlink(temp.c_str());
    release();
    if (error != 0) return FileResult{kCannotCreate, error};
    return FileResult{};
  } catch (const std::bad_alloc&) {
    return FileResult{kOutOfMemory, ENOMEM};
  }
}

void LocalFileSystem::sweepOnce(const std::string& folder) {
  {
    const std::lock_guard<std::mutex> lock(sweptMutex_);
    if (!swept_.insert(folder).second) return;
  }
  removeStaleTemporaries(folder);
}

FileResult LocalFileSystem::WriteFile(const std::string& path, ByteView data) {
  return put(path, true, [&](int fd) { return writeAll(fd, data.data(), data.size()); });
}

FileResult LocalFileSystem::CreateFile(const std::string& path, ByteView data) {
  return put(path, false, [&](int fd) { return writeAll(fd, data.data(), data.size()); });
}

FileResult LocalFileSystem::Stat(const std::string& path, FileEntry& entry) {
  if (!lookAt(AT_FDCWD, path.c_str(), NameOf(path), entry)) return FileResult{kCannotOpen, errno};
  return FileResult{};
}

FileResult LocalFileSystem::listFolder(const std::string& folder, std::vector<FileEntry>& entries) {
  entries.clear();
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return FileResult{errno == ENOMEM ? kOutOfMemory : kCannotOpen, errno};
  const int dirFd = ::dirfd(dir);
  try {
    for (;;) {
      errno = 0;
      const dirent* d = ::readdir(dir);
      if (d == nullptr) {
        const int error = errno;
        ::closedir(dir);
        if (error != 0) {
          entries.clear();
          return FileResult{kCannotOpen, error};
        }
        return FileResult{};
      }
      const std::string_view name = d->d_name;
      if (name == "." || name == "..") continue;
      FileEntry entry;
      // An entry that went away since the folder was read is no longer listed.
      if (lookAt(dirFd, d->d_name, name, entry)) entries.push_back(std::move(entry));
    }
  } catch (const std::bad_alloc&) {
    ::closedir(dir);
    entries.clear();
    return FileResult{kOutOfMemory, ENOMEM};
  }
}

FileResult LocalFileSystem::MakeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0777) != 0) return FileResult{kCannotCreate, errno};
  return FileResult{};
}

FileResult LocalFileSystem::Remove(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return FileResult{kCannotOpen, errno};
  const int result = S_ISDIR(st.st_mode) ? ::rmdir(path.c_str()) : ::unlink(path.c_str());
  if (result != 0) return FileResult{kCannotCreate, errno};
  return FileResult{};
}

FileResult LocalFileSystem::Rename(const std::string& from, const std::string& to) {
  struct stat st {};
  if (::lstat(from.c_str(), &st) != 0) return FileResult{kCannotOpen, errno};
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return FileResult{};
  }
  if (errno != EINVAL && errno != ENOSYS) return FileResult{kCannotCreate, errno};
  if (::lstat(to.c_str(), &st) == 0) return FileResult{kCannotCreate, EEXIST};
  if (::rename(from.c_str(), to.c_str()) != 0) return FileResult{kCannotCreate, errno};
  return FileResult{};
}

FileResult LocalFileSystem::Copy(const std::string& from, const std::string& to, bool replace) {
  struct stat st {};
  const int in = openRegular(from, st);
  if (in < 0) return FileResult{kCannotOpen, errno};
  int readError = 0;
  const FileResult status = put(to, replace, [&](int out) {
    std::string chunk(kCopyChunk, '\0');
    for (;;) {
      const ssize_t n = ::read(in, chunk.data(), chunk.size());
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        readError = errno;
        return false;
      }
      if (n == 0) break;
      if (!writeAll(out, chunk.data(), static_cast<std::size_t>(n))) return false;
    }
    // The copy keeps the source's time of last change; the rest of the writing leaves it.
    const struct timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
    return ::futimens(out, times) == 0;
  });
  ::close(in);
  if (readError != 0) return FileResult{kCannotOpen, readError};
  return status;
}

FileResult LocalFileSystem::SetReadOnly(const std::string& path, bool readOnly) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return FileResult{kCannotOpen, errno};
  const mode_t before = st.st_mode & 07777;
  const mode_t mode = readOnly ? before & ~static_cast<mode_t>(0222)
                               : before | 0200 | (((before & 0044) >> 1) & newFileMode());
  if (mode != before && ::chmod(path.c_str(), mode) != 0) return FileResult{kCannotCreate, errno};
  return FileResult{};
}

FileResult LocalFileSystem::SetModified(const std::string& path, std::time_t when) {
  const struct timespec times[2] = {{0, UTIME_OMIT}, {when, 0}};
  if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
    return FileResult{errno == ENOENT ? kCannotOpen : kCannotCreate, errno};
  }
  return FileResult{};
}

FileResult LocalFileSystem::Space(const std::string& folder, unsigned long long& freeBytes,
                                  unsigned long long& totalBytes) {
  struct statvfs vfs {};
  if (::statvfs(folder.c_str(), &vfs) != 0) return FileResult{kCannotOpen, errno};
  freeBytes = static_cast<unsigned long long>(vfs.f_bavail) * vfs.f_frsize;
  totalBytes = static_cast<unsigned long long>(vfs.f_blocks) * vfs.f_frsize;
  return FileResult{};
}

}  // namespace durnix
