// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The file system of this machine, through the POSIX calls.

#include <mutex>
#include <set>
#include <string>

#include "formats/file_system.h"

namespace durnix {

class LocalFileSystem : public FileSystem {
 public:
  FileResult ReadFile(const std::string& path, Bytes& out,
                      std::size_t limit = kMaxSpectrumFileBytes) override;
  FileResult WriteFile(const std::string& path, ByteView data) override;
  FileResult CreateFile(const std::string& path, ByteView data) override;
  FileResult Stat(const std::string& path, FileEntry& entry) override;
  FileResult MakeFolder(const std::string& path) override;
  FileResult Remove(const std::string& path) override;
  FileResult Rename(const std::string& from, const std::string& to) override;
  FileResult Copy(const std::string& from, const std::string& to, bool replace) override;
  // Takes the write bits away from the owner, the group and others, or gives them back to those
  // who may read it (within the user's umask), the owner always.
  FileResult SetReadOnly(const std::string& path, bool readOnly) override;
  FileResult SetModified(const std::string& path, std::time_t when) override;
  FileResult Space(const std::string& folder, unsigned long long& freeBytes,
                   unsigned long long& totalBytes) override;
  // One look, links not followed.
  bool Exists(const std::string& path) override;

  // Whether new files are first made without a name (O_TMPFILE) where the folder's file system
  // supports it; off, they are written under a hidden temporary name (".durnix-" and six
  // letters) beside the target, as on file systems without that support.
  void setUnnamedTemporaries(bool on) { unnamedTemporaries_ = on; }

 protected:
  FileResult listFolder(const std::string& folder, std::vector<FileEntry>& entries) override;

 private:
  // Writes a whole file through a temporary one, `fill` writing its content to the descriptor.
  template <class Fill>
  FileResult put(const std::string& path, bool replace, Fill&& fill);
  // At the first write into `folder`, removes the temporary files that runs killed while
  // writing there left behind.
  void sweepOnce(const std::string& folder);
  bool unnamedTemporaries_ = true;
  std::mutex sweptMutex_;
  std::set<std::string> swept_;
};

}  // namespace durnix
