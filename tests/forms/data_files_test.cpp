// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program finds its files: beside itself (a build), in the data folder of its prefix
// or of the desktop (an installed program), and durnix.cfg in the user's configuration folder.

#include "platform/data_files.h"

#include <QStandardPaths>
#include <QtTest>

using namespace durnix;

class DataFilesTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString bin_, share_, userData_, userConfig_;

 private slots:
  void initTestCase() {
    // The user's folders in a test location, apart from the real ones.
    QStandardPaths::setTestModeEnabled(true);
    userData_ = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/durnix";
    userConfig_ =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/durnix";
  }

  void init() {
    QVERIFY(dir_.isValid());
    bin_ = dir_.filePath("prefix/bin");
    share_ = dir_.filePath("prefix/share/durnix");
    QVERIFY(QDir().mkpath(bin_) && QDir().mkpath(share_));
  }

  void cleanup() {
    QDir(dir_.filePath("prefix")).removeRecursively();
    QDir(userData_).removeRecursively();
    QDir(userConfig_).removeRecursively();
  }

  // Found nowhere: the names in the program's folder, which its messages show. Else beside the
  // program (a build) before its prefix's data folder, before the desktop's (installed).
  void dataBesideTheProgramThenInItsPrefixThenTheDesktops() {
    QCOMPARE(ElementDatabasePath(bin_), bin_ + "/Durnix.mdb");
    QCOMPARE(HelpFilePath(bin_), bin_ + "/Durnix.hlp");
    for (const QString& folder : {userData_, share_, bin_}) {
      QVERIFY(QDir().mkpath(folder + "/Durnix.hlp"));
      QVERIFY(QFile(folder + "/Durnix.mdb").open(QIODevice::WriteOnly));
      QCOMPARE(ElementDatabasePath(bin_), folder + "/Durnix.mdb");
      QCOMPARE(HelpFilePath(bin_), folder + "/Durnix.hlp");
    }
  }

  void configBesideTheProgramElseTheUsers() {
    QCOMPARE(ConfigPathToRead(bin_), userConfig_ + "/durnix.cfg");
    QVERIFY(QFile(bin_ + "/durnix.cfg").open(QIODevice::WriteOnly));
    QCOMPARE(ConfigPathToRead(bin_), bin_ + "/durnix.cfg");
    // Saving offers the program's folder where it keeps the program's files and may be
    // written, else the user's folder, made for the dialog (a folder that is gone cannot be
    // written, whoever runs the test; an installed program's folder keeps no files of it).
    QCOMPARE(ConfigSaveFolder(bin_), bin_);
    QVERIFY(!QFileInfo::exists(userConfig_));
    QCOMPARE(ConfigSaveFolder(dir_.filePath("gone")), userConfig_);
    QVERIFY(QFileInfo(userConfig_).isDir());
    QFile::remove(bin_ + "/durnix.cfg");
    QCOMPARE(ConfigSaveFolder(bin_), userConfig_);
  }
};

QTEST_GUILESS_MAIN(DataFilesTest)
#include "data_files_test.moc"
