// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// FrmProperties: what the program knows of one file or folder: its name and folder, its kind
// (the spectrum format that detection reads in it, else the kind of document its name and first
// bytes tell), its size, times, permissions, owner and group. Nothing in it can be changed.

#include <QDialog>
#include <string>

#include "formats/file_system.h"

class QFormLayout;
class QLabel;

namespace durnix {

class FrmProperties : public QDialog {
  Q_OBJECT

 public:
  // Looks at `path` (the system's bytes) once, when the window is made. Only a regular file
  // within the size of a spectrum is read, and only through `files`.
  FrmProperties(QWidget* parent, FileSystem& files, const std::string& path);

  // Makes the window for `path`, shows it beside its parent and lets it delete itself when
  // closed.
  static FrmProperties* Open(QWidget* parent, FileSystem& files, const std::string& path);

 private:
  QLabel* addRow(QFormLayout* form, const char* caption, const char* name, const QString& value);
};

// The kind of an entry as the window names it; `path` is read through `files` only when it is a
// regular file of at most kMaxSpectrumFileBytes.
QString KindOfEntry(FileSystem& files, const std::string& path, const FileEntry& entry);

// "1,234,567 bytes (1.18 MB)"; "12 bytes" under one kilobyte (1024 bytes).
QString SizeText(long long bytes);

}  // namespace durnix
