// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A file system in memory for the tests, into which failures can be put at any step: the Nth
// write, a full disk, a read or a listing that fails part way, a file gone since it was listed.
// Safe to use from several threads.

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "formats/file_system.h"

namespace durnix::test {

class MemoryFileSystem : public FileSystem {
 public:
  MemoryFileSystem();

  // What is there. Paths are absolute; folders may be named with or without a final "/".
  void addFolder(const std::string& path);
  void addFile(const std::string& path, ByteView bytes, bool readOnly = false);
  bool hasFile(const std::string& path) const;
  Bytes bytesOf(const std::string& path) const;
  // The names in a folder, sorted.
  std::vector<std::string> namesIn(const std::string& folder) const;

  // Failures. The `nth` write from now (1 for the next) fails with `error`.
  void failWrite(int nth, int error);
  // A disk of `bytes`: a write that would fill it further fails with ENOSPC.
  void setCapacity(long long bytes);
  // Doing `what` to `path` (renaming from or to it) fails with `error`, however often it is
  // tried; a listing fails part way.
  enum class Failing { kRead, kListing, kRemove, kRename, kMakeFolder, kSetReadOnly };
  void fail(Failing what, const std::string& path, int error);
  void failRead(const std::string& path, int error) { fail(Failing::kRead, path, error); }
  void failListing(const std::string& folder, int error) { fail(Failing::kListing, folder, error); }
  // The last-modified time of an entry (0 when there is none).
  std::time_t modifiedOf(const std::string& path) const;
  // The listing of `folder` also names `name`, an entry of `kind`, as a broken or hostile
  // server may ("../x", "a/b", "."). A path through it leads where the text of the path does:
  // "/a/f/../x" is "/a/x".
  void plantName(const std::string& folder, const std::string& name,
                 EntryKind kind = EntryKind::kFile);

  FileResult ReadFile(const std::string& path, Bytes& out,
                      std::size_t limit = kMaxSpectrumFileBytes) override;
  FileResult WriteFile(const std::string& path, ByteView data) override;
  FileResult CreateFile(const std::string& path, ByteView data) override;
  FileResult Stat(const std::string& path, FileEntry& entry) override;
  FileResult MakeFolder(const std::string& path) override;
  FileResult Remove(const std::string& path) override;
  FileResult Rename(const std::string& from, const std::string& to) override;
  FileResult Copy(const std::string& from, const std::string& to, bool replace) override;
  FileResult SetReadOnly(const std::string& path, bool readOnly) override;
  FileResult SetModified(const std::string& path, std::time_t when) override;
  FileResult Space(const std::string& folder, unsigned long long& freeBytes,
                   unsigned long long& totalBytes) override;

 protected:
  FileResult listFolder(const std::string& folder, std::vector<FileEntry>& entries) override;

 private:
  struct Node {
    EntryKind kind = EntryKind::kFile;
    Bytes bytes;
    bool readOnly = false;
    std::time_t modified = 0;
  };
  static std::string key(const std::string& path);
  static std::string parentOf(const std::string& key);
  FileResult put(const std::string& path, ByteView data, bool replace, std::time_t modified = 0);
  // The error put in for doing `what` to `path`, else 0.
  int injected(Failing what, const std::string& path) const;
  long long used() const;

  // The window lists folders on workers while it and the runs use the file system too.
  mutable std::recursive_mutex mutex_;
  std::map<std::string, Node> nodes_;
  std::map<int, int> failingWrites_;  // write number -> error
  std::map<std::pair<Failing, std::string>, int> failing_;
  std::map<std::string, std::vector<FileEntry>> planted_;
  long long capacity_ = -1;
  int writes_ = 0;
  std::time_t clock_ = 1796380800;  // 2026-12-06
};

}  // namespace durnix::test
