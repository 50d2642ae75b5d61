// SPDX-License-Identifier: GPL-3.0-or-later
// Files named on the desktop program's command line: the source pane on their folder with them
// selected, each in a viewer; a name that is no file is told and the others still open.

#include "convert/forms/frm_rump.h"
#include "forms_support.h"
#include "viewer/forms/frm_view.h"
#include "viewer/forms/viewer_windows.h"

using namespace durnix;

class OpenFilesTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString home_, spectra_, other_;
  test::AnswerScript answers_;
  std::unique_ptr<FrmDurnix> window_;

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    home_ = dir_.filePath("home") + "/";
    spectra_ = dir_.filePath("spectra") + "/";
    other_ = dir_.filePath("other") + "/";
    for (const QString& folder : {home_, spectra_, other_}) QVERIFY(QDir().mkpath(folder));
    test::WriteSpectrum(spectra_ + "au.rbs", FMT_RBS, 512);
    test::WriteSpectrum(spectra_ + "ta.as1", FMT_AS1, 300, 3);
    test::WriteSpectrum(spectra_ + "si.SEN", FMT_SEN, 1024, 2);
    test::WriteSpectrum(other_ + "c.as1", FMT_AS1, 400, 2);
  }

  void cleanup() {
    window_.reset();
    for (const QString& folder : {home_, spectra_, other_}) QDir(folder).removeRecursively();
    answers_ = test::AnswerScript();
  }

  void filesNamedAreSelectedAndViewed() {
    window_ = test::OpenWindow(
        dir_.path(),
        {{"Home", home_.toStdString(), PlaceKind::kHome}, {"/", "/", PlaceKind::kRoot}}, answers_);
    QCOMPARE(window_->navigation().folder(0), home_.toStdString());
    window_->openFiles({spectra_ + "ta.as1", spectra_ + "au.rbs"});
    QVERIFY2(answers_.problems().empty(), answers_.report().c_str());
    QCOMPARE(window_->navigation().folder(0), spectra_.toStdString());
    QCOMPARE(window_->activePane(), 0);
    // Selected in the list's order; si.SEN, not named, is not.
    QCOMPARE(window_->selection(0).names, std::vector<std::string>({"au.rbs", "ta.as1"}));
    // Viewed in the order named.
    QVERIFY(window_->viewers().viewer(1) && window_->viewers().viewer(2));
    QVERIFY(!window_->viewers().viewer(3));
    QCOMPARE(window_->viewers().viewer(1)->ChNum(), 300);
    QCOMPARE(window_->viewers().viewer(2)->ChNum(), 512);

    // A missing file is told and the rest opens; the mask that hides a named file is cleared.
    window_->setMask(0, 2);  // RUMP (RBS): the list hides c.as1
    const QString missing = spectra_ + "gone.chn";
    answers_.expect(missing.toStdString() + " is not found !!", StandardButtons::kOk, kAnswerOk);
    // Relative names are taken from the current folder.
    QVERIFY(QDir::setCurrent(other_));
    window_->openFiles({missing, "c.as1", spectra_ + "ta.as1"});
    QVERIFY2(answers_.problems().empty(), answers_.report().c_str());
    QCOMPARE(window_->navigation().folder(0), other_.toStdString());
    QCOMPARE(window_->pane(0).mask(), std::string("*.*"));
    QCOMPARE(window_->selection(0).names, std::vector<std::string>({"c.as1"}));
    // The file of another folder opens too, without moving the pane.
    QVERIFY(window_->viewers().viewer(3) && window_->viewers().viewer(4));
    QCOMPARE(window_->viewers().viewer(3)->ChNum(), 400);
    QCOMPARE(window_->viewers().viewer(4)->ChNum(), 300);
    QVERIFY(QDir::setCurrent(dir_.path()));
  }
};

QTEST_MAIN(OpenFilesTest)
#include "open_files_test.moc"
