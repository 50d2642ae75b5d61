// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The recursive work on folders of the file operations: reading a whole tree before it is copied,
// telling when two paths are one folder (links followed), removing what a move copied, and
// removing a folder with everything in it.

#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

#include "formats/file_system.h"

namespace durnix {

// One entry of a folder tree.
struct TreeItem {
  std::string path;  // relative to the tree's folder: "run/data.rbs"
  bool folder = false;
  bool readOnly = false;
  long long bytes = 0;
  std::size_t end = 0;  // one past the last item inside a folder (the next index for a file)
  std::time_t modified = 0;
};

// A folder and everything in it, a folder before its entries, the entries of each folder by name.
// Entries that are neither files nor folders (pipes, sockets, broken links) are left out.
struct FolderTree {
  FileEntry root;
  std::vector<TreeItem> items;
  int files = 0;
  long long bytes = 0;
  int error = 0;  // the system's error number when a folder of it could not be read
};

enum class TreeRead { kComplete, kUnreadable, kLoop };

// Reads the tree of `folder` (no final "/"). kUnreadable when a folder cannot be listed (the
// system's error number in tree.error), kLoop when a link leads back into the tree: links
// are followed, and a folder whose listing (names, kinds, sizes, times) repeats that of a folder
// above it for the fourth time is taken for one seen through a link.
TreeRead ReadTree(FileSystem& files, const std::string& folder, FolderTree& tree);

// The path `inner` is `folder` or lies inside it, by the text of the paths.
bool PathWithin(const std::string& folder, const std::string& inner);

// Whether the folders `a` and `b` (ending in "/") are one folder, under any names: a probe folder
// made in one is looked for in the other. False when neither can hold a probe.
bool SameFolder(FileSystem& files, const std::string& a, const std::string& b);

// Whether `folder` (ending in "/") is, under any name, the tree's folder `root` or one inside it.
bool TreeHoldsFolder(FileSystem& files, const std::string& root, const FolderTree& tree,
                     const std::string& folder);

// Removes what a move copied out of the tree at `root`: the files marked in `moved` (by item),
// then every folder that is left empty, the root too. A folder that still holds entries stays. A
// link to a folder is removed itself, never what is inside it, unless entries in it stay. Returns
// 0, or the failure of the file system with its error number.
FileResult RemoveMovedTree(FileSystem& files, const std::string& root, const FolderTree& tree,
                           const std::vector<bool>& moved);

// Removes a file, or a folder with everything in it, read-only entries too; a link is removed
// itself, never what it leads to. For a desktop without a trash.
// Returns 0, or the failure of the file system with its error number.
FileResult RemoveEntry(FileSystem& files, const std::string& path);

}  // namespace durnix
