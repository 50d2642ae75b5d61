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

  Status ReadFile(const std::string& path, Bytes& out,
                  std::size_t limit = kMaxSpectrumFileBytes) override;
  Status WriteFile(const std::string& path, ByteView data) override;
  Status CreateFile(const std::string& path, ByteView data) override;
  Status Stat(const std::string& path, FileEntry& entry) override;
  Status MakeFolder(const std::string& path) override;
  Status Remove(const std::string& path) override;
  Status Rename(const std::string& from, const std::string& to) override;
  Status Copy(const std::string& from, const std::string& to, bool replace) override;
  // Through the entry's DOS attributes (where the server keeps them).
  Status SetReadOnly(const std::string& path, bool readOnly) override;
  Status SetModified(const std::string& path, std::time_t when) override;
  Status Space(const std::string& folder, unsigned long long& freeBytes,
               unsigned long long& totalBytes) override;

 protected:
  Status listFolder(const std::string& folder, std::vector<FileEntry>& entries) override;

 private:
  Status put(const std::string& path, ByteView data, bool replace);
  SmbClient& client_;
  // The folders whose stale temporary files this file system has removed (once each).
  std::mutex sweptMutex_;
  std::set<std::string> swept_;
};

class MachineFileSystem : public FileSystem {
 public:
  MachineFileSystem(FileSystem& local, FileSystem& network) : local_(local), network_(network) {}

  Status ReadFile(const std::string& path, Bytes& out,
                  std::size_t limit = kMaxSpectrumFileBytes) override;
  Status WriteFile(const std::string& path, ByteView data) override;
  Status CreateFile(const std::string& path, ByteView data) override;
  Status Stat(const std::string& path, FileEntry& entry) override;
  Status MakeFolder(const std::string& path) override;
  Status Remove(const std::string& path) override;
  // Across the machine and the network there is no rename (EXDEV): a move copies and removes.
  Status Rename(const std::string& from, const std::string& to) override;
  Status Copy(const std::string& from, const std::string& to, bool replace) override;
  Status SetReadOnly(const std::string& path, bool readOnly) override;
  Status SetModified(const std::string& path, std::time_t when) override;
  Status Space(const std::string& folder, unsigned long long& freeBytes,
               unsigned long long& totalBytes) override;
  bool Exists(const std::string& path) override;

 protected:
  Status listFolder(const std::string& folder, std::vector<FileEntry>& entries) override;

 private:
  FileSystem& of(const std::string& path);
  Status pass(FileSystem& files, Status status);
  FileSystem& local_;
  FileSystem& network_;
};

}  // namespace durnix
