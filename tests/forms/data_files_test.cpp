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

  static void touch(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
  }

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

  void dataBesideTheProgramComesFirstThenItsPrefix() {
    QCOMPARE(DataFolders(bin_).mid(0, 2), QStringList({bin_, share_}));
    // Found nowhere: the names in the program's folder, which its messages show.
    QCOMPARE(ElementDatabasePath(bin_), bin_ + "/Durnix.mdb");
    QCOMPARE(HelpFilePath(bin_), bin_ + "/Durnix.hlp");
    // Installed to the prefix.
    touch(share_ + "/Durnix.mdb");
    QVERIFY(QDir().mkpath(share_ + "/Durnix.hlp"));
    QCOMPARE(ElementDatabasePath(bin_), share_ + "/Durnix.mdb");
    QCOMPARE(HelpFilePath(bin_), share_ + "/Durnix.hlp");
    // A build keeps them beside the program, which wins.
    touch(bin_ + "/Durnix.mdb");
    QVERIFY(QDir().mkpath(bin_ + "/Durnix.hlp"));
    QCOMPARE(ElementDatabasePath(bin_), bin_ + "/Durnix.mdb");
    QCOMPARE(HelpFilePath(bin_), bin_ + "/Durnix.hlp");
  }

  void dataInTheDesktopsDataFolders() {
    QVERIFY(DataFolders(bin_).contains(userData_));
    QVERIFY(QDir().mkpath(userData_ + "/Durnix.hlp"));
    touch(userData_ + "/Durnix.mdb");
    QCOMPARE(ElementDatabasePath(bin_), userData_ + "/Durnix.mdb");
    QCOMPARE(HelpFilePath(bin_), userData_ + "/Durnix.hlp");
    // The prefix's data folder comes before the desktop's.
    touch(share_ + "/Durnix.mdb");
    QCOMPARE(ElementDatabasePath(bin_), share_ + "/Durnix.mdb");
  }

  void configBesideTheProgramElseTheUsers() {
    QCOMPARE(ConfigPathToRead(bin_), userConfig_ + "/durnix.cfg");
    touch(bin_ + "/durnix.cfg");
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
