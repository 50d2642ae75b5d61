// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer windows driven as a user drives them: opened from a selection with their header
// windows, zoomed and scaled by keys, a region by mouse and by the fields, a second spectrum
// added, subtracted and compared, every shrink, Save through its dialog, the picture exported;
// names that are not ASCII as the file system gives them.

#include "viewer/forms/frm_view.h"

#include <climits>

#include "convert/forms/frm_rump.h"
#include "formats/text_rules.h"
#include "forms_support.h"
#include "platform/qt_prompter.h"
#include "platform/twips.h"
#include "support/memory_file_system.h"
#include "viewer/arithmetic.h"
#include "viewer/forms/frm_resol.h"
#include "viewer/forms/plot_widget.h"
#include "viewer/forms/viewer_windows.h"
#include "viewer/region.h"
#include "viewer/save.h"
#include "viewer/viewer_document.h"

using namespace durnix;

namespace {

void WriteCounts(const QString& path, FormatCode format, const std::vector<std::int32_t>& counts,
                 const std::string& id = "run 7") {
  SpectrumRecord record;
  record.Counts = counts;
  record.ChannelCount = static_cast<std::int16_t>(counts.size());
  record.SpecId = id;
  record.FileName = PathBytes(path);
  QCOMPARE(WriteFormat(Format(format), record, LocalFiles()), kDone);
}

}  // namespace

class FrmViewTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::string folder_;
  test::AnswerScript answers_;
  test::ScriptedDialogs dialogs_;
  std::unique_ptr<ViewerWindows> viewers_;
  Preferences prefs_;

  FrmView* open(const std::vector<std::string>& names, int number = 1) {
    std::vector<int> attributes(names.size(), 32);
    viewers_->ViewSpectrum(folder_, names, attributes, prefs_, "AUTO detection");
    if (viewers_->viewer(number) == nullptr) qFatal("not opened: %s", answers_.report().c_str());
    return viewers_->viewer(number);
  }
  static QLineEdit* field(FrmView* view, const char* name) {
    return view->findChild<QLineEdit*>(name);
  }
  static QString label(FrmView* view, const QString& name) {
    return view->findChild<QLabel*>(name)->text();
  }
  static QAction* action(FrmView* view, const QString& name) {
    return view->findChild<QAction*>(name);
  }
  // Types `text` into a field and presses Enter, as a user does.
  static void enter(FrmView* view, const char* name, const QString& text) {
    QLineEdit* edit = field(view, name);
    edit->setFocus();
    edit->setText(text);
    QTest::keyClick(edit, Qt::Key_Return);
  }
  // The picture's pixel over channel c.
  static QPoint pixelOf(FrmView* view, int c) {
    const PlotPoint p = ChannelToPoint(view->shown(), view->area(), c, 0);
    return QPoint(static_cast<int>(std::lround(p.x * LogicalDpi() / 1440.0)), 20);
  }
  // Runs a shrink command and waits until the window has taken over the worker's result.
  static void shrink(FrmView* view, void (FrmView::*command)()) {
    QSignalSpy finished(view, &FrmView::shrinkFinished);
    (view->*command)();
    QVERIFY(finished.count() == 1 || finished.wait(60000));
  }
  static int channelUnder(FrmView* view, QPoint pixel) {
    return PointToChannel(view->shown(), view->area(),
                          static_cast<float>(pixel.x() * 1440.0 / LogicalDpi()));
  }

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    folder_ = PathBytes(dir_.path()) + "/";
    answers_ = test::AnswerScript();
    dialogs_ = test::ScriptedDialogs();
    prefs_ = Preferences();
    viewers_ = std::make_unique<ViewerWindows>(LocalFiles(), answers_, dialogs_);
  }
  void cleanup() {
    viewers_.reset();
    QCOMPARE(answers_.report(), std::string());
  }

  void opensNumberedWindowsShiftedWithHeaderWindows() {
    test::WriteSpectrum(dir_.filePath("über é.rbs"), FMT_RBS, 512);
    test::WriteSpectrum(dir_.filePath("gaas.AS2"), FMT_AS2, 1024);
    test::WriteSpectrum(dir_.filePath("si.SEN"), FMT_SEN, 1024, 2);
    QVERIFY(test::WriteAll(dir_.filePath("note.txt"), "no spectrum\n\x01\x02"));
    answers_.expect(UpperAscii(folder_ + "note.txt") + " has unknown format !!",
                    StandardButtons::kOkCancel, kAnswerOk);
    FrmView* first = open({PathBytes("über é.rbs"), "note.txt", "gaas.AS2", "si.SEN"});
    FrmView* third = viewers_->viewer(3);
    QVERIFY(viewers_->viewer(2) && third);
    QCOMPARE(first->windowTitle(), QString(" 1   View Spectrum : über é.rbs"));
    QCOMPARE(viewers_->rumpView(1)->windowTitle(), QString(" 1   View RUMP Data : über é.rbs"));
    // k counts the files of the selection: gaas.AS2 is the third, si.SEN the fourth.
    QCOMPARE(third->pos() - first->pos(), QPoint(Twips(1200), Twips(900)));
    QVERIFY(viewers_->RumpViewOpen(1) && !viewers_->RumpViewOpen(2) && viewers_->RumpViewOpen(3));

    // A viewer closes its header window; a header window closed first leaves its viewer.
    QPointer<FrmRump> header = viewers_->rumpView(1);
    first->close();
    QTRY_VERIFY(header.isNull());
    QVERIFY(!viewers_->RumpViewOpen(1));
    QTest::keyClick(viewers_->rumpView(3), Qt::Key_Escape);
    QVERIFY(!viewers_->RumpViewOpen(3) && third->isVisible());

    // 21 viewers in a row: the numbers go round, the 21st is number 1 again.
    for (int i = 0; i < 18; ++i) open({"gaas.AS2"}, 4 + i > 20 ? 1 : 4 + i);
    QVERIFY(viewers_->viewer(1)->windowTitle().startsWith(" 1 "));
  }

  // With real message boxes: those of View Spectrum belong to the main window, the viewer's own
  // to the viewer (which gets the focus back when they close); the last viewer opened ends on
  // top and active.
  void viewersStayOnTopOfTheirMessages() {
    test::WriteSpectrum(dir_.filePath("au.rbs"), FMT_RBS, 512);
    test::WriteSpectrum(dir_.filePath("ta.as1"), FMT_AS1, 300);
    QVERIFY(test::WriteAll(dir_.filePath("note.txt"), "no spectrum\n\x01\x02"));
    QWidget main;
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QtPrompter boxes(&main);
    ViewerWindows viewers(LocalFiles(), boxes, dialogs_);
    QList<QWidget*> owners;  // the parent of each box, which is answered No, or else OK
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&owners] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || !box->isVisible()) return;
      owners << box->parentWidget();
      QAbstractButton* no = box->button(QMessageBox::No);
      (no != nullptr ? no : box->button(QMessageBox::Ok))->click();
    });
    answer.start(20);
    viewers.ViewSpectrum(folder_, {"au.rbs", "ta.as1", "note.txt"}, {32, 32, 32}, prefs_,
                         "AUTO detection");
    FrmView* last = viewers.viewer(2);
    QVERIFY(last != nullptr);
    QCOMPARE(owners, QList<QWidget*>{&main});
    QTRY_COMPARE(QApplication::activeWindow(), last);

    dialogs_.savePath = dir_.filePath("out.dat");
    dialogs_.saveLine = FMT_AS1;  // onto a file that is there: Overwrite? No
    test::WriteSpectrum(dir_.filePath("out.AS1"), FMT_AS1, 300);
    last->mnuSave_Click();
    QCOMPARE(owners, (QList<QWidget*>{&main, last}));
  }

  void zoomScaleAndKeys() {
    std::vector<std::int32_t> counts(1024, 10);
    counts[500] = 1234;
    WriteCounts(dir_.filePath("peak.AS2"), FMT_AS2, counts);
    prefs_.LowerLimitIndex = 12;  // "1000"
    prefs_.RangeIndex = 7;        // "100"
    FrmView* view = open({"peak.AS2"});
    QWidget* plot = view->picture();
    QTest::keyClick(plot, Qt::Key_Up);  // Auto, largest 1234: "1000"
    QVERIFY(action(view, "mnuVer16")->isChecked() && !action(view, "mnuVer1")->isChecked());
    QTest::keyClick(plot, Qt::Key_Down);  // fixed 1000: "2000"
    QCOMPARE(label(view, "lblY5"), QString("2000"));
    // Not zoomed, Right is the Zoom command: the title and both Zoom check marks say so, and
    // Esc unzooms.
    QTest::keyClick(plot, Qt::Key_Right);
    QCOMPARE(view->windowTitle(), QString(" 1   View Spectrum : peak.AS2 - zoomed"));
    QCOMPARE(view->shown().FirstCh, 1000);  // the lower limit of the settings
    QVERIFY(action(view, "mnuZoom")->isChecked() && action(view, "PopUpZoom")->isChecked());
    QTest::keyClick(plot, Qt::Key_Escape);
    QCOMPARE(view->windowTitle(), QString(" 1   View Spectrum : peak.AS2"));
    QVERIFY(!action(view, "mnuZoom")->isChecked() && !action(view, "PopUpZoom")->isChecked());

    // A channel typed: the readout of the last one there is.
    enter(view, "txtChannel", "5000");
    QCOMPARE(field(view, "txtChannel")->text(), QString("1023"));
    QCOMPARE(label(view, "lblHeight"), QString("10"));
  }

  void regionByMouseAndByFields() {
    WriteCounts(dir_.filePath("fläche.AS1"), FMT_AS1, std::vector<std::int32_t>(256, 100));
    FrmView* view = open({PathBytes("fläche.AS1")});
    view->resize(Twips(12000), Twips(8000));
    QApplication::processEvents();
    QWidget* plot = view->picture();
    const QPoint from = pixelOf(view, 10);
    const QPoint to = pixelOf(view, 20);
    QTest::mousePress(plot, Qt::LeftButton, {}, from);
    QTest::mouseMove(plot, pixelOf(view, 30));
    QTest::mouseRelease(plot, Qt::LeftButton, {}, to);
    const int a = channelUnder(view, from);
    const int b = channelUnder(view, to);
    QCOMPARE(QPoint(view->region().RoiFrom(), view->region().RoiTo()), QPoint(a, b));
    QCOMPARE(label(view, "lblGross1"), QString::number(100 * (b - a + 1)));
    action(view, "mnuCopy")->trigger();
    QCOMPARE(QApplication::clipboard()->text(),
             QString("fläche.AS1\t%1\t%2\t%3\t0").arg(a).arg(b).arg(100 * (b - a + 1)));

    // Right click clears it; the fields From 50 and To 20 make 20..50.
    QTest::mouseClick(plot, Qt::RightButton, {}, to);
    QVERIFY(!view->region().RoiSet());
    QCOMPARE(label(view, "lblGross1"), QString("0"));
    enter(view, "txtFrom", "50");
    enter(view, "txtTo", "20");
    QCOMPARE(field(view, "txtFrom")->text() + "-" + field(view, "txtTo")->text(), QString("20-50"));
    QCOMPARE(label(view, "lblGross1"), QString("3100"));

    // Double click zooms onto it, with both "User define" entries checked.
    QTest::mouseDClick(plot, Qt::LeftButton, {}, to);
    QVERIFY(view->settings().zoomed && !view->region().RoiSet());
    QCOMPARE(QPoint(view->shown().FirstCh, view->shown().LastCh), QPoint(20, 50));
    QVERIFY(action(view, "mnuL19")->isChecked() && action(view, "mnuRan19")->isChecked());
  }

  // Add, Subtract and Compare each ask for their file; the titles follow the document's.
  void addSubtractAndCompare() {
    test::WriteSpectrum(dir_.filePath("mäin.AS2"), FMT_AS2, 1024);  // counts 0, 1, 2, ...
    test::WriteSpectrum(dir_.filePath("hälf.chn"), FMT_CHN, 512, 2);
    FrmView* view = open({PathBytes("mäin.AS2")});
    dialogs_.open = dir_.filePath("hälf.chn");
    view->mnuAdd_Click();
    QCOMPARE(view->ViewCounts()[100], 300);
    enter(view, "txtMultipl", "0.5");
    view->mnuSubtract_Click();
    QCOMPARE(view->ViewCounts()[100], 200);
    view->mnuCompare_Click();
    QVERIFY(view->CompareOn());
    QCOMPARE(view->SecondCounts()[100], 100);
    QCOMPARE(view->windowTitle(), QString(" 1   View Spectrum : mäin.AS2 & hälf.chn"));
    QCOMPARE(dialogs_.titles,
             QStringList({"Load add file", "Load Subtract file", "Load compared file"}));

    // A sum beyond 32 bits is said of the viewer's own spectrum, which stays as it was.
    WriteCounts(dir_.filePath("huge.AS2"), FMT_AS2, std::vector<std::int32_t>(256, INT_MAX));
    enter(view, "txtMultipl", "1");
    dialogs_.open = dir_.filePath("huge.AS2");
    answers_.expect(ChannelOverflowMessage(folder_ + PathBytes("mäin.AS2")), kAnswerOk);
    const std::vector<std::int32_t> unsummed = view->ViewCounts();
    view->mnuAdd_Click();
    QCOMPARE(view->ViewCounts(), unsummed);
  }

  // The shrinks are refused while zoomed and run on a worker: the commands that would change the
  // spectrum are disabled meanwhile, the window still answers, and closing it stops the worker.
  void shrinksOnAWorkerAndTheirRefusals() {
    std::vector<std::int32_t> counts(8192);
    for (std::size_t i = 0; i < counts.size(); ++i) counts[i] = 100000 + static_cast<int>(i % 97);
    WriteCounts(dir_.filePath("wide.AS2"), FMT_AS2, counts);
    FrmView* view = open({"wide.AS2"});
    view->mnuZoom_Click();
    answers_.expect("You have to unzoom first", kAnswerOk);
    view->mnuShAdd_Click();
    view->mnuZoom_Click();
    QCOMPARE(view->ChNum(), 8192);

    // The readout follows the shrink at once: the channel now under the pointer, its new count.
    const QPoint pointer = pixelOf(view, 6000);
    QMouseEvent move(QEvent::MouseMove, QPointF(pointer),
                     QPointF(view->picture()->mapToGlobal(pointer)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view->picture(), &move);
    shrink(view, &FrmView::mnuShAdd_Click);
    QCOMPARE(view->ChNum(), 4096);
    const int under = channelUnder(view, pointer);
    QCOMPARE(field(view, "txtChannel")->text(), QString::number(under));
    QCOMPARE(label(view, "lblHeight"),
             QString::number(view->ViewCounts()[static_cast<std::size_t>(under)]));
    QCOMPARE(view->windowTitle(), QString(" 1   View Spectrum : wide.AS2 - shrinked"));

    // Each resolution shrink asks its own way; Cancel leaves the spectrum as it was.
    view->mnuShConst_Click();
    QCOMPARE(view->ChNum(), 4096);
    ViewerDocument expected = view->document();
    Resolution sigma;
    sigma.a = 40;
    QCOMPARE(expected.Shrink(&sigma), ShrinkResult::kShrunk);
    QSignalSpy finished(view, &FrmView::shrinkFinished);
    dialogs_.input = "40";
    view->mnuShConst_Click();
    QVERIFY(view->document().Busy());
    QVERIFY(view->findChild<QProgressBar*>("PGBar1")->isVisibleTo(view));
    for (const char* name : {"mnuAdd", "mnuSubtract", "mnuCompare", "mnuSave"}) {
      QVERIFY2(!action(view, name)->isEnabled(), name);
    }
    QVERIFY(!view->findChild<QMenu*>("mnuShrink")->isEnabled());
    QVERIFY(!view->findChild<QMenu*>("mnuScale")->isEnabled());
    view->mnuShAdd_Click();  // refused while busy, without a word
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
    QCOMPARE(view->ViewCounts(), expected.ViewCounts());
    QVERIFY(action(view, "mnuSave")->isEnabled() && action(view, "mnuAdd")->isEnabled());
    QVERIFY(!view->findChild<QProgressBar*>("PGBar1")->isVisibleTo(view));
    dialogs_.resolution = {"0.01", "1"};
    shrink(view, &FrmView::mnuShLin_Click);
    QCOMPARE(view->ChNum(), 1024);
    dialogs_.resolution = {"0", "-1", "0"};  // sigma below 0 everywhere
    answers_.expect("There are some invalid data", kAnswerOk);
    shrink(view, &FrmView::mnuShSQR_Click);
    QCOMPARE(view->ChNum(), 1024);
    QCOMPARE(dialogs_.titles,
             QStringList({"Detector Resolution in channel", "Detector Resolution in channel",
                          "A*ch + B", "SQR(A * ch ^ 2 + B * ch + C)"}));

    // Closing during a shrink stops the worker; the window goes without taking a result.
    view->mnuShConst_Click();
    QPointer<FrmView> closing(view);
    QVERIFY(view->close());
    QTRY_VERIFY(closing.isNull());
    QCOMPARE(finished.count(), 3);
  }

  void savesWhatTheDialogChose() {
    WriteCounts(dir_.filePath("src.AS2"), FMT_AS2, std::vector<std::int32_t>(1024, 5), "");
    FrmView* view = open({"src.AS2"});
    QVERIFY(!action(view, "mnuSave")->isEnabled());
    enter(view, "txtOffset", "");
    QCOMPARE(field(view, "txtOffset")->text(), QString("0"));
    view->mnuSave_Click();  // cancelled: nothing
    QVERIFY(action(view, "mnuSave")->isEnabled());
    QCOMPARE(dialogs_.saveFilters.size(), 18);
    QCOMPARE(dialogs_.saveFilters.last(), QString("CSV with energies (CSV) (*.CSV *.csv)"));

    // Written under the writer's name in the format of the dialog's line; Save is spent.
    const FormatInfo& rbs = Format(FMT_RBS);
    dialogs_.savePath = dir_.filePath("out1.dat");
    dialogs_.saveLine = FMT_RBS;
    view->mnuSave_Click();
    QVERIFY(!action(view, "mnuSave")->isEnabled());
    QVERIFY(QFile::exists(PathText(SavedPath(PathBytes(dialogs_.savePath), rbs))));
    QCOMPARE(dialogs_.proposed, Latin1Text(std::string(OwnName(SavedPath("src.AS2", rbs)))));
    // Asked for the name that is written; No keeps the file.
    enter(view, "txtOffset", "0");
    answers_.expect(UpperAscii(folder_ + "out1.RBS") + " is already exist. Overwrite it ?",
                    kAnswerNo);
    view->mnuSave_Click();
    QVERIFY(action(view, "mnuSave")->isEnabled());

    // The source file gone: said, Save stays.
    QVERIFY(QFile::remove(dir_.filePath("src.AS2")));
    answers_.expect(kRereadFailed, kAnswerOk);
    view->mnuSave_Click();
    QVERIFY(action(view, "mnuSave")->isEnabled());
  }

  void resolutionDialogEnterMovesOnAndEscapeCancels() {
    FrmResol dialog;
    QString a, b, c;
    auto typed = [&dialog](const QString& text, int key) {
      QApplication::setActiveWindow(&dialog);
      QWidget* field = QApplication::focusWidget();
      QVERIFY(field != nullptr);
      if (!text.isEmpty()) QTest::keyClicks(field, text);
      QTest::keyClick(field, static_cast<Qt::Key>(key));
    };
    QTimer::singleShot(0, &dialog, [&] {
      typed("0.5", Qt::Key_Return);  // to B
      typed("2", Qt::Key_Return);    // to C
      typed("-1", Qt::Key_Return);   // OK
    });
    QCOMPARE(dialog.ask(nullptr, "SQR(A * ch ^ 2 + B * ch + C)", true, a, b, c), 1);
    QCOMPARE(a + "|" + b + "|" + c, QString("0.5|2|-1"));
    QCOMPARE(dialog.findChild<QLabel*>("lblEq")->text(), QString("SQR(A * ch ^ 2 + B * ch + C)"));
    QTimer::singleShot(0, &dialog, [&] {
      typed({}, Qt::Key_Return);  // to B
      typed({}, Qt::Key_Return);  // no C: OK
    });
    QCOMPARE(dialog.ask(nullptr, "A*ch + B", false, a, b, c), 1);
    QVERIFY(!dialog.findChild<QLineEdit*>("txtZeroDim")->isVisible());
    QTimer::singleShot(0, &dialog, [&] { typed({}, Qt::Key_Escape); });
    QCOMPARE(dialog.ask(nullptr, "A*ch + B", false, a, b, c), 2);
  }

  // A viewer of a file on a share writes its picture there as PNG and SVG, with the region as
  // solid as on the screen.
  void exportsThroughTheViewersFileSystem() {
    test::MemoryFileSystem share;
    share.addFolder("/share");
    ViewerStart start;
    start.FileName = "flat.AS1";
    start.FileType = "ASCII with channel (AS1)";
    start.counts.assign(256, 100);
    start.DefLow = 1;  // "0"
    start.DefRan = 4;  // "40": some pixels to a channel when zoomed
    start.MyCaption = " 1   View Spectrum : flat.AS1";
    start.folder = "/share/";
    auto* view = new FrmView(start, share, answers_, dialogs_);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    view->mnuZoom_Click();
    enter(view, "txtFrom", "10");
    enter(view, "txtTo", "20");

    QVERIFY(view->writePicture("/share/p.png"));
    const Bytes bytes = share.bytesOf("/share/p.png");
    const QImage png = QImage::fromData(QByteArray(bytes.data(), static_cast<int>(bytes.size())));
    QCOMPARE(png.size(), view->renderPicture().size());
    // Every pixel column from the line of channel 10 to that of channel 20 is the dot colour at
    // the foot of the region, as on the screen.
    const QRect picture = view->picture()->geometry();
    const QImage& screen = view->picture()->image();
    const int foot = picture.height() - 3;
    for (int x = pixelOf(view, 10).x(); x <= pixelOf(view, 20).x(); ++x) {
      QCOMPARE(screen.pixelColor(x, foot), QColor(Qt::black));
      QCOMPARE(png.pixelColor(picture.left() + x, Twips(450) + foot), QColor(Qt::black));
    }

    view->mnuZoom_Click();  // the whole spectrum, up to its last channel on the axis
    QVERIFY(view->writePicture("/share/p.svg"));
    const Bytes svg = share.bytesOf("/share/p.svg");
    QVERIFY(svg.find("<svg") != std::string::npos && svg.find(">255<") != std::string::npos);
    QVERIFY(!view->writePicture("/nowhere/p.png"));
    delete view;
  }
};

QTEST_MAIN(FrmViewTest)
#include "frm_view_test.moc"
