// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's file operations as a user runs them: the buttons, a drop from the desktop's
// file manager, names edited in the list, the input boxes, Properties and Edit Text.

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

#include "convert/preferences.h"
#include "forms_support.h"
#include "platform/paths.h"
#include "shell/file_operations.h"
#include "shell/forms/file_list_model.h"
#include "shell/forms/file_pane.h"
#include "shell/forms/frm_durnix.h"
#include "shell/forms/frm_properties.h"
#include "shell/forms/frm_text_edit.h"
#include "viewer/forms/viewer_dialogs.h"
#include "window_runs.h"

using namespace durnix;

namespace {

// The input box answers what the test says; the other dialogs are not used here.
class InputBox : public ViewerDialogs {
 public:
  QString answer;
  QStringList prompts;
  QStringList defaults;
  QString openSpectrum(QWidget*, const QString&, const QString&) override { return {}; }
  bool saveSpectrum(QWidget*, const QString&, const QStringList&, const QString&,
                    const std::function<QString(int)>&, QString&, int&) override {
    return false;
  }
  bool inputText(QWidget*, const QString& prompt, const QString& title, QPoint,
                 QString& text) override {
    prompts << title + ": " + prompt;
    defaults << text;
    text = answer;
    return !answer.isEmpty();
  }
  int askResolution(QWidget*, const QString&, bool, QString&, QString&, QString&) override {
    return 2;
  }
  QString exportPicture(QWidget*, const QString&) override { return {}; }
};

void Write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QByteArray Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

}  // namespace

class FileCommandsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString left_, right_, outside_;
  test::AnswerScript answers_;
  InputBox input_;
  std::unique_ptr<FrmDurnix> window_;

  void start() {
    Preferences prefs;
    prefs.SourceFolder = PathBytes(left_) + "/";
    prefs.DestinationFolder = PathBytes(right_) + "/";
    QCOMPARE(SaveConfig(prefs, PathBytes(dir_.filePath("durnix.cfg")), LocalFiles()), kDone);
    MainWindowStartup startup;
    startup.programFolder = dir_.path();
    startup.places = {{"Data", PathBytes(dir_.path()), PlaceKind::kFixed}};
    startup.prompter = &answers_;
    startup.viewerDialogs = &input_;
    startup.trash = false;
    window_ = std::make_unique<FrmDurnix>(startup);
    window_->show();
  }
  QTreeView* list(int pane) const { return window_->pane(pane).ListView; }
  void select(int pane, const QStringList& names) {
    window_->pane(pane).CmdRef_Click();
    const FileListModel& model = *window_->pane(pane).model();
    for (int i = 0; i < model.rowCountOf(); ++i) {
      if (names.contains(PathText(model.row(i).name))) {
        list(pane)->selectionModel()->select(
            model.index(i, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        list(pane)->selectionModel()->setCurrentIndex(model.index(i, 0),
                                                      QItemSelectionModel::NoUpdate);
      }
    }
    QCOMPARE(window_->pane(pane).selection().count(), static_cast<int>(names.size()));
  }
  void click(const char* button) {
    window_->findChild<QPushButton*>(button)->click();
    QVERIFY(test::RunEnded(*window_));
  }
  void expectNothingElse() { QVERIFY2(answers_.problems().empty(), answers_.report().c_str()); }

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    left_ = dir_.filePath("left");
    right_ = dir_.filePath("right");
    outside_ = dir_.filePath("outside");
    for (const QString& folder : {left_, right_, outside_, left_ + "/runs"}) {
      QVERIFY(QDir().mkpath(folder));
    }
    Write(left_ + "/a.rbs", "new a");
    Write(left_ + "/b.txt", "new b");
    Write(left_ + "/runs/r1.as1", "run 1");
    Write(right_ + "/a.rbs", "old a");
    Write(outside_ + "/dropped.chn", "dropped");
    answers_ = test::AnswerScript();
    input_ = InputBox();
    start();
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
    expectNothingElse();
    QCOMPARE(Read(right_ + "/a.rbs"), QByteArray("old a"));
    QCOMPARE(Read(right_ + "/b.txt"), QByteArray("new b"));
    QCOMPARE(Read(right_ + "/runs/r1.as1"), QByteArray("run 1"));
    QVERIFY(!window_->MoveMode);

    select(0, {"a.rbs"});
    answers_.expectExtended("File a.rbs is already exist. Overwrite it ?", kSetOverwriteLast,
                            kAnswerOverwrite);
    click("CmdMove");
    expectNothingElse();
    QCOMPARE(Read(right_ + "/a.rbs"), QByteArray("new a"));
    QVERIFY(!QFile::exists(left_ + "/a.rbs"));
    QVERIFY(!window_->MoveMode);

    select(1, {"b.txt"});
    answers_.expect(" 1 files will be deleted. Are you sure ?", StandardButtons::kYesNo,
                    kAnswerYes);
    click("CmdDelete");
    expectNothingElse();
    QVERIFY(!QFile::exists(right_ + "/b.txt"));
    QVERIFY(QFile::exists(left_ + "/b.txt"));

    select(1, {});
    answers_.expect(kNothingSelected, kAnswerOk);
    click("CmdDelete");
    expectNothingElse();
  }

  void dropsFromTheDesktopAndFromTheOtherPane() {
    auto drop = [this](int pane, const QString& path, Qt::KeyboardModifiers modifiers) {
      QMimeData data;
      data.setUrls({QUrl::fromLocalFile(path)});
      QWidget* viewport = list(pane)->viewport();
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
    QCOMPARE(Read(right_ + "/dropped.chn"), QByteArray("dropped"));
    QVERIFY(QFile::exists(outside_ + "/dropped.chn"));
    drop(1, right_ + "/dropped.chn", Qt::ShiftModifier);  // its own folder: nothing
    QVERIFY(QFile::exists(right_ + "/dropped.chn"));
    Write(outside_ + "/moved.as2", "moved");
    drop(0, outside_ + "/moved.as2", Qt::ShiftModifier);
    QCOMPARE(Read(left_ + "/moved.as2"), QByteArray("moved"));
    QVERIFY(!QFile::exists(outside_ + "/moved.as2"));
    expectNothingElse();

    // From the other pane: Copy, or Move with Ctrl.
    select(0, {"b.txt"});
    window_->filesDropped(1, {}, Qt::ControlModifier, true);
    QVERIFY(test::RunEnded(*window_));
    QVERIFY(QFile::exists(right_ + "/b.txt") && !QFile::exists(left_ + "/b.txt"));

    // Rows go out as file URLs.
    const FileListModel& model = *window_->pane(1).model();
    QModelIndexList rows;
    for (int i = 0; i < model.rowCountOf(); ++i) {
      if (model.row(i).name == "b.txt") rows << model.index(i, 0);
    }
    std::unique_ptr<QMimeData> out(model.mimeData(rows));
    QCOMPARE(out->urls(), QList<QUrl>{QUrl::fromLocalFile(right_ + "/b.txt")});
  }

  void renameMakeDirPropertiesAndEditText() {
    // In the list: the extension stays unless the edit gives one.
    window_->pane(0).CmdRef_Click();
    const FileListModel& model = *window_->pane(0).model();
    auto edit = [&](const std::string& name, const QString& text) {
      for (int i = 0; i < model.rowCountOf(); ++i) {
        if (model.row(i).name == name) {
          QCOMPARE(model.data(model.index(i, 0), Qt::EditRole).toString(),
                   PathText(model.row(i).text));
          window_->pane(0).model()->setData(model.index(i, 0), text, Qt::EditRole);
          return;
        }
      }
      QFAIL("no such row");
    };
    edit("a.rbs", "run1");
    QVERIFY(QFile::exists(left_ + "/run1.rbs"));
    edit("run1.rbs", "run2.txt");
    QVERIFY(QFile::exists(left_ + "/run2.txt"));

    select(0, {"b.txt"});
    input_.answer = "notes.txt";
    window_->mnuRename_Click();
    QVERIFY(QFile::exists(left_ + "/notes.txt"));
    input_.answer = " new folder ";
    window_->mnuMkDir_Click();
    QVERIFY(QFileInfo(left_ + "/new folder").isDir());
    QCOMPARE(input_.prompts, QStringList({"Rename: Old name : " + left_ + "/b.txt",
                                          "Make directory: Base dir : " + left_ + "/"}));
    QCOMPARE(input_.defaults, QStringList({"b.txt", ""}));

    // A name that is taken: the system's words.
    select(0, {"notes.txt"});
    input_.answer = "runs";
    answers_.expect("File exists", kAnswerOk);
    window_->mnuRename_Click();
    expectNothingElse();

    select(0, {"notes.txt"});
    window_->mnuProperties_Click();
    window_->mnuTextEdit_Click();
    bool properties = false;
    bool editor = false;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      properties |= qobject_cast<FrmProperties*>(w) != nullptr && w->isVisible();
      if (auto* text = qobject_cast<FrmTextEdit*>(w)) {
        editor = true;
        QCOMPARE(text->textBytes(), std::string("new b"));
      }
    }
    QVERIFY(properties && editor);
  }
};

QTEST_MAIN(FileCommandsTest)
#include "file_commands_test.moc"
