// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/file_system.h"

#include <algorithm>

namespace durnix {

bool IsEntryName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

Status FileSystem::ListFolder(const std::string& folder, std::vector<FileEntry>& entries) {
  skippedNames_ = 0;
  const Status status = listFolder(folder, entries);
  const auto unusable = std::remove_if(entries.begin(), entries.end(),
                                       [](const FileEntry& e) { return !IsEntryName(e.name); });
  skippedNames_ += static_cast<int>(entries.end() - unusable);
  entries.erase(unusable, entries.end());
  return status;
}

}  // namespace durnix
