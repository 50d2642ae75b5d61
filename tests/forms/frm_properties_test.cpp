// SPDX-License-Identifier: GPL-3.0-or-later
// The properties window on real files: the detected spectrum format or the kind of document,
// size, times and permissions, a folder, and a pipe that must not be opened.

#include "shell/forms/frm_properties.h"

#include <sys/stat.h>

#include "formats/local_file_system.h"
#include "forms_support.h"

using namespace durnix;

namespace {

// The machine's files, noting every file read.
class CountingFiles : public LocalFileSystem {
 public:
  int reads = 0;
  FileResult ReadFile(const std::string& p, Bytes& out, std::size_t limit) override {
    ++reads;
    return LocalFileSystem::ReadFile(p, out, limit);
  }
};

}  // namespace

class FrmPropertiesTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  CountingFiles files_;

  static QString value(QWidget* w, const char* name) { return w->findChild<QLabel*>(name)->text(); }
  std::string path(const char* name) const { return (dir_.path() + "/" + name).toStdString(); }

 private slots:
  void spectrumTextFileFolderAndPipe() {
    test::WriteSpectrum(dir_.path() + "/run1.rbs", FMT_RBS, 512);
    FrmProperties spectrum(nullptr, files_, path("run1.rbs"));
    QCOMPARE(spectrum.windowTitle(), QString("Properties - run1.rbs"));
    QCOMPARE(value(&spectrum, "lblName"), QString("run1.rbs"));
    QCOMPARE(value(&spectrum, "lblFolder"), dir_.path());
    QCOMPARE(value(&spectrum, "lblKind"), QString("RUMP (RBS)"));

    QFile file(dir_.path() + "/notes.txt");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("The beam was stable all night.\n").repeated(50));  // 31 x 50 bytes
    QVERIFY(file.flush());
    QVERIFY(file.setFileTime(QDateTime(QDate(2024, 3, 5), QTime(6, 7, 8)),
                             QFileDevice::FileModificationTime));
    QVERIFY(file.setFileTime(QDateTime(QDate(2025, 11, 30), QTime(23, 59, 1)),
                             QFileDevice::FileAccessTime));
    file.close();
    QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                QFileDevice::ReadGroup | QFileDevice::ExeOther));
    FrmProperties w(nullptr, files_, path("notes.txt"));
    QCOMPARE(value(&w, "lblKind"), QString("plain text document"));
    QCOMPARE(value(&w, "lblSize"), QString("1,550 bytes (1.51 kB)"));
    QCOMPARE(value(&w, "lblModified"), QString("2024-03-05 06:07:08"));
    QCOMPARE(value(&w, "lblAccessed"), QString("2025-11-30 23:59:01"));
    QCOMPARE(value(&w, "lblPermissions"), QString("rw-r----x (641)"));
    QVERIFY(!value(&w, "lblOwner").isEmpty() && !value(&w, "lblGroup").isEmpty());
    QCOMPARE(SizeText(1), QString("1 byte"));
    QCOMPARE(SizeText(5u << 20), QString("5,242,880 bytes (5.00 MB)"));

    QVERIFY(QDir(dir_.path()).mkdir("sub"));
    FrmProperties folder(nullptr, files_, path("sub") + "/");
    QCOMPARE(value(&folder, "lblName"), QString("sub"));
    QCOMPARE(value(&folder, "lblKind"), QString("Folder"));
    QCOMPARE(value(&folder, "lblSize"), QString());
    QVERIFY(value(&folder, "lblPermissions").startsWith("rwx"));

    QCOMPARE(::mkfifo(path("pipe").c_str(), 0600), 0);
    files_.reads = 0;
    FrmProperties pipe(nullptr, files_, path("pipe"));  // would wait for a writer if opened
    QCOMPARE(files_.reads, 0);
    QCOMPARE(value(&pipe, "lblKind"), QString("pipe"));
    QCOMPARE(value(&pipe, "lblPermissions"), QString("rw------- (600)"));
  }

  void escapeAndEnterClose() {
    for (const int key : {Qt::Key_Escape, Qt::Key_Return}) {
      FrmProperties w(nullptr, files_, dir_.path().toStdString());
      w.show();
      QApplication::setActiveWindow(&w);
      QVERIFY(QTest::qWaitForWindowActive(&w));
      QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key));
      QVERIFY(!w.isVisible());
      QCOMPARE(w.result(), key == Qt::Key_Return ? QDialog::Accepted : QDialog::Rejected);
    }
  }
};

QTEST_MAIN(FrmPropertiesTest)
#include "frm_properties_test.moc"
