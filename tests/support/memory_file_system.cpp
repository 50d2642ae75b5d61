// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/memory_file_system.h"

#include <algorithm>
#include <cerrno>
#include <mutex>

namespace durnix::test {

MemoryFileSystem::MemoryFileSystem() {
  nodes_["/"].kind = EntryKind::kFolder;
}

std::string MemoryFileSystem::key(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  // "." and ".." are taken as a system takes them.
  std::vector<std::string> parts;
  std::size_t at = 1;
  while (at <= path.size()) {
    const std::size_t slash = std::min(path.find('/', at), path.size());
    const std::string part = path.substr(at, slash - at);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    at = slash + 1;
  }
  std::string k;
  for (const std::string& part : parts) k += "/" + part;
  return k.empty() ? "/" : k;
}

std::string MemoryFileSystem::parentOf(const std::string& k) {
  const auto slash = k.rfind('/');
  return slash == 0 || slash == std::string::npos ? "/" : k.substr(0, slash);
}

void MemoryFileSystem::addFolder(const std::string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  const std::string k = key(path);
  if (k != "/") addFolder(parentOf(k));
  nodes_[k].kind = EntryKind::kFolder;
}

void MemoryFileSystem::addFile(const std::string& path, ByteView bytes, bool readOnly) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  const std::string k = key(path);
  addFolder(parentOf(k));
  nodes_[k] = Node{EntryKind::kFile, Bytes(bytes), readOnly, ++clock_};
}

bool MemoryFileSystem::hasFile(const std::string& path) const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  const auto it = nodes_.find(key(path));
  return it != nodes_.end() && it->second.kind == EntryKind::kFile;
}

Bytes MemoryFileSystem::bytesOf(const std::string& path) const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  const auto it = nodes_.find(key(path));
  return it == nodes_.end() ? Bytes() : it->second.bytes;
}

std::vector<std::string> MemoryFileSystem::namesIn(const std::string& folder) const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  const std::string k = key(folder);
  std::vector<std::string> names;
  for (const auto& [path, node] : nodes_) {
    if (path != "/" && parentOf(path) == k)
      names.push_back(path.substr(k == "/" ? 1 : k.size() + 1));
  }
  return names;
}

void MemoryFileSystem::failWrite(int nth, int error) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  failingWrites_[writes_ + nth] = error;
}
void MemoryFileSystem::setCapacity(long long bytes) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  capacity_ = bytes;
}
void MemoryFileSystem::plantName(const std::string& folder, const std::string& name,
                                 EntryKind kind) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  FileEntry entry;
  entry.name = name;
  entry.kind = kind;
  entry.attributes = AttributeNumberOf(kind, false, name);
  planted_[key(folder)].push_back(entry);
}

void MemoryFileSystem::fail(Failing what, const std::string& path, int error) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  failing_[{what, key(path)}] = error;
}

int MemoryFileSystem::injected(Failing what, const std::string& path) const {
  const auto it = failing_.find({what, key(path)});
  return it == failing_.end() ? 0 : it->second;
}

std::time_t MemoryFileSystem::modifiedOf(const std::string& path) const {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  const auto it = nodes_.find(key(path));
  return it == nodes_.end() ? 0 : it->second.modified;
}

long long MemoryFileSystem::used() const {
  long long total = 0;
  for (const auto& [path, node] : nodes_) total += static_cast<long long>(node.bytes.size());
  return total;
}

FileResult MemoryFileSystem::ReadFile(const std::string& path, Bytes& out, std::size_t limit) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  out.clear();
  const auto it = nodes_.find(key(path));
  if (it == nodes_.end()) return FileResult{kCannotOpen, ENOENT};
  if (it->second.kind == EntryKind::kFolder) return FileResult{kCannotOpen, EISDIR};
  if (it->second.bytes.size() > limit) return FileResult{kNotThisFormat, EFBIG};
  if (const int error = injected(Failing::kRead, path); error != 0) return {kCannotOpen, error};
  out = it->second.bytes;
  return FileResult{};
}

FileResult MemoryFileSystem::put(const std::string& path, ByteView data, bool replace,
                                 std::time_t modified) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  const int number = ++writes_;
  const std::string k = key(path);
  const auto parent = nodes_.find(parentOf(k));
  if (parent == nodes_.end() || parent->second.kind != EntryKind::kFolder) {
    return FileResult{kCannotCreate, ENOENT};
  }
  if (parent->second.readOnly) return FileResult{kCannotCreate, EACCES};
  const auto existing = nodes_.find(k);
  if (existing != nodes_.end()) {
    if (!replace) return FileResult{kCannotCreate, EEXIST};
    if (existing->second.kind == EntryKind::kFolder) return FileResult{kCannotCreate, EISDIR};
    if (existing->second.readOnly) return FileResult{kCannotCreate, EACCES};
  }
  if (const auto failing = failingWrites_.find(number); failing != failingWrites_.end()) {
    return FileResult{kCannotCreate, failing->second};
  }
  // The new content is written beside the old one before the old one goes.
  if (capacity_ >= 0 && used() + static_cast<long long>(data.size()) > capacity_) {
    return FileResult{kCannotCreate, ENOSPC};
  }
  ++clock_;
  nodes_[k] = Node{EntryKind::kFile, Bytes(data), false, modified != 0 ? modified : clock_};
  return FileResult{};
}

FileResult MemoryFileSystem::WriteFile(const std::string& path, ByteView data) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return put(path, data, true);
}

