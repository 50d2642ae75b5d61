// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/file_list.h"

#include <array>

#include "convert/batch.h"
#include "formats/catalogue.h"
#include "formats/text_rules.h"

namespace durnix {

std::string AttributeLetters(int attributes) {
  if (attributes < 0 || attributes > 55 || (attributes > 39 && attributes < 48) ||
      (attributes > 23 && attributes < 32) || (attributes > 7 && attributes < 16)) {
    return "Error";
  }
  std::string letters = "----";
  if (attributes & kAttrArchive) letters[0] = 'a';
  if (attributes & kAttrReadOnly) letters[1] = 'r';
  if (attributes & kAttrHidden) letters[2] = 'h';
  if (attributes & kAttrSystem) letters[3] = 's';
  return letters;
}

bool IsNormalFile(int attributes) {
  return attributes == 0 || attributes == kAttrArchive;
}

bool MatchesMask(std::string_view name, std::string_view mask) {
  if (mask == "*.*" || mask == "*") return true;
  if (mask.size() < 2 || mask.substr(0, 2) != "*.") return name == mask;
  const std::string_view suffix = mask.substr(1);  // ".RBS"
  return name.size() > suffix.size() &&
         UpperAscii(name.substr(name.size() - suffix.size())) == UpperAscii(suffix);
}

bool FileRow::isFolder() const {
  return IsFolderEntry(attributeNumber);
}

std::string Grouped(long long value, std::string_view grouping) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
    digits.insert(static_cast<std::size_t>(at), grouping);
  }
  return value < 0 ? "-" + digits : digits;
}

std::string DateText(std::time_t when) {
  std::tm local{};
  ::localtime_r(&when, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

FileRow MakeRow(std::string_view name, int attributes, long long bytes, std::time_t modified,
                std::string_view grouping) {
  FileRow row;
  row.name = std::string(name);
  row.attributeNumber = attributes;
  row.attributes = AttributeLetters(attributes);
  row.date = DateText(modified);
  // The extension follows the last "."; a name that begins with its only "." has none.
  const auto dot = name.rfind('.');
  const bool hasExtension = dot != std::string_view::npos && dot != 0 && name != "..";
  const std::string_view stem = hasExtension ? name.substr(0, dot) : name;
  row.extension = hasExtension ? std::string(name.substr(dot + 1)) : std::string();
  if (IsFolderEntry(attributes)) {
    row.text = " " + std::string(stem);
    row.size = "DIR";
  } else {
    row.text = std::string(stem);
    row.bytes = bytes;
    row.size = Grouped(bytes, grouping);
  }
  return row;
}

FileResult ListFolderRows(FileSystem& files, const std::string& folder, std::string_view mask,
                          bool topOfPlace, std::string_view grouping, std::vector<FileRow>& rows,
                          long long& paneBytes, int* skipped) {
  rows.clear();
  paneBytes = 0;
  std::vector<FileEntry> entries;
  const FileResult status = files.ListFolder(folder, entries, skipped);
  if (status != kDone) return status;
  rows.reserve(entries.size() + 1);
  if (!topOfPlace && MatchesMask("..", mask)) {
    // Its date is the parent folder's; a parent that cannot be seen, or one on the network,
    // shows none.
    FileEntry parent;
    const bool network = folder.size() >= 2 && folder[0] == '/' && folder[1] == '/';
    const bool seen = !network && files.Stat(folder + "..", parent) == kDone;
    rows.push_back(MakeRow("..", kAttrFolder, 0, parent.modified, grouping));
    if (!seen) rows.back().date.clear();
  }
  for (const FileEntry& entry : entries) {
    if (!MatchesMask(entry.name, mask)) continue;
    rows.push_back(MakeRow(entry.name, entry.attributes, entry.bytes, entry.modified, grouping));
    paneBytes += rows.back().bytes;
  }
  return {};
}

std::string SkippedNamesText(int count, const std::string& folder) {
  return std::to_string(count) + (count == 1 ? " entry of " : " entries of ") + folder +
         (count == 1 ? " is" : " are") +
         " not shown: a name that holds \"/\" or NUL, or is empty, \".\" or \"..\", can not "
         "be used.";
}

bool IsSpectrumExtension(std::string_view extension) {
  const std::string upper = UpperAscii(extension);
  for (int code = FMT_RBS; code <= FMT_SNF; ++code) {
    if (Format(static_cast<FormatCode>(code)).mask.substr(2) == upper) return true;
  }
  return false;
}

void Selection::add(const std::string& name, int attrs, long long size) {
  if (count() >= kMaxEntries) return;
  names.push_back(name);
  attributes.push_back(attrs);
  bytes += size;
}

std::string StatusLine(int selected, long long selectedBytes, int rows, long long paneBytes,
                       std::string_view grouping) {
  return NumberText(selected) + " (" + Grouped(selectedBytes / 1000, grouping) + " kB) files of" +
         NumberText(rows) + " (" + Grouped(paneBytes / 1000, grouping) + " kB) selected";
}

std::string FreeSpaceText(unsigned long long freeBytes, unsigned long long totalBytes,
                          std::string_view grouping) {
  const auto kilo = [](unsigned long long bytes) {
    return static_cast<long long>((bytes + 500) / 1000);
  };
  return Grouped(kilo(freeBytes), grouping) + " of " + Grouped(kilo(totalBytes), grouping) +
         " kB free";
}

Activation ActivationOf(const std::string& fileName, int attributes) {
  if (fileName.empty()) return Activation::kNothing;
  if (IsFolderEntry(attributes))
    return fileName == ".." ? Activation::kUp : Activation::kEnterFolder;
  const auto dot = fileName.rfind('.');
  if (dot != std::string::npos && dot != 0 && IsSpectrumExtension(fileName.substr(dot + 1))) {
    return Activation::kViewSpectrum;
  }
  return Activation::kOpenWithDesktop;
}

}  // namespace durnix
