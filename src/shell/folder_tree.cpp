// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/folder_tree.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <random>

namespace durnix {

namespace {

// A folder whose listing comes back this often on one path is a link back into the tree.
constexpr int kLoopRepeats = 4;

std::string join(const std::string& folder, const std::string& name) {
  return !folder.empty() && folder.back() == '/' ? folder + name : folder + "/" + name;
}

void mix(std::uint64_t& hash, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) {
    hash ^= bytes[i];
    hash *= 1099511628211ULL;
  }
}

// What a folder looks like from inside: its time and its entries.
std::uint64_t signature(std::time_t modified, const std::vector<FileEntry>& entries) {
  std::uint64_t hash = 14695981039346656037ULL;
  mix(hash, &modified, sizeof modified);
  for (const FileEntry& e : entries) {
    mix(hash, e.name.data(), e.name.size() + 1);
    const long long fields[] = {static_cast<long long>(e.kind), e.bytes,
                                static_cast<long long>(e.modified), e.attributes};
    mix(hash, fields, sizeof fields);
  }
  return hash;
}

TreeRead walk(FileSystem& files, const std::string& folder, const std::string& relative,
              std::time_t modified, std::vector<std::uint64_t>& above, FolderTree& tree) {
  std::vector<FileEntry> entries;
  if (const FileResult listing = files.ListFolder(folder, entries); listing != kDone) {
    tree.error = listing.error;
    return TreeRead::kUnreadable;
  }
  std::sort(entries.begin(), entries.end(),
            [](const FileEntry& x, const FileEntry& y) { return x.name < y.name; });
  const std::uint64_t seen = signature(modified, entries);
  if (std::count(above.begin(), above.end(), seen) >= kLoopRepeats - 1) return TreeRead::kLoop;
  above.push_back(seen);
  for (const FileEntry& e : entries) {
    if (e.kind == EntryKind::kOther) continue;
    const std::string path = relative.empty() ? e.name : relative + "/" + e.name;
    const std::size_t index = tree.items.size();
    tree.items.push_back(
        {path, e.kind == EntryKind::kFolder, e.readOnly, e.bytes, index + 1, e.modified});
    if (e.kind == EntryKind::kFolder) {
      const TreeRead inner = walk(files, join(folder, e.name), path, e.modified, above, tree);
      if (inner != TreeRead::kComplete) return inner;
      tree.items[index].end = tree.items.size();
    } else {
      ++tree.files;
      tree.bytes += e.bytes;
    }
  }
  above.pop_back();
  return TreeRead::kComplete;
}

// A name no entry has: hidden, and unlikely to be taken.
std::string probeName() {
  static std::uint64_t state =
      std::random_device{}() ^
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string name = ".durnix-probe-";
  for (int i = 0; i < 8; ++i) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    name.push_back(kLetters[(state >> 33) % (sizeof kLetters - 1)]);
  }
  return name;
}

// Makes a probe folder in `folder`, calls `look(name)` and removes the probe again. False when
// no probe can be made there.
template <class Look>
bool withProbe(FileSystem& files, const std::string& folder, bool& found, Look&& look) {
  const std::string name = probeName();
  if (files.MakeFolder(join(folder, name)) != kDone) return false;
  found = look(name);
  files.Remove(join(folder, name));
  return true;
}

bool stillHolds(int error) {
  return error == ENOTEMPTY || error == EEXIST;
}

class MovedTreeRemoval {
 public:
  MovedTreeRemoval(FileSystem& files, const std::string& root, const FolderTree& tree,
                   const std::vector<bool>& moved)
      : files_(files), root_(root), tree_(tree), moved_(moved) {}

  // Removes the items first .. last - 1 (whole folders); false on a failure.
  bool range(std::size_t first, std::size_t last) {
    for (std::size_t i = first; i < last;) {
      const TreeItem& item = tree_.items[i];
      const std::string path = join(root_, item.path);
      if (!item.folder) {
        if (moved_[i] && !removed(files_.Remove(path))) return false;
        ++i;
        continue;
      }
      if (!folder(path, item.readOnly, i + 1, item.end)) return false;
      i = item.end;
    }
    return true;
  }