FileResult MemoryFileSystem::CreateFile(const std::string& path, ByteView data) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  return put(path, data, false);
}

FileResult MemoryFileSystem::Stat(const std::string& path, FileEntry& entry) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  const std::string k = key(path);
  const auto it = nodes_.find(k);
  if (it == nodes_.end()) return FileResult{kCannotOpen, ENOENT};
  const Node& node = it->second;
  entry.name = k == "/" ? "/" : k.substr(k.rfind('/') + 1);
  entry.kind = node.kind;
  entry.readOnly = node.readOnly;
  entry.bytes = node.kind == EntryKind::kFile ? static_cast<long long>(node.bytes.size()) : 0;
  entry.modified = node.modified;
  entry.attributes = AttributeNumberOf(entry.kind, entry.readOnly, entry.name);
  return FileResult{};
}

FileResult MemoryFileSystem::listFolder(const std::string& folder,
                                        std::vector<FileEntry>& entries) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  entries.clear();
  const std::string k = key(folder);
  const auto it = nodes_.find(k);
  if (it == nodes_.end()) return FileResult{kCannotOpen, ENOENT};
  if (it->second.kind != EntryKind::kFolder) return FileResult{kCannotOpen, ENOTDIR};
  for (const std::string& name : namesIn(k)) {
    if (const int error = injected(Failing::kListing, k); error != 0 && entries.size() == 1) {
      entries.clear();
      return FileResult{kCannotOpen, error};
    }
    FileEntry entry;
    Stat(k == "/" ? "/" + name : k + "/" + name, entry);
    entries.push_back(std::move(entry));
  }
  if (const auto planted = planted_.find(k); planted != planted_.end()) {
    for (FileEntry entry : planted->second) {
      const std::string name = entry.name;
      if (Stat(k + "/" + name, entry) == kDone) entry.name = name;
      entries.push_back(std::move(entry));
    }
  }
  return FileResult{};
}

FileResult MemoryFileSystem::MakeFolder(const std::string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  const std::string k = key(path);
  if (const int error = injected(Failing::kMakeFolder, k); error != 0)
    return FileResult{kCannotCreate, error};
  if (nodes_.count(k) != 0) return FileResult{kCannotCreate, EEXIST};
  const auto parent = nodes_.find(parentOf(k));
  if (parent == nodes_.end() || parent->second.kind != EntryKind::kFolder) {
    return FileResult{kCannotCreate, ENOENT};
  }
  nodes_[k] = Node{EntryKind::kFolder, {}, false, ++clock_};
  return FileResult{};
}

FileResult MemoryFileSystem::Remove(const std::string& path) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  const std::string k = key(path);
  const auto it = nodes_.find(k);
  if (it == nodes_.end()) return FileResult{kCannotOpen, ENOENT};
  if (const int error = injected(Failing::kRemove, k); error != 0)
    return FileResult{kCannotCreate, error};
  if (it->second.kind == EntryKind::kFolder && !namesIn(k).empty()) {
    return FileResult{kCannotCreate, ENOTEMPTY};
  }
  nodes_.erase(it);
  return FileResult{};
}

FileResult MemoryFileSystem::Rename(const std::string& from, const std::string& to) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  const std::string f = key(from);
  const std::string t = key(to);
  const auto it = nodes_.find(f);
  if (it == nodes_.end()) return FileResult{kCannotOpen, ENOENT};
  for (const std::string& end : {f, t}) {
    if (const int error = injected(Failing::kRename, end); error != 0) {
      return FileResult{kCannotCreate, error};
    }
  }
  if (nodes_.count(t) != 0) return FileResult{kCannotCreate, EEXIST};
  if (nodes_.count(parentOf(t)) == 0) return FileResult{kCannotCreate, ENOENT};
  if (it->second.kind == EntryKind::kFolder && !namesIn(f).empty()) {
    return FileResult{kCannotCreate, EXDEV};  // folders with entries are not moved here
  }
  nodes_[t] = std::move(it->second);
  nodes_.erase(f);
  return FileResult{};
}

FileResult MemoryFileSystem::Copy(const std::string& from, const std::string& to, bool replace) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  Bytes bytes;
  const FileResult read = ReadFile(from, bytes, static_cast<std::size_t>(-1));
  if (read != kDone) return read;
  return put(to, bytes, replace, modifiedOf(from));
}

FileResult MemoryFileSystem::SetReadOnly(const std::string& path, bool readOnly) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  const auto it = nodes_.find(key(path));
  if (it == nodes_.end()) return FileResult{kCannotOpen, ENOENT};
  if (const int error = injected(Failing::kSetReadOnly, path); error != 0) {
    return FileResult{kCannotCreate, error};
  }
  it->second.readOnly = readOnly;
  return FileResult{};
}

FileResult MemoryFileSystem::SetModified(const std::string& path, std::time_t when) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  const auto it = nodes_.find(key(path));
  if (it == nodes_.end()) return FileResult{kCannotOpen, ENOENT};
  it->second.modified = when;
  return FileResult{};
}

FileResult MemoryFileSystem::Space(const std::string& folder, unsigned long long& freeBytes,
                                   unsigned long long& totalBytes) {
  const std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (nodes_.count(key(folder)) == 0) return FileResult{kCannotOpen, ENOENT};
  const long long capacity = capacity_ >= 0 ? capacity_ : 1000000000;
  totalBytes = static_cast<unsigned long long>(capacity);
  freeBytes = static_cast<unsigned long long>(std::max(0LL, capacity - used()));
  return FileResult{};
}

}  // namespace durnix::test
