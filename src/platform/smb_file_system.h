// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The files of shared folders on the network, through the Samba client, and the file system of
// the whole machine: paths that begin with "//" ("//computer/share/folder/file") are on the
// network, every other path is local. Writes on a share are whole or not at all, as locally: a
// temporary file is written beside the target and renamed over it.

#include <mutex>
#include <set>
#include <string>

#include "formats/file_system.h"
#include "platform/smb_client.h"

namespace durnix {

// A copy between the machine and the network holds the file in memory; no file of the program
// comes near this.
inline constexpr std::size_t kMaxCopyBytes = std::size_t{1} << 30;

class SmbFileSystem : public FileSystem {
 public:
  explicit SmbFileSystem(SmbClient& client) : client_(client) {}

  FileResult ReadFile(const std::string& path, Bytes& out,
                      std::size_t limit = kMaxSpectrumFileBytes) override;
  FileResult WriteFile(const std::string& path, ByteView data) override;
  FileResult CreateFile(const std::string& path, ByteView data) override;
  FileResult Stat(const std::string& path, FileEntry& entry) override;
  FileResult MakeFolder(const std::string& path) override;
  FileResult Remove(const std::string& path) override;
  FileResult Rename(const std::string& from, const std::string& to) override;
  FileResult Copy(const std::string& from, const std::string& to, bool replace) override;
  // Through the entry's DOS attributes (where the server keeps them).
  FileResult SetReadOnly(const std::string& path, bool readOnly) override;
  FileResult SetModified(const std::string& path, std::time_t when) override;
  FileResult Space(const std::string& folder, unsigned long long& freeBytes,
                   unsigned long long& totalBytes) override;

 protected:
  FileResult listFolder(const std::string& folder, std::vector<FileEntry>& entries) override;

 private:
  FileResult put(const std::string& path, ByteView data, bool replace);
  SmbClient& client_;
  // The folders whose stale temporary files this file system has removed (once each).
  std::mutex sweptMutex_;
  std::set<std::string> swept_;
};

class MachineFileSystem : public FileSystem {
 public:
  MachineFileSystem(FileSystem& local, FileSystem& network) : local_(local), network_(network) {}

  FileResult ReadFile(const std::string& path, Bytes& out,
                      std::size_t limit = kMaxSpectrumFileBytes) override;
  FileResult WriteFile(const std::string& path, ByteView data) override;
  FileResult CreateFile(const std::string& path, ByteView data) override;
  FileResult Stat(const std::string& path, FileEntry& entry) override;
  FileResult MakeFolder(const std::string& path) override;
  FileResult Remove(const std::string& path) override;
  // Across the machine and the network there is no rename (EXDEV): a move copies and removes.
  FileResult Rename(const std::string& from, const std::string& to) override;
  FileResult Copy(const std::string& from, const std::string& to, bool replace) override;
  FileResult SetReadOnly(const std::string& path, bool readOnly) override;
  FileResult SetModified(const std::string& path, std::time_t when) override;
  FileResult Space(const std::string& folder, unsigned long long& freeBytes,
                   unsigned long long& totalBytes) override;
  bool Exists(const std::string& path) override;

 protected:
  FileResult listFolder(const std::string& folder, std::vector<FileEntry>& entries) override;

 private:
  FileSystem& of(const std::string& path);
  FileSystem& local_;
  FileSystem& network_;
};

}  // namespace durnix
