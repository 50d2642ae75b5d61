// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's file operations as a user runs them: the buttons, a drop from the desktop's
// file manager, the input boxes, Properties and Edit Text.

#include "forms_support.h"
#include "shell/file_operations.h"
#include "shell/forms/file_list_model.h"
#include "shell/forms/frm_properties.h"
#include "shell/forms/frm_text_edit.h"

using namespace durnix;

class FileCommandsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString left_, right_, outside_;
  test::AnswerScript answers_;
  test::ScriptedDialogs input_;
  std::unique_ptr<FrmDurnix> window_;

  void select(int pane, const QStringList& names) {
    window_->pane(pane).CmdRef_Click();
    QCOMPARE(test::Select(*window_, pane, names), static_cast<int>(names.size()));
    QCOMPARE(window_->pane(pane).selection().count(), static_cast<int>(names.size()));
  }
  // Clicks `button`, waits until its run ends, and checks that every question was as expected.
  void click(const char* button) {
    window_->findChild<QPushButton*>(button)->click();
    QVERIFY(test::RunEnded(*window_));
    DURNIX_VERIFY_ANSWERS(answers_);
  }

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    left_ = dir_.filePath("left");
    right_ = dir_.filePath("right");
    outside_ = dir_.filePath("outside");
    for (const QString& folder : {left_, right_, outside_, left_ + "/runs"}) {
      QVERIFY(QDir().mkpath(folder));
    }
    QVERIFY(test::WriteAll(left_ + "/a.rbs", "new a"));
    QVERIFY(test::WriteAll(left_ + "/b.txt", "new b"));
    QVERIFY(test::WriteAll(left_ + "/runs/r1.as1", "run 1"));
    QVERIFY(test::WriteAll(right_ + "/a.rbs", "old a"));
    QVERIFY(test::WriteAll(outside_ + "/dropped.chn", "dropped"));
    answers_ = test::AnswerScript();
    input_ = test::ScriptedDialogs();
    QVERIFY(test::SaveFolders(dir_.path(), left_, right_));
    MainWindowStartup startup;
    startup.viewerDialogs = &input_;
    startup.trash = false;
    window_ = test::OpenWindow(dir_.path(), {{"Data", PathBytes(dir_.path()), PlaceKind::kFixed}},
                               answers_, startup);
  }
  void cleanup() {
    window_.reset();
    QDir(dir_.path()).removeRecursively();
  }

  void copyMoveAndDeleteByTheButtons() {
    select(0, {"a.rbs", "b.txt", "runs"});
    answers_.expectExtended("File a.rbs is already exist. Overwrite it ?", kSetOverwriteMany,
                            kAnswerSkip);
    click("CmdCopy");
    QCOMPARE(test::ReadAll(right_ + "/a.rbs"), QByteArray("old a"));
    QCOMPARE(test::ReadAll(right_ + "/b.txt"), QByteArray("new b"));

    select(0, {"a.rbs"});
    answers_.expectExtended("File a.rbs is already exist. Overwrite it ?", kSetOverwriteLast,
                            kAnswerOverwrite);
    click("CmdMove");
    QCOMPARE(test::ReadAll(right_ + "/a.rbs"), QByteArray("new a"));
    QVERIFY(!QFile::exists(left_ + "/a.rbs"));
    QVERIFY(!window_->MoveMode);

    select(1, {"b.txt"});
    answers_.expect(" 1 files will be deleted. Are you sure ?", StandardButtons::kYesNo,
                    kAnswerYes);
    click("CmdDelete");
    QVERIFY(!QFile::exists(right_ + "/b.txt"));
    QVERIFY(QFile::exists(left_ + "/b.txt"));

    select(1, {});
    answers_.expect(kNothingSelected, kAnswerOk);
    click("CmdDelete");
  }

  void dropsFromTheDesktopAndFromTheOtherPane() {
    auto drop = [this](int pane, const QString& path, Qt::KeyboardModifiers modifiers) {
      QMimeData data;
      data.setUrls({QUrl::fromLocalFile(path)});
      QWidget* viewport = window_->pane(pane).ListView->viewport();
      QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                            modifiers);
      QApplication::sendEvent(viewport, &enter);
      QVERIFY(enter.isAccepted());
      QDropEvent event(QPointF(20, 20), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                       modifiers);
      QApplication::sendEvent(viewport, &event);
      QVERIFY(test::RunEnded(*window_));
    };
    drop(1, outside_ + "/dropped.chn", Qt::NoModifier);
    QCOMPARE(test::ReadAll(right_ + "/dropped.chn"), QByteArray("dropped"));
    QVERIFY(QFile::exists(outside_ + "/dropped.chn"));
    QVERIFY(test::WriteAll(outside_ + "/moved.as2", "moved"));
    drop(0, outside_ + "/moved.as2", Qt::ShiftModifier);
    QCOMPARE(test::ReadAll(left_ + "/moved.as2"), QByteArray("moved"));
    QVERIFY(!QFile::exists(outside_ + "/moved.as2"));
    DURNIX_VERIFY_ANSWERS(answers_);

    // From the other pane: Copy, or Move with Ctrl.
    select(0, {"b.txt"});
    window_->filesDropped(1, {}, Qt::ControlModifier, true);
    QVERIFY(test::RunEnded(*window_));
    QVERIFY(QFile::exists(right_ + "/b.txt") && !QFile::exists(left_ + "/b.txt"));
  }

  void renameMakeDirPropertiesAndEditTextByTheMenus() {
    select(0, {"b.txt"});
    input_.input = "notes.txt";
    window_->mnuRename_Click();
    QVERIFY(QFile::exists(left_ + "/notes.txt"));
    input_.input = " new folder ";
    window_->mnuMkDir_Click();
    QVERIFY(QFileInfo(left_ + "/new folder").isDir());
    QCOMPARE(input_.inputs, QStringList({"Rename: Old name : " + left_ + "/b.txt", "b.txt",
                                         "Make directory: Base dir : " + left_ + "/", ""}));

    select(0, {"notes.txt"});
    window_->mnuProperties_Click();
    window_->mnuTextEdit_Click();
    auto* properties = window_->findChild<FrmProperties*>();
    auto* editor = window_->findChild<FrmTextEdit*>();
    QVERIFY(properties != nullptr && properties->isVisible() && editor != nullptr);
    QCOMPARE(editor->textBytes(), std::string("new b"));
  }
};

QTEST_MAIN(FileCommandsTest)
#include "file_commands_test.moc"
