// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/smb_file_system.h"

#include <fcntl.h>
#include <libsmbclient.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/time.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>

#include "formats/paths.h"
#include "shell/network.h"

namespace durnix {

namespace {

constexpr std::size_t kPiece = 60 * 1024;
// Error numbers of the requests that are not the library's.
constexpr int kTooLong = -10;  // the file is longer than the caller's limit

// DOS attribute bits, as a listing gives them.
constexpr unsigned kDosReadOnly = 0x01, kDosHidden = 0x02, kDosSystem = 0x04, kDosFolder = 0x10,
                   kDosArchive = 0x20;

// What a look at one path tells; the library gives the DOS attributes in the mode's bits
// (archive, system and hidden as the execute bits of owner, group and others; read-only as no
// write bit), and of folders only read-only.
FileEntry entryOf(std::string name, const struct stat& st) {
  FileEntry entry;
  entry.name = std::move(name);
  entry.kind = S_ISDIR(st.st_mode)   ? EntryKind::kFolder
               : S_ISREG(st.st_mode) ? EntryKind::kFile
                                     : EntryKind::kOther;
  entry.readOnly = (st.st_mode & S_IWUSR) == 0;
  entry.bytes = entry.kind == EntryKind::kFile ? static_cast<long long>(st.st_size) : 0;
  entry.modified = st.st_mtime;
  int attributes = entry.readOnly ? kAttrReadOnly : 0;
  if (entry.kind == EntryKind::kFolder) {
    attributes |= kAttrFolder;
  } else {
    if ((st.st_mode & S_IXUSR) != 0) attributes |= kAttrArchive;
    if ((st.st_mode & S_IXGRP) != 0) attributes |= kAttrSystem;
    if ((st.st_mode & S_IXOTH) != 0) attributes |= kAttrHidden;
  }
  entry.attributes = attributes;
  return entry;
}

std::string temporaryName(const std::string& folder) {
  static thread_local std::mt19937 random{std::random_device{}()};
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz";
  std::string name = folder + ".durnix-";
  std::uniform_int_distribution<int> letter(0, 25);
  for (int i = 0; i < 6; ++i) name += kLetters[letter(random)];
  return name;
}

// A temporary file is written without pause and renamed as soon as it is whole, so its time
// of last change is never old while a run is writing it. One untouched for this long was left
// by a run that was killed or lost its connection; the next write into its folder removes it.
constexpr time_t kStaleTemporarySeconds = 600;

bool isTemporaryName(const char* name) {
  if (std::strncmp(name, ".durnix-", 8) != 0 || std::strlen(name) != 14) return false;
  for (const char* p = name + 8; *p != '\0'; ++p) {
    if (*p < 'a' || *p > 'z') return false;
  }
  return true;
}

// Removes the stale temporary files of the folder at `folderUrl` (failures are of no matter:
// a file that cannot be removed stays for a later run).
void removeStaleTemporaries(SmbContext* c, const std::string& folderUrl) {
  SMBCFILE* dir = smbc_getFunctionOpendir(c)(c, folderUrl.c_str());
  if (dir == nullptr) return;
  std::vector<std::string> stale;
  const time_t now = ::time(nullptr);
  for (;;) {
    struct stat st {};
    const libsmb_file_info* info = smbc_getFunctionReaddirPlus2(c)(c, dir, &st);
    if (info == nullptr) break;
    if (info->name == nullptr || !isTemporaryName(info->name)) continue;
    if ((info->attrs & kDosFolder) != 0) continue;
    if (now - info->mtime_ts.tv_sec > kStaleTemporarySeconds) stale.emplace_back(info->name);
  }
  smbc_getFunctionClosedir(c)(c, dir);
  for (const std::string& name : stale) {
    smbc_getFunctionUnlink(c)(c, (folderUrl + name).c_str());
  }
}

int closeFile(SmbContext* c, SMBCFILE* file) {
  return smbc_getFunctionClose(c)(c, file) == 0 ? 0 : (errno != 0 ? errno : EIO);
}

// Writes `data` into a new file at `url` (never over an existing one); the file is removed again
// when anything fails or the caller stops waiting.
int writeNew(SmbContext* c, const std::string& url, ByteView data,
             const std::atomic<bool>& cancelled) {
  SMBCFILE* file = smbc_getFunctionOpen(c)(c, url.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (file == nullptr) return errno != 0 ? errno : EIO;
  int error = 0;
  std::size_t done = 0;
  while (error == 0 && done < data.size()) {
    if (cancelled) {
      error = ECANCELED;
      break;
    }
    const std::size_t piece = std::min(kPiece, data.size() - done);
    const ssize_t wrote = smbc_getFunctionWrite(c)(c, file, data.data() + done, piece);
    if (wrote <= 0) {
      error = errno != 0 ? errno : EIO;
    } else {
      done += static_cast<std::size_t>(wrote);
    }
  }
  const int closed = closeFile(c, file);
  if (error == 0) error = closed;
  if (error != 0) smbc_getFunctionUnlink(c)(c, url.c_str());
  return error;
}

}  // namespace

FileResult SmbFileSystem::ReadFile(const std::string& path, Bytes& out, std::size_t limit) {
  auto data = std::make_shared<Bytes>();
  const std::string url = SmbClient::UrlOf(path);
  const int error = client_.Run([url, data, limit](SmbContext* c, const std::atomic<bool>& stop) {
    SMBCFILE* file = smbc_getFunctionOpen(c)(c, url.c_str(), O_RDONLY, 0);
    if (file == nullptr) return errno != 0 ? errno : EIO;
    struct stat st {};
    int result = 0;
    if (smbc_getFunctionFstat(c)(c, file, &st) != 0) {
      result = errno != 0 ? errno : EIO;
    } else if (!S_ISREG(st.st_mode)) {
      result = kErrorNotRegular;
    } else if (static_cast<unsigned long long>(st.st_size) > limit) {
      result = kTooLong;
    }
    try {
      char piece[kPiece];
      while (result == 0) {
        if (stop) {
          result = ECANCELED;
          break;
        }
        const ssize_t got = smbc_getFunctionRead(c)(c, file, piece, sizeof piece);
        if (got < 0) result = errno != 0 ? errno : EIO;
        if (got <= 0) break;
        if (data->size() + static_cast<std::size_t>(got) > limit) {
          result = kTooLong;
          break;
        }
        data->append(piece, static_cast<std::size_t>(got));
      }
    } catch (const std::bad_alloc&) {
      result = ENOMEM;
    }
    closeFile(c, file);
    return result;
  });
  if (error == kTooLong) return FileResult{kNotThisFormat, EFBIG};
  if (error == ENOMEM) return FileResult{kOutOfMemory, ENOMEM};
  if (error != 0) return FileResult{kCannotOpen, error};
  out.swap(*data);
  return FileResult{};
}

FileResult SmbFileSystem::put(const std::string& path, ByteView data, bool replace) {
  auto bytes = std::make_shared<Bytes>(data);
  const std::string url = SmbClient::UrlOf(path);
  const std::string folder = FolderOf(path);
  bool sweep = false;
  {
    const std::lock_guard<std::mutex> lock(sweptMutex_);
    sweep = swept_.insert(folder).second;
  }
  const int error = client_.Run(
      [url, folder, bytes, replace, sweep](SmbContext* c, const std::atomic<bool>& stop) {
        if (sweep) removeStaleTemporaries(c, SmbClient::UrlOf(folder));
        struct stat st {};
        const bool exists = smbc_getFunctionStat(c)(c, url.c_str(), &st) == 0;
        if (exists && (!replace || !S_ISREG(st.st_mode)))
          return S_ISDIR(st.st_mode) ? EISDIR : EEXIST;
        if (exists && (st.st_mode & S_IWUSR) == 0) return EACCES;
        std::string temporary;
        int result = EEXIST;
        for (int attempt = 0; attempt < 8 && result == EEXIST; ++attempt) {
          temporary = SmbClient::UrlOf(temporaryName(folder));
          result = writeNew(c, temporary, *bytes, stop);
        }
        if (result != 0) return result;
        // The old file goes only once the new one is complete; one that appeared meanwhile stays.
        if (stop || (!exists && smbc_getFunctionStat(c)(c, url.c_str(), &st) == 0)) {
          smbc_getFunctionUnlink(c)(c, temporary.c_str());
          return stop ? ECANCELED : EEXIST;
        }
        if (smbc_getFunctionRename(c)(c, temporary.c_str(), c, url.c_str()) != 0) {
          result = errno != 0 ? errno : EIO;
          smbc_getFunctionUnlink(c)(c, temporary.c_str());
        }
        return result;
      });
  if (error != 0) return FileResult{error == ENOMEM ? kOutOfMemory : kCannotCreate, error};
  return FileResult{};
}

FileResult SmbFileSystem::WriteFile(const std::string& path, ByteView data) {
  return put(path, data, true);
}

FileResult SmbFileSystem::CreateFile(const std::string& path, ByteView data) {
  return put(path, data, false);
}

FileResult SmbFileSystem::Stat(const std::string& path, FileEntry& entry) {
  auto st = std::make_shared<struct stat>();
  const std::string url = SmbClient::UrlOf(path);
  const int error = client_.Run([url, st](SmbContext* c, const std::atomic<bool>&) {
    return smbc_getFunctionStat(c)(c, url.c_str(), st.get()) == 0 ? 0 : (errno != 0 ? errno : EIO);
  });
  if (error != 0) return FileResult{kCannotOpen, error};
  std::string name = path;
  while (name.size() > 1 && name.back() == '/') name.pop_back();
  entry = entryOf(name.substr(name.rfind('/') + 1), *st);
  return FileResult{};
}

FileResult SmbFileSystem::listFolder(const std::string& folder, std::vector<FileEntry>& entries) {
  auto listed = std::make_shared<std::vector<FileEntry>>();
  const std::string url = SmbClient::UrlOf(folder);
  const int error = client_.Run([url, listed](SmbContext* c, const std::atomic<bool>& stop) {
    SMBCFILE* dir = smbc_getFunctionOpendir(c)(c, url.c_str());
    if (dir == nullptr) return errno != 0 ? errno : EIO;
    int result = 0;
    try {
      for (;;) {
        if (stop) {
          result = ECANCELED;
          break;
        }
        struct stat st {};
        errno = 0;
        const libsmb_file_info* info = smbc_getFunctionReaddirPlus2(c)(c, dir, &st);
        if (info == nullptr) {
          result = errno;
          break;
        }
        const std::string name = info->name != nullptr ? info->name : "";
        if (name == "." || name == "..") continue;
        FileEntry entry = entryOf(name, st);
        const unsigned dos = info->attrs;
        entry.kind = (dos & kDosFolder) != 0 ? EntryKind::kFolder : EntryKind::kFile;
        entry.readOnly = (dos & kDosReadOnly) != 0;
        entry.bytes = entry.kind == EntryKind::kFile ? static_cast<long long>(info->size) : 0;
        entry.modified = info->mtime_ts.tv_sec;
        entry.attributes = static_cast<int>(
            dos & (kDosReadOnly | kDosHidden | kDosSystem | kDosFolder | kDosArchive));
        listed->push_back(std::move(entry));
      }
    } catch (const std::bad_alloc&) {
      result = ENOMEM;
    }
    smbc_getFunctionClosedir(c)(c, dir);
    return result;
  });
  if (error == ENOMEM) return FileResult{kOutOfMemory, error};
  if (error != 0) return FileResult{kCannotOpen, error};
  entries.swap(*listed);
  return FileResult{};
}

FileResult SmbFileSystem::MakeFolder(const std::string& path) {
  const std::string url = SmbClient::UrlOf(path);
  const int error = client_.Run([url](SmbContext* c, const std::atomic<bool>&) {
    return smbc_getFunctionMkdir(c)(c, url.c_str(), 0755) == 0 ? 0 : (errno != 0 ? errno : EIO);
  });
  return error == 0 ? FileResult{} : FileResult{kCannotCreate, error};
}

FileResult SmbFileSystem::Remove(const std::string& path) {
  const std::string url = SmbClient::UrlOf(path);
  const int error = client_.Run([url](SmbContext* c, const std::atomic<bool>&) {
    struct stat st {};
    if (smbc_getFunctionStat(c)(c, url.c_str(), &st) != 0) return errno != 0 ? errno : EIO;
    const int removed = S_ISDIR(st.st_mode) ? smbc_getFunctionRmdir(c)(c, url.c_str())
                                            : smbc_getFunctionUnlink(c)(c, url.c_str());
    return removed == 0 ? 0 : (errno != 0 ? errno : EIO);
  });
  if (error == 0) return FileResult{};
  return FileResult{error == ENOENT ? kCannotOpen : kCannotCreate, error};
}

FileResult SmbFileSystem::Rename(const std::string& from, const std::string& to) {
  const std::string source = SmbClient::UrlOf(from), target = SmbClient::UrlOf(to);
  const int error = client_.Run([source, target](SmbContext* c, const std::atomic<bool>&) {
    struct stat st {};
    if (smbc_getFunctionStat(c)(c, source.c_str(), &st) != 0) return ENOENT;
    // The library replaces an existing target; a rename of the program never does.
    if (smbc_getFunctionStat(c)(c, target.c_str(), &st) == 0) return EEXIST;
    return smbc_getFunctionRename(c)(c, source.c_str(), c, target.c_str()) == 0
               ? 0
               : (errno != 0 ? errno : EIO);
  });
  if (error == 0) return FileResult{};
  return FileResult{error == ENOENT ? kCannotOpen : kCannotCreate, error};
}

FileResult SmbFileSystem::Copy(const std::string& from, const std::string& to, bool replace) {
  Bytes data;
  const FileResult read = ReadFile(from, data, kMaxCopyBytes);
  if (read != kDone) return read == kOutOfMemory ? read : FileResult{kCannotOpen, read.error};
  FileEntry source;
  const bool timed = Stat(from, source) == kDone;
  const FileResult written = put(to, data, replace);
  if (written != kDone) return written;
  // The copy keeps the source's time where the server lets it be set; a refusal leaves a good
  // copy with the time of copying.
  if (timed) SetModified(to, source.modified);
  return FileResult{};
}

FileResult SmbFileSystem::SetModified(const std::string& path, std::time_t when) {
  const std::string url = SmbClient::UrlOf(path);
  const int error = client_.Run([url, when](SmbContext* c, const std::atomic<bool>&) {
    struct stat st {};
    if (smbc_getFunctionStat(c)(c, url.c_str(), &st) != 0) return errno != 0 ? errno : EIO;
    struct timeval times[2] = {{st.st_atime, 0}, {when, 0}};
    return smbc_getFunctionUtimes(c)(c, url.c_str(), times) == 0 ? 0 : (errno != 0 ? errno : EIO);
  });
  return error == 0 ? FileResult{}
                    : FileResult{error == ENOENT ? kCannotOpen : kCannotCreate, error};
}

FileResult SmbFileSystem::SetReadOnly(const std::string& path, bool readOnly) {
  const std::string url = SmbClient::UrlOf(path);
  const int error = client_.Run([url, readOnly](SmbContext* c, const std::atomic<bool>&) {
    static constexpr const char* kMode = "system.dos_attr.mode";
    char value[32] = {};
    if (smbc_getFunctionGetxattr(c)(c, url.c_str(), kMode, value, sizeof value - 1) < 0) {
      return errno != 0 ? errno : EIO;
    }
    unsigned long mode = std::strtoul(value, nullptr, 0);
    mode = readOnly ? (mode | kDosReadOnly) : (mode & ~static_cast<unsigned long>(kDosReadOnly));
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%lx", mode);
    return smbc_getFunctionSetxattr(c)(c, url.c_str(), kMode, hex, std::strlen(hex), 0) == 0
               ? 0
               : (errno != 0 ? errno : EIO);
  });
  return error == 0 ? FileResult{}
                    : FileResult{error == ENOENT ? kCannotOpen : kCannotCreate, error};
}

FileResult SmbFileSystem::Space(const std::string& folder, unsigned long long& freeBytes,
                                unsigned long long& totalBytes) {
  auto sv = std::make_shared<struct statvfs>();
  std::string url = SmbClient::UrlOf(folder);
  const int error = client_.Run([url, sv](SmbContext* c, const std::atomic<bool>&) mutable {
    return smbc_getFunctionStatVFS(c)(c, url.data(), sv.get()) == 0 ? 0
                                                                    : (errno != 0 ? errno : EIO);
  });
  if (error != 0) return FileResult{kCannotOpen, error};
  // The library gives the server's allocation unit in two parts: the bytes of a sector as
  // f_bsize and the sectors of a unit as f_frsize.
  const unsigned long long unit =
      static_cast<unsigned long long>(sv->f_bsize) * (sv->f_frsize != 0 ? sv->f_frsize : 1);
  freeBytes = static_cast<unsigned long long>(sv->f_bavail) * unit;
  totalBytes = static_cast<unsigned long long>(sv->f_blocks) * unit;
  return FileResult{};
}

FileSystem& MachineFileSystem::of(const std::string& path) {
  return IsNetworkPath(path) ? network_ : local_;
}

FileResult MachineFileSystem::ReadFile(const std::string& path, Bytes& out, std::size_t limit) {
  FileSystem& files = of(path);
  return files.ReadFile(path, out, limit);
}

FileResult MachineFileSystem::WriteFile(const std::string& path, ByteView data) {
  FileSystem& files = of(path);
  return files.WriteFile(path, data);
}

FileResult MachineFileSystem::CreateFile(const std::string& path, ByteView data) {
  FileSystem& files = of(path);
  return files.CreateFile(path, data);
}

FileResult MachineFileSystem::Stat(const std::string& path, FileEntry& entry) {
  FileSystem& files = of(path);
  return files.Stat(path, entry);
}

FileResult MachineFileSystem::listFolder(const std::string& folder,
                                         std::vector<FileEntry>& entries) {
  FileSystem& files = of(folder);
  int skipped = 0;
  const FileResult status = files.ListFolder(folder, entries, &skipped);
  skipNames(skipped);
  return status;
}

FileResult MachineFileSystem::MakeFolder(const std::string& path) {
  FileSystem& files = of(path);
  return files.MakeFolder(path);
}

FileResult MachineFileSystem::Remove(const std::string& path) {
  FileSystem& files = of(path);
  return files.Remove(path);
}

FileResult MachineFileSystem::Rename(const std::string& from, const std::string& to) {
  FileSystem& files = of(from);
  if (&files != &of(to)) return FileResult{kCannotCreate, EXDEV};
  return files.Rename(from, to);
}

FileResult MachineFileSystem::Copy(const std::string& from, const std::string& to, bool replace) {
  FileSystem& source = of(from);
  FileSystem& target = of(to);
  if (&source == &target) return source.Copy(from, to, replace);
  Bytes data;
  const FileResult read = source.ReadFile(from, data, kMaxCopyBytes);
  if (read != kDone) return {read == kOutOfMemory ? kOutOfMemory : kCannotOpen, read.error};
  FileEntry entry;
  const bool timed = source.Stat(from, entry) == kDone;
  const FileResult written = replace ? target.WriteFile(to, data) : target.CreateFile(to, data);
  if (written != kDone) return written;
  if (timed) target.SetModified(to, entry.modified);  // a refusal is no failure of the copy
  return FileResult{};
}

FileResult MachineFileSystem::SetModified(const std::string& path, std::time_t when) {
  FileSystem& files = of(path);
  return files.SetModified(path, when);
}

FileResult MachineFileSystem::SetReadOnly(const std::string& path, bool readOnly) {
  FileSystem& files = of(path);
  return files.SetReadOnly(path, readOnly);
}

FileResult MachineFileSystem::Space(const std::string& folder, unsigned long long& freeBytes,
                                    unsigned long long& totalBytes) {
  FileSystem& files = of(folder);
  return files.Space(folder, freeBytes, totalBytes);
}

bool MachineFileSystem::Exists(const std::string& path) {
  return of(path).Exists(path);
}

}  // namespace durnix
