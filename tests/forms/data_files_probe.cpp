// SPDX-License-Identifier: GPL-3.0-or-later
// Prints where a program in FOLDER finds its files, one "what: path" line each; the install
// check runs it on the folder of an installed durnix.
//
//   data_files_probe FOLDER

#include <QCoreApplication>
#include <QFile>
#include <iostream>

#include "platform/data_files.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) {
    std::cerr << "usage: data_files_probe FOLDER\n";
    return 2;
  }
  const QString folder = QFile::decodeName(argv[1]);
  const auto print = [](const char* what, const QString& path) {
    std::cout << what << ": " << QFile::encodeName(path).toStdString() << "\n";
  };
  print("database", durnix::ElementDatabasePath(folder));
  print("help", durnix::HelpFilePath(folder));
  print("config", durnix::ConfigPathToRead(folder));
  print("save-folder", durnix::ConfigSaveFolder(folder));
  return 0;
}
