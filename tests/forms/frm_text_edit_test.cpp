// SPDX-License-Identifier: GPL-3.0-or-later
// The text editor on files in memory: 8-bit text and its line endings kept byte for byte,
// saving, failures that keep the text, and the question on closing with unsaved changes.

#include "shell/forms/frm_text_edit.h"

#include <cerrno>

#include "forms_support.h"
#include "support/memory_file_system.h"

using namespace durnix;

class FrmTextEditTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::MemoryFileSystem> files_;
  std::vector<std::string> messages_;  // message, then reason
  std::vector<std::string> questions_;
  int answer_ = kAnswerCancel;

  std::unique_ptr<FrmTextEdit> editor() {
    auto window = std::make_unique<FrmTextEdit>(nullptr, *files_);
    window->showMessage = [this](const std::string& message, const std::string& reason) {
      messages_.push_back(message);
      messages_.push_back(reason);
    };
    window->askQuestion = [this](const std::string& prompt) {
      questions_.push_back(prompt);
      return answer_;
    };
    window->askSavePath = nullptr;  // an unexpected Save As throws
    return window;
  }
  static QPlainTextEdit* text(FrmTextEdit* w) { return w->findChild<QPlainTextEdit*>("txtEdit"); }
  static void append(FrmTextEdit* w, const QString& s) {
    text(w)->moveCursor(QTextCursor::End);
    text(w)->insertPlainText(s);
  }

 private slots:
  void init() {
    files_ = std::make_unique<test::MemoryFileSystem>();
    files_->addFolder("/d");
    messages_.clear();
    questions_.clear();
    answer_ = kAnswerNo;
  }

  void unchangedFileIsSavedByteForByte_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("edited");  // after "x" is typed at the very end
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QByteArray("a\r\nb\r\nx");
    QTest::newRow("cr") << QByteArray("a\rb") << QByteArray("a\rbx");
    QTest::newRow("no final newline") << QByteArray("a\r\nb") << QByteArray("a\r\nbx");
    QTest::newRow("empty") << QByteArray() << QByteArray("x");
    QByteArray all("\r\n");
    for (int b = 0; b < 256; ++b) all.append(b == '\r' || b == '\n' ? ' ' : char(b));
    QTest::newRow("every byte") << all << all + "x";
    // Mixed endings stay as read until the text changes, then all take the most frequent one.
    QTest::newRow("mixed") << QByteArray("a\r\nb\nc\r\n\r") << QByteArray("a\r\nb\r\nc\r\n\r\nx");
    // Ties: LF first, then CR LF.
    QTest::newRow("tie lf") << QByteArray("a\nb\r\n") << QByteArray("a\nb\nx");
    QTest::newRow("tie cr") << QByteArray("a\rb\r\n") << QByteArray("a\r\nb\r\nx");
  }
  void unchangedFileIsSavedByteForByte() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, edited);
    files_->addFile("/d/t.txt", std::string_view(bytes.constData(), bytes.size()));
    auto w = editor();
    QVERIFY(w->openFile("/d/t.txt"));
    QVERIFY(!w->isModified() && !w->isLocked());
    QCOMPARE(w->windowTitle(), QString("t.txt - Edit Text"));
    QVERIFY(w->save());
    QCOMPARE(QByteArray::fromStdString(files_->bytesOf("/d/t.txt")), bytes);
    append(w.get(), "x");
    QCOMPARE(w->windowTitle(), QString("t.txt* - Edit Text"));
    QVERIFY(w->save());
    QCOMPARE(QByteArray::fromStdString(files_->bytesOf("/d/t.txt")), edited);
    QCOMPARE(w->windowTitle(), QString("t.txt - Edit Text"));
    QVERIFY(messages_.empty());
  }

  void closingWithChangesAsks() {
    for (const int answer : {kAnswerCancel, kAnswerNo, kAnswerYes}) {
      files_->addFile("/d/notes.txt", "old\n");
      questions_.clear();
      answer_ = answer;
      auto w = editor();
      QVERIFY(w->openFile("/d/notes.txt"));
      w->show();
      QVERIFY(w->close());  // nothing changed: no question
      QVERIFY(questions_.empty());
      w->show();
      append(w.get(), "new");
      w->findChild<QAction*>("mnuClose")->trigger();
      QCOMPARE(questions_, std::vector<std::string>{"Save changes to notes.txt ?"});
      QCOMPARE(w->isVisible(), answer == kAnswerCancel);
      QCOMPARE(files_->bytesOf("/d/notes.txt"),
               std::string(answer == kAnswerYes ? "old\nnew" : "old\n"));
    }
  }

  void failedSaveKeepsTheText() {
    files_->addFile("/d/ro.txt", "keep\n", true);
    files_->addFile("/d/full.txt", "keep\n");
    for (const char* name : {"/d/ro.txt", "/d/full.txt"}) {
      const bool full = std::string(name) == "/d/full.txt";
      messages_.clear();
      auto w = editor();
      QVERIFY(w->openFile(name));
      QCOMPARE(w->findChild<QLabel*>("lblPath")->text(),
               QString(name) + (full ? "" : "  (read only)"));
      append(w.get(), "more");
      if (full) files_->failWrite(1, ENOSPC);
      QVERIFY(!w->save());
      const std::string reason = SystemErrorText(full ? ENOSPC : EACCES);
      QCOMPARE(messages_,
               (std::vector<std::string>{"Can not write the file " + std::string(name), reason}));
      QVERIFY(w->isModified());
      QCOMPARE(text(w.get())->toPlainText(), QString("keep\nmore"));
      QCOMPARE(files_->bytesOf(name), std::string("keep\n"));
      // Yes to the question on closing: the save fails again and the window stays.
      answer_ = kAnswerYes;
      if (full) files_->failWrite(1, ENOSPC);
      w->show();
      QVERIFY(!w->close());
      QVERIFY(w->isVisible());
    }
  }

  // Every byte is a character of its own; a character beyond 8 bits is saved only after a Yes.
  void eightBitText() {
    const std::string bytes("\x00\x1a\xe9\xff\xa0", 5);
    files_->addFile("/d/b.dat", bytes);
    auto w = editor();
    QVERIFY(w->openFile("/d/b.dat"));
    const QString line = text(w.get())->document()->begin().text();
    QCOMPARE(line, QString::fromUtf16(u"\u0000\u001a\u00e9\u00ff\u00a0", 5));
    QCOMPARE(text(w.get())->document()->blockCount(), 1);
    append(w.get(), QString::fromUtf8("\u20ac"));  // the euro sign has no 8-bit byte
    answer_ = kAnswerNo;
    QVERIFY(!w->save());
    QCOMPARE(files_->bytesOf("/d/b.dat"), bytes);
    answer_ = kAnswerYes;
    QVERIFY(w->save());
    QCOMPARE(files_->bytesOf("/d/b.dat"), bytes + "?");
    QCOMPARE(questions_.size(), std::size_t{2});
  }

  // A file that cannot be opened is told and the editor stays untitled; untitled text is saved
  // as a new file.
  void openFailuresAndUntitledText() {
    files_->addFile("/d/bad.txt", "abc");
    files_->failRead("/d/bad.txt", EIO);
    auto w = editor();
    for (const char* path : {"/d/none.txt", "/d/bad.txt", "/d"}) QVERIFY(!w->openFile(path));
    QCOMPARE(messages_,
             (std::vector<std::string>{"Can not open the file /d/none.txt", SystemErrorText(ENOENT),
                                       "Can not open the file /d/bad.txt", SystemErrorText(EIO),
                                       "Can not open the file /d", SystemErrorText(EISDIR)}));
    QCOMPARE(w->windowTitle(), QString("Untitled - Edit Text"));
    QCOMPARE(w->findChild<QLabel*>("lblPath")->text(), QString("Untitled"));
    QCOMPARE(w->findChild<QLabel*>("lblPosition")->text(), QString("1:1"));
    append(w.get(), "one\ntwo");
    QCOMPARE(w->findChild<QLabel*>("lblPosition")->text(), QString("2:4"));
    QCOMPARE(w->windowTitle(), QString("Untitled* - Edit Text"));
    std::vector<std::string> asked;
    std::string chosen;
    w->askSavePath = [&](const std::string& suggestion) {
      asked.push_back(suggestion);
      return chosen;
    };
    QVERIFY(!w->save());  // cancelled
    QVERIFY(w->isModified());
    chosen = "/d/new.txt";
    QVERIFY(w->save());
    QCOMPARE(files_->bytesOf("/d/new.txt"), std::string("one\ntwo"));
    QCOMPARE(w->windowTitle(), QString("new.txt - Edit Text"));
    QCOMPARE(w->findChild<QLabel*>("lblPath")->text(), QString("/d/new.txt"));
    append(w.get(), "!");
    QVERIFY(w->save());  // under its name now: no second question
    QCOMPARE(asked, (std::vector<std::string>{"", ""}));
    QCOMPARE(files_->bytesOf("/d/new.txt"), std::string("one\ntwo!"));
    chosen = "/d/copy.txt";
    QVERIFY(w->saveAs());
    QCOMPARE(asked.back(), std::string("/d/new.txt"));
    QCOMPARE(files_->bytesOf("/d/copy.txt"), std::string("one\ntwo!"));
  }
};

QTEST_MAIN(FrmTextEditTest)
#include "frm_text_edit_test.moc"
