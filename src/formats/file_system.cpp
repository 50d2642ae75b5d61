// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/file_system.h"

#include <algorithm>
#include <utility>

namespace durnix {

bool IsEntryName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

std::string PercentEscaped(std::string_view path, std::string_view plain) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(path.size());
  for (const char c : path) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '-' ||
        b == '.' || b == '_' || b == '~' || plain.find(c) != std::string_view::npos) {
      out += c;
    } else {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 15];
    }
  }
  return out;
}

namespace {

// The entries left out by the listing under way on this thread; a file system that lists
// through another one (a machine's, through a share's) nests one listing in another.
thread_local int tSkipped = 0;

}  // namespace

void FileSystem::skipNames(int count) {
  tSkipped += count;
}

FileResult FileSystem::ListFolder(const std::string& folder, std::vector<FileEntry>& entries,
                                  int* skipped) {
  const int outer = std::exchange(tSkipped, 0);
  const FileResult status = listFolder(folder, entries);
  const auto unusable = std::remove_if(entries.begin(), entries.end(),
                                       [](const FileEntry& e) { return !IsEntryName(e.name); });
  const int count = tSkipped + static_cast<int>(entries.end() - unusable);
  tSkipped = outer;
  entries.erase(unusable, entries.end());
  skippedNames_ = count;
  if (skipped != nullptr) *skipped = count;
  return status;
}

}  // namespace durnix
