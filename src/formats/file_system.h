// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every file access of the program goes through a FileSystem: the local disk, the in-memory one
// of the tests, a network share. Paths are the system's bytes (UTF-8 here), never 8-bit text.
// Each operation returns a status of the program together with the system's error number of its
// failure, for messages that quote the platform's own words.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "formats/byte_io.h"
#include "formats/status.h"

namespace durnix {

// No spectrum of any format comes near this size; larger files are not read at all.
inline constexpr std::size_t kMaxSpectrumFileBytes = 64u << 20;

// Attribute numbers on this platform: 16 for a folder, plus 1 when the user may not write it,
// plus 2 when its name begins with ".", plus 4 when it is neither a regular file nor a folder
// (a device, socket, pipe or broken link), plus 32 for every regular file.
inline constexpr int kAttrReadOnly = 1;
inline constexpr int kAttrHidden = 2;
inline constexpr int kAttrSystem = 4;
inline constexpr int kAttrFolder = 16;
inline constexpr int kAttrArchive = 32;

enum class EntryKind { kFile, kFolder, kOther };

// How a whole file is put in place: over an existing one (WriteFile), or only where there is
// none, never over a file that appeared meanwhile (CreateFile).
enum class Placing { kReplace, kNewOnly };

// What a folder listing or a look at one path tells of an entry (links followed).
struct FileEntry {
  std::string name;  // the entry's own name
  EntryKind kind = EntryKind::kFile;
  bool readOnly = false;  // the user may not write it
  long long bytes = 0;    // length of a regular file, else 0
  std::time_t modified = 0;
  int attributes = kAttrArchive;  // the attribute number
};

// The attribute number of an entry of this kind and name.
int AttributeNumberOf(EntryKind kind, bool readOnly, std::string_view name);

// Whether `name` can name an entry of a folder: not empty, not "." or "..", and without "/" or
// NUL. A name that is not one would lead out of its folder (or nowhere) once it is made a path;
// listings leave such entries out, Rename and Make Dir refuse such names.
bool IsEntryName(std::string_view name);

// `path` as it stands in a URL: every byte but letters, digits, "-", ".", "_", "~" and those of
// `plain` as "%" and two upper-case hex digits.
std::string PercentEscaped(std::string_view path, std::string_view plain);

// What a file operation came to: the program's status and, when it failed, the system's error
// number (0 when it succeeded or when the system gave none). It stands for its status where
// only the status matters; a caller that quotes the system's reason reads it from the result it
// holds, which no later operation changes.
struct FileResult {
  Status status = kDone;
  int error = 0;

  constexpr operator Status() const { return status; }
};

class FileSystem {
 public:
  FileSystem() = default;
  FileSystem(const FileSystem& other) : skippedNames_(other.SkippedNames()) {}
  FileSystem& operator=(const FileSystem& other) {
    skippedNames_ = other.SkippedNames();
    return *this;
  }
  virtual ~FileSystem() = default;

  // Reads the whole regular file at `path` into `out` (whose memory is reused).
  // Returns 53 when it cannot be opened, is not a regular file (a folder, pipe, socket or
  // device) or reading fails part way, 1 when it is longer than `limit`, 7 when memory runs out.
  virtual FileResult ReadFile(const std::string& path, Bytes& out,
                              std::size_t limit = kMaxSpectrumFileBytes) = 0;

  // Puts `data` at `path` whole or not at all: an existing file is replaced in one step and keeps
  // its permissions, owner and group; a file that does not exist is made, but never over one that
  // appears meanwhile. Returns 71 when the file cannot be created or written (folder missing or
  // not writable, a read-only or special target, a full disk), 7 when memory runs out.
  virtual FileResult WriteFile(const std::string& path, ByteView data) = 0;

  // Makes a new file at `path` holding `data`; an existing entry of that name is never replaced
  // (71, with the error number of an existing file).
  virtual FileResult CreateFile(const std::string& path, ByteView data) = 0;

  // Looks at one path. Returns 0 or 53 (no such entry).
  virtual FileResult Stat(const std::string& path, FileEntry& entry) = 0;

  // The entries of `folder` ("." and ".." not among them), in the order the system gives them.
  // An entry whose name is no entry name (IsEntryName), as a broken or hostile server may list
  // one, is left out and counted in SkippedNames. Returns 0, 53 when the folder cannot be read
  // (also part way through), 7. `skipped`, when given, receives the count of this listing alone,
  // also while other threads list through the same file system.
  FileResult ListFolder(const std::string& folder, std::vector<FileEntry>& entries,
                        int* skipped = nullptr);
  // How many entries the last ListFolder (of any thread) left out for their names.
  int SkippedNames() const { return skippedNames_; }

  // Returns 0 or 71.
  virtual FileResult MakeFolder(const std::string& path) = 0;
  // Removes a file or an empty folder. Returns 0, 53 (no such entry) or 71.
  virtual FileResult Remove(const std::string& path) = 0;
  // Renames within one file system; an existing `to` is never replaced. Returns 0, 53 or 71.
  virtual FileResult Rename(const std::string& from, const std::string& to) = 0;
  // Copies a regular file; `to` is replaced when `replace`, otherwise never. Returns 0, 53 (the
  // source cannot be read), 71 (the copy cannot be made), 7.
  virtual FileResult Copy(const std::string& from, const std::string& to, bool replace) = 0;
  // Makes an entry read-only (no one may write it) or writable again. Returns 0, 53 (no such
  // entry) or 71 (the change is not allowed).
  virtual FileResult SetReadOnly(const std::string& path, bool readOnly);
  // Sets the last-modified time of an entry (a copy keeps its source's). Returns 0, 53 (no such
  // entry) or 71 (the change is not allowed).
  virtual FileResult SetModified(const std::string& path, std::time_t when);
  // Free and total bytes of the volume that holds `folder`. Returns 0 or 53.
  virtual FileResult Space(const std::string& folder, unsigned long long& freeBytes,
                           unsigned long long& totalBytes) = 0;

  // True when an entry of any kind (a broken link too) is at `path`.
  virtual bool Exists(const std::string& path);

 protected:
  // The listing of ListFolder, as the system gives it.
  virtual FileResult listFolder(const std::string& folder, std::vector<FileEntry>& entries) = 0;
  // Entries that a listing of another file system left out already, counted for the listing
  // under way on this thread.
  static void skipNames(int count);

 private:
  std::atomic<int> skippedNames_{0};
};

// The error number of a path that is neither a regular file nor a folder (a pipe, socket or
// device), which the program does not open.
inline constexpr int kErrorNotRegular = -2;

// The system's description of an error number ("No space left on device"); empty for 0.
std::string SystemErrorText(int error);

// The file system of this machine, shared by everything that has no other.
FileSystem& LocalFiles();

}  // namespace durnix
