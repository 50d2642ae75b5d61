// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/trash.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "formats/file_system.h"

namespace durnix {

namespace {

constexpr int kMaxNameTries = 10000;

std::string parentOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string join(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

// A folder of the user's own: made (0700) when missing, never a link, owned by `uid`.
bool ownFolder(const std::string& path, uid_t uid, int& error) {
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
    error = errno;
    return false;
  }
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) {
    error = errno;
    return false;
  }
  if (!S_ISDIR(st.st_mode) || st.st_uid != uid) {
    error = S_ISDIR(st.st_mode) ? EPERM : ENOTDIR;
    return false;
  }
  return true;
}

// `path` and the folders above it, made where missing.
bool folderPath(const std::string& path, uid_t uid, int& error) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return true;
    error = ENOTDIR;
    return false;
  }
  if (path != "/" && !folderPath(parentOf(path), uid, error)) return false;
  return ownFolder(path, uid, error);
}

// A trash folder with its files/ and info/.
bool trashFolder(const std::string& folder, uid_t uid, int& error) {
  return ownFolder(folder, uid, error) && ownFolder(folder + "/files", uid, error) &&
         ownFolder(folder + "/info", uid, error);
}

// The top of the device that holds `folder` (a resolved path): the highest folder above it on
// the same device.
std::string topOf(const std::string& folder, dev_t device) {
  std::string top = folder;
  while (top != "/") {
    const std::string up = parentOf(top);
    struct stat st {};
    if (::stat(up.c_str(), &st) != 0 || st.st_dev != device) break;
    top = up;
  }
  return top;
}

}  // namespace

Trash Trash::ForUser() {
  // Relative paths in the variable are not valid and are ignored, as the XDG rules say.
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg != nullptr && xdg[0] == '/') return Trash(xdg, ::getuid());
  std::string home;
  if (const char* h = std::getenv("HOME"); h != nullptr && h[0] == '/') {
    home = h;
  } else if (const struct passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir) {
    home = pw->pw_dir;
  }
  // Without a home there is no folder for the trash (an empty data home is refused by Put).
  return Trash(home.empty() ? std::string() : home + "/.local/share", ::getuid());
}

std::string EscapedTrashPath(const std::string& path) {
  return PercentEscaped(path, "/");
}

std::string TrashInfoText(const std::string& path, std::time_t when) {
  struct tm local {};
  ::localtime_r(&when, &local);
  char date[32];
  std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
  return "[Trash Info]\nPath=" + EscapedTrashPath(path) + "\nDeletionDate=" + date + "\n";
}

std::string Trash::FolderFor(const std::string& path, int& error, std::string* topOut) const {
  std::string ignored;
  std::string& topFound = topOut != nullptr ? *topOut : ignored;
  topFound.clear();
  struct stat entry {};
  if (::lstat(path.c_str(), &entry) != 0) {
    error = errno;
    return {};
  }
  if (!dataHome_.empty() && dataHome_.front() == '/') {
    const std::string home = dataHome_ + "/Trash";
    struct stat st {};
    int homeError = 0;
    if (folderPath(dataHome_, uid_, homeError) && trashFolder(home, uid_, homeError) &&
        ::stat(home.c_str(), &st) == 0 && st.st_dev == entry.st_dev) {
      return home;
    }
  }
  char resolved[PATH_MAX];
  if (::realpath(parentOf(path).c_str(), resolved) == nullptr) {
    error = errno;
    return {};
  }
  const std::string top = topOf(resolved, entry.st_dev);
  const std::string uid = std::to_string(uid_);
  // The administrator's shared trash: a real folder with the sticky bit, one folder per user.
  const std::string shared = join(top, ".Trash");
  struct stat st {};
  int sharedError = 0;
  if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) != 0 &&
      trashFolder(shared + "/" + uid, uid_, sharedError)) {
    topFound = top;
    return shared + "/" + uid;
  }
  const std::string own = join(top, ".Trash-" + uid);
  if (!trashFolder(own, uid_, error)) return {};
  if (::stat(own.c_str(), &st) != 0 || st.st_dev != entry.st_dev) {
    error = EXDEV;
    return {};
  }
  topFound = top;
  return own;
}

Status Trash::Put(const std::string& given, int& error) const {
  std::string path = given;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (path.empty() || path.front() != '/' || path == "/") {
    error = EINVAL;
    return kCannotCreate;
  }
  std::string top;
  const std::string folder = FolderFor(path, error, &top);
  if (folder.empty()) return kCannotCreate;
  const std::string name = path.substr(path.rfind('/') + 1);

  // The path as the trash remembers it: absolute in the user's own trash, else from the top of
  // the device that holds the trash.
  char resolved[PATH_MAX];
  if (::realpath(parentOf(path).c_str(), resolved) == nullptr) {
    error = errno;
    return kCannotCreate;
  }
  std::string origin = join(resolved, name);
  if (!top.empty()) {
    const std::string prefix = top == "/" ? "/" : top + "/";
    if (origin.compare(0, prefix.size(), prefix) == 0) origin = origin.substr(prefix.size());
  }
  const std::string info = TrashInfoText(origin, std::time(nullptr));

  for (int n = 1; n <= kMaxNameTries; ++n) {
    const std::string trashed = n == 1 ? name : name + "." + std::to_string(n);
    const std::string infoPath = folder + "/info/" + trashed + ".trashinfo";
    const std::string filesPath = folder + "/files/" + trashed;
    // The info file is made first, and only where there is none: it claims the name.
    const int fd = ::open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      error = errno;
      return kCannotCreate;
    }
    const bool written = ::write(fd, info.data(), info.size()) == static_cast<ssize_t>(info.size());
    const int writeError = errno;
    if (::close(fd) != 0 || !written) {
      error = written ? errno : writeError;
      ::unlink(infoPath.c_str());
      return kCannotCreate;
    }
    struct stat st {};
    if (::lstat(filesPath.c_str(), &st) == 0) {
      // An entry of that name without its info file: the name stays taken.
      ::unlink(infoPath.c_str());
      continue;
    }
    if (::rename(path.c_str(), filesPath.c_str()) != 0) {
      error = errno;
      ::unlink(infoPath.c_str());
      return kCannotCreate;
    }
    error = 0;
    return kDone;
  }
  error = EEXIST;
  return kCannotCreate;
}

}  // namespace durnix
