// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The rows of a pane's file list, its selection list and its status line: what each entry of a
// folder shows and how the commands take it.

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "formats/file_system.h"

namespace durnix {

// "a---", "ar--", "--h-", ... ; "Error" for numbers outside 0 to 55.
std::string AttributeLetters(int attributes);

// A file is normal when its attribute number is 0 or 32.
bool IsNormalFile(int attributes);

// Whether a name matches a pane's mask ("*.*" all, "*.RBS" names ending in ".RBS" in any case).
bool MatchesMask(std::string_view name, std::string_view mask);

// A row of the list.
struct FileRow {
  std::string name;         // the entry's own name, as the file system has it
  std::string text;         // "File Name": a blank first for folders
  std::string extension;    // "Ext"
  std::string size;         // "Size": grouped bytes, or "DIR"
  std::string date;         // "Date": "yyyy-mm-dd hh:mm:ss"
  std::string attributes;   // "Attr"
  int attributeNumber = 0;  // "AttrNum"
  long long bytes = 0;      // the file's length; 0 for folders

  bool isFolder() const;
  // The entry's file name, as every command takes it: the name as the file system has it (a
  // name may begin or end in blanks).
  const std::string& fileName() const { return name; }
};

// The row of one entry. `grouping` is the locale's digit-group separator.
FileRow MakeRow(std::string_view name, int attributes, long long bytes, std::time_t modified,
                std::string_view grouping);

// The rows of `folder` that match `mask`, in the order the file system gives them, ".." first
// unless the folder is the top of its place; `paneBytes` is the length of all files listed.
// Returns 0, or the file system's failure when the folder cannot be read (53, 7, with the
// system's error number): the listing then holds no rows. `skipped`, when given, receives the
// count of entries left out for their names (FileSystem::ListFolder).
FileResult ListFolderRows(FileSystem& files, const std::string& folder, std::string_view mask,
                          bool topOfPlace, std::string_view grouping, std::vector<FileRow>& rows,
                          long long& paneBytes, int* skipped = nullptr);

// What a pane tells once when the listing of `folder` left out `count` entries whose names are
// no entry names (FileSystem::SkippedNames).
std::string SkippedNamesText(int count, const std::string& folder);

// `value` with digit groups of three ("120,000").
std::string Grouped(long long value, std::string_view grouping);

// "yyyy-mm-dd hh:mm:ss" in local time.
std::string DateText(std::time_t when);

// Whether a file's extension (upper case) is that of one of the formats' masks "*.RBS" to
// "*.SNF": such files show the program's icon and open in the viewer.
bool IsSpectrumExtension(std::string_view extension);

// A pane's selection list, as the commands walk it.
struct Selection {
  static constexpr int kMaxEntries = 20000;
  std::vector<std::string> names;  // SelName
  std::vector<int> attributes;     // SelAttr
  long long bytes = 0;             // SelBytes

  int count() const { return static_cast<int>(names.size()); }  // SelCount
  void clear() {
    names.clear();
    attributes.clear();
    bytes = 0;
  }
  // Appends an entry unless the list is full.
  void add(const std::string& name, int attributes, long long bytes);
};

// The status line: " 3 (4 kB) files of 25 (120 kB) selected".
std::string StatusLine(int selected, long long selectedBytes, int rows, long long paneBytes,
                       std::string_view grouping);

// The free-space label: "1,234 of 5,678 kB free" (bytes / 1000, rounded).
std::string FreeSpaceText(unsigned long long freeBytes, unsigned long long totalBytes,
                          std::string_view grouping);

// What activating an entry does.
enum class Activation { kNothing, kUp, kEnterFolder, kViewSpectrum, kOpenWithDesktop };
Activation ActivationOf(const std::string& fileName, int attributes);

}  // namespace durnix
