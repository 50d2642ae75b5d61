// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/data_files.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "convert/preferences.h"
#include "elements/element_db.h"

// The data folder of the prefix, seen from the folder of the executables; the build gives the
// one of its install layout.
#ifndef DURNIX_DATA_FROM_BIN
#define DURNIX_DATA_FROM_BIN "../share/durnix"
#endif

namespace durnix {

namespace {

// The folders are named after the executables, whatever the application's display name.
constexpr const char* kFolderName = "durnix";

// `name` in the first data folder that has it; in the program's folder when none has.
QString FindData(const QString& programFolder, const QString& name) {
  for (const QString& folder : DataFolders(programFolder)) {
    const QString path = QDir(folder).filePath(name);
    if (QFileInfo::exists(path)) return path;
  }
  return QDir(programFolder).filePath(name);
}

QString UserConfigFolder() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
      .filePath(kFolderName);
}

}  // namespace

QStringList DataFolders(const QString& programFolder) {
  QStringList folders{programFolder,
                      QDir::cleanPath(QDir(programFolder).filePath(DURNIX_DATA_FROM_BIN))};
  for (const QString& data :
       QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
    const QString folder = QDir(data).filePath(kFolderName);
    if (!folders.contains(folder)) folders << folder;
  }
  return folders;
}

QString ElementDatabasePath(const QString& programFolder) {
  return FindData(programFolder, ElementDatabase::kFileName);
}

QString HelpFilePath(const QString& programFolder) {
  return FindData(programFolder, "Durnix.hlp");
}

QString ConfigPathToRead(const QString& programFolder) {
  const QString beside = QDir(programFolder).filePath(kConfigFileName);
  if (QFileInfo::exists(beside)) return beside;
  return QDir(UserConfigFolder()).filePath(kConfigFileName);
}

QString ConfigSaveFolder(const QString& programFolder) {
  // A build or a copy that keeps its files beside it; an installed program's folder (/usr/bin),
  // even where root may write it, is no place for a user's settings.
  const QDir beside(programFolder);
  const bool ownFolder = QFileInfo::exists(beside.filePath(kConfigFileName)) ||
                         QFileInfo::exists(beside.filePath("Durnix.hlp"));
  if (ownFolder && QFileInfo(programFolder).isWritable()) return programFolder;
  const QString folder = UserConfigFolder();
  QDir().mkpath(folder);
  return folder;
}

}  // namespace durnix
