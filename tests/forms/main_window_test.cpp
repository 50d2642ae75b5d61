// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a new user meets it: what stands where at every size, names that are not
// ASCII, Escape in its dialogs, and a folder that cannot be read.

#include "convert/forms/frm_axis_conv.h"
#include "convert/forms/frm_rump.h"
#include "convert/forms/frm_setup.h"
#include "formats/text_rules.h"
#include "forms_support.h"
#include "shell/file_list.h"
#include "support/memory_file_system.h"
#include "viewer/forms/frm_resol.h"

using namespace durnix;

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString data_, source_, destination_;
  test::AnswerScript answers_;
  std::unique_ptr<FrmDurnix> window_;

  void start(const QString& sourceFolder, FileSystem* files = nullptr,
             std::vector<Place> places = {}) {
    if (files == nullptr) {
      QVERIFY(test::SaveFolders(dir_.path(), sourceFolder, destination_));
      places = {{"Home", PathBytes(data_) + "/", PlaceKind::kHome}, {"/", "/", PlaceKind::kRoot}};
    }
    MainWindowStartup startup;
    startup.files = files;
    window_ = test::OpenWindow(dir_.path(), places, answers_, startup);
  }

  QStringList names(int pane) const { return test::Rows(*window_, pane); }
  void select(int pane, const QString& name) { QCOMPARE(test::Select(*window_, pane, {name}), 1); }
  static bool wholeText(const QLabel* label) {
    return label->fontMetrics().horizontalAdvance(label->text()) <= label->width();
  }
  QRect inClient(const QWidget* widget) const {
    return QRect(widget->mapTo(window_->centralWidget(), QPoint(0, 0)), widget->size());
  }

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    data_ = dir_.filePath("data");
    source_ = data_ + "/spectra";
    destination_ = data_ + "/converted";
    QVERIFY(QDir().mkpath(source_ + "/sub"));
    QVERIFY(QDir().mkpath(destination_));
    test::WriteSpectrum(source_ + "/au.rbs", FMT_RBS, 512);
    test::WriteSpectrum(source_ + "/ta.as1", FMT_AS1, 300);
  }

  void cleanup() {
    window_.reset();
    QDir(data_).removeRecursively();
    QFile::remove(dir_.filePath("durnix.cfg"));
    answers_ = test::AnswerScript();
  }

  void everythingStandsWhereItCanBeSeenAtEverySize() {
    start(source_);
    QWidget* client = window_->centralWidget();
    for (const QSize size : {window_->size(), QSize(1200, 900), QSize(1700, 1100)}) {
      window_->resize(size);
      QCoreApplication::processEvents();
      int statusBottom = 0;
      for (int p = 0; p < 2; ++p) {
        FilePane& pane = window_->pane(p);
        const QRect status = inClient(pane.lblFile);
        const QRect free = inClient(pane.lblFreeSpace);
        QVERIFY2(!status.intersects(free),
                 qPrintable(QString("pane %1 at %2").arg(p).arg(size.width())));
        QVERIFY(wholeText(pane.lblFile) && wholeText(pane.lblFreeSpace));
        QVERIFY(pane.lblFreeSpace->text().contains(" of "));
        QVERIFY(inClient(pane.ListView).bottom() < std::min(status.top(), free.top()));
        statusBottom = std::max({statusBottom, status.bottom(), free.bottom()});
        // The date is never cut; the place list shows the place's name whole.
        const QFontMetrics m = pane.ListView->fontMetrics();
        const QString date = pane.ListView->model()->index(0, 3).data().toString();
        QVERIFY(pane.ListView->columnWidth(3) >= m.horizontalAdvance(date));
        QVERIFY(pane.DriveList->width() >=
                pane.DriveList->fontMetrics().horizontalAdvance(pane.DriveList->currentText()) +
                    16);
      }
      // The command buttons: their designed height, inside the window, below the status lines.
      for (const char* name : {"cmdConv", "cmdSpect", "cmdText", "cmdData", "CmdCopy", "CmdMove",
                               "CmdMkDir", "CmdDelete", "CmdExit"}) {
        const QRect button = inClient(window_->findChild<QPushButton*>(name));
        QVERIFY2(client->rect().contains(button), name);
        QVERIFY2(button.top() > statusBottom, name);
      }
    }
    // Every row as high as the rows with icons, ".." too.
    const QTreeView* view = window_->pane(0).ListView;
    QCOMPARE(names(0).front(), QString(" .."));
    const int height = view->visualRect(view->model()->index(0, 0)).height();
    QVERIFY(height >= 16);
    for (int i = 1; i < view->model()->rowCount(); ++i) {
      QCOMPARE(view->visualRect(view->model()->index(i, 0)).height(), height);
    }
  }

  // The pane, the header editor and its message name the files as the file system does.
  void namesThatAreNotAscii() {
    const QString folder = source_ + "/jürgen é";
    QVERIFY(QDir().mkpath(folder));
    test::WriteSpectrum(folder + "/über é.rbs", FMT_RBS, 512);
    QVERIFY(test::WriteAll(folder + "/notiz ü.txt", "not a spectrum"));
    start(folder);
    QCOMPARE(window_->pane(0).lblPath->toolTip(), folder + "/");
    select(0, "über é.rbs");
    window_->mnuRumpEdit_Click();
    QCOMPARE(window_->rumpEditor()->windowTitle(), QString("Edit Rump Data : über é.rbs"));
    window_->rumpEditor()->close();
    select(0, "notiz ü.txt");
    answers_.expect(
        UpperAscii(PathBytes(folder + "/notiz ü.txt")) + " is not RUMP or SENRAS file !!",
        kAnswerOk);
    window_->mnuRumpEdit_Click();
    DURNIX_VERIFY_ANSWERS(answers_);
  }

  // The boxes are as wide as their titles need (the text in the title bar's bold font, an icon,
  // three buttons and the room between them, each as wide as the bar is high); the file dialogs
  // show sizes and dates whole.
  void boxesAndFileDialogsShowTheirTextsWhole() {
    QVERIFY(test::WriteAll(source_ + "/big.rbs", QByteArray(1048566, 'x')));  // 1023.99 KiB
    // The file dialogs start with their columns as they come, not as an earlier run left them.
    QFile::remove(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                  "/QtProject.conf");
    test::MemoryFileSystem files;
    files.addFolder("/d/");
    start("", &files, {{"D", "/d/", PlaceKind::kFixed}});
    QStringList cut, seen;
    QTimer look;
    connect(&look, &QTimer::timeout, this, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr || !dialog->isVisible()) return;
      if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
        const QTreeView* list = files->findChild<QTreeView*>("treeView");
        const QModelIndex top = list->rootIndex();
        for (int row = 0; row < list->model()->rowCount(top); ++row) {
          if (list->model()->index(row, 0, top).data().toString() != "big.rbs") continue;
          const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1;
          for (const int column : {1, 3}) {  // Size, Date Modified
            const QString text = list->model()->index(row, column, top).data().toString();
            if (list->fontMetrics().horizontalAdvance(text) >
                list->columnWidth(column) - 2 * margin) {
              cut << text;
            }
            seen << text;
          }
          dialog->reject();
        }
        return;
      }
      QFont bold = dialog->font();
      bold.setBold(true);
      const int bar = dialog->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, dialog);
      if (dialog->width() < QFontMetrics(bold).horizontalAdvance(dialog->windowTitle()) + 5 * bar) {
        cut << dialog->windowTitle();
      }
      seen << dialog->windowTitle();
      dialog->reject();
    });
    look.start(20);
    window_->mnuMkDir_Click();
    QString answer;
    PlatformViewerDialogs().inputText(window_.get(), "Detector Resolution in channel",
                                      "Durnix - Detector Resolution Input", QPoint(), answer);
    QString a, b, c;
    FrmResol::Instance().ask(window_.get(), "FWHM = A * Ch^2 + B * Ch + C", true, a, b, c);
    PlatformViewerDialogs().openSpectrum(window_.get(), "Load add file", source_);
    QCOMPARE(seen.size(), 5);
    QCOMPARE(cut, QStringList());
  }

  void escapeInTheDialogsIsCancel() {
    start(source_);
    select(0, "ta.as1");
    window_->mnuT2E_Click();
    FrmAxisConv* axis = window_->axisDialog();
    QVERIFY(axis->isVisible());
    QVERIFY(!window_->centralWidget()->isEnabled());
    QTest::keyClick(axis, Qt::Key_Escape);
    QVERIFY(!axis->isVisible());
    QVERIFY(window_->centralWidget()->isEnabled());
    QVERIFY(!window_->arming().armed());
    window_->mnuE2T_Click();  // Cancel disarms too
    QVERIFY(window_->arming().energyToTime);
    axis->findChild<QPushButton*>("cmdCancel")->click();
    QVERIFY(!window_->arming().armed());
    QVERIFY(window_->centralWidget()->isEnabled());
    // Without a selection the dialog does not open.
    window_->pane(0).ListView->clearSelection();
    answers_.expect(kNoFilesSelected, kAnswerOk);
    window_->mnuT2E_Click();
    QVERIFY(!window_->arming().armed());
    DURNIX_VERIFY_ANSWERS(answers_);
    window_->mnuPathForm_Click();
    QVERIFY(!window_->centralWidget()->isEnabled());
    QTest::keyClick(window_->setupDialog(), Qt::Key_Escape);
    QVERIFY(!window_->setupDialog()->isVisible());
    QVERIFY(window_->centralWidget()->isEnabled());
  }

  // A folder that cannot be read asks to Retry. Names that a broken or hostile server lists lead
  // out of the folder: they are not shown, and each pane tells of them once for the folder, not
  // at every refresh.
  void foldersThatCannotBeReadOrListNamesThatAreNoEntries() {
    test::MemoryFileSystem files;
    files.addFile("/bad/a.rbs", "x");
    files.addFile("/bad/b.rbs", "y");  // the listing fails after the first name
    files.failListing("/bad/", EIO);
    files.addFile("/data/a.rbs", "x");
    files.plantName("/data", "../x");
    files.plantName("/data", "a/b", EntryKind::kFolder);
    // At start both panes list /bad: Retry once, then Cancel, for each.
    for (int pane = 0; pane < 2; ++pane) {
      answers_.expect("Disk is not ready !!", StandardButtons::kRetryCancel, kAnswerRetry)
          .expect("Disk is not ready !!", StandardButtons::kRetryCancel, kAnswerCancel);
    }
    start("", &files, {{"Bad", "/bad/", PlaceKind::kFixed}});
    DURNIX_VERIFY_ANSWERS(answers_);
    QCOMPARE(answers_.questions().front().reason, std::string("Input/output error"));
    QVERIFY(names(0).isEmpty());
    QVERIFY(window_->isVisible());
    answers_ = test::AnswerScript();
    for (int pane = 0; pane < 2; ++pane) {
      answers_.expect(SkippedNamesText(2, "/data/"), StandardButtons::kOk, kAnswerOk);
    }
    start("", &files, {{"Data", "/data/", PlaceKind::kFixed}});
    for (int pane = 0; pane < 2; ++pane) window_->pane(pane).CmdRef_Click();
    DURNIX_VERIFY_ANSWERS(answers_);
    QCOMPARE(names(0), QStringList{"a.rbs"});
    QCOMPARE(names(1), QStringList{"a.rbs"});
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