  // Removes a folder whose items are first .. last - 1, when nothing in it stays.
  bool folder(const std::string& path, bool readOnly, std::size_t first, std::size_t last) {
    if (!keeps(first, last)) {
      // A link goes at once, a real folder only once it is empty.
      const FileResult removal = files_.Remove(path);
      if (removal == kDone) return true;
      if (!stillHolds(removal.error)) return removed(removal);
    }
    if (readOnly) files_.SetReadOnly(path, false);
    if (!range(first, last)) return false;
    const FileResult removal = files_.Remove(path);
    return removal == kDone || stillHolds(removal.error) || removed(removal);
  }

  // The system's error number of the removal that failed.
  int error() const { return error_; }

 private:
  // Whether the removal succeeded; keeps the error number of one that failed.
  bool removed(const FileResult& removal) {
    if (removal == kDone) return true;
    error_ = removal.error;
    return false;
  }

  bool keeps(std::size_t first, std::size_t last) const {
    for (std::size_t i = first; i < last; ++i) {
      if (!tree_.items[i].folder && !moved_[i]) return true;
    }
    return false;
  }

  FileSystem& files_;
  const std::string& root_;
  const FolderTree& tree_;
  const std::vector<bool>& moved_;
  int error_ = 0;
};

}  // namespace

TreeRead ReadTree(FileSystem& files, const std::string& folder, FolderTree& tree) {
  tree = FolderTree();
  if (const FileResult look = files.Stat(folder, tree.root); look != kDone) {
    tree.error = look.error;
    return TreeRead::kUnreadable;
  }
  std::vector<std::uint64_t> above;
  return walk(files, folder, "", tree.root.modified, above, tree);
}

bool PathWithin(const std::string& folder, const std::string& inner) {
  std::string f = folder;
  while (f.size() > 1 && f.back() == '/') f.pop_back();
  if (inner.compare(0, f.size(), f) != 0) return false;
  return inner.size() == f.size() || inner[f.size()] == '/' || f == "/";
}

bool SameFolder(FileSystem& files, const std::string& a, const std::string& b) {
  if (a == b) return true;
  bool same = false;
  if (withProbe(files, b, same,
                [&](const std::string& name) { return files.Exists(join(a, name)); })) {
    return same;
  }
  withProbe(files, a, same, [&](const std::string& name) { return files.Exists(join(b, name)); });
  return same;
}

bool TreeHoldsFolder(FileSystem& files, const std::string& root, const FolderTree& tree,
                     const std::string& folder) {
  bool held = false;
  withProbe(files, folder, held, [&](const std::string& name) {
    if (files.Exists(join(root, name))) return true;
    for (const TreeItem& item : tree.items) {
      if (item.folder && files.Exists(join(join(root, item.path), name))) return true;
    }
    return false;
  });
  return held;
}

FileResult RemoveMovedTree(FileSystem& files, const std::string& root, const FolderTree& tree,
                           const std::vector<bool>& moved) {
  MovedTreeRemoval removal(files, root, tree, moved);
  if (removal.folder(root, tree.root.readOnly, 0, tree.items.size())) return {};
  return {kCannotCreate, removal.error()};
}

FileResult RemoveEntry(FileSystem& files, const std::string& path) {
  const FileResult removal = files.Remove(path);
  if (removal == kDone) return removal;
  // Only a real folder that holds entries is gone into; a link is removed by the first try.
  if (!stillHolds(removal.error)) return {kCannotCreate, removal.error};
  FileEntry self;
  if (files.Stat(path, self) == kDone && self.readOnly) files.SetReadOnly(path, false);
  std::vector<FileEntry> entries;
  if (const FileResult listing = files.ListFolder(path, entries); listing != kDone) {
    return {kCannotOpen, listing.error};
  }
  for (const FileEntry& e : entries) {
    const FileResult inner = RemoveEntry(files, join(path, e.name));
    if (inner != kDone) return inner;
  }
  if (const FileResult last = files.Remove(path); last != kDone) return {kCannotCreate, last.error};
  return {};
}

}  // namespace durnix
