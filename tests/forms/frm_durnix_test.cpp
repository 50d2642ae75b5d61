// SPDX-License-Identifier: GPL-3.0-or-later
// The main window driven as a user drives it: start-up, conversions with their questions, the
// panes' masks, sorting, selection and navigation, the header editor and the axis dialog.

#include "convert/forms/frm_axis_conv.h"
#include "convert/forms/frm_rump.h"
#include "formats/rbs.h"
#include "forms_support.h"
#include "platform/smb_file_system.h"
#include "shell/forms/file_list_model.h"
#include "shell/forms/frm_pass.h"
#include "shell/network.h"
#include "support/memory_file_system.h"
#include "viewer/forms/frm_view.h"
#include "viewer/forms/viewer_windows.h"

using namespace durnix;

// A machine whose network client is missing or cannot read its configuration.
class NoNetwork : public NetworkResources {
 public:
  int code = kNetNoWorkGroup;
  int ReadWorkGroup(std::string&) override { return code; }
  int List(int, const std::string&, std::vector<std::string>&) override { return kNetBadNetPath; }
  int Connect(const std::string&, const std::string&, const std::string&) override {
    return kNetBadNetPath;
  }
  int Disconnect(const std::string&) override { return kNetDone; }
  int CodeOfFileError(int) override { return kNetUnexpected; }
  std::string MessageOf(int) override { return {}; }
};

class FrmDurnixTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString home_, data_, source_, destination_;
  test::AnswerScript answers_;
  std::unique_ptr<FrmDurnix> window_;

  std::vector<Place> places() const {
    return {{"Home", home_.toStdString(), PlaceKind::kHome},
            {"/", "/", PlaceKind::kRoot},
            {"Data", data_.toStdString(), PlaceKind::kFixed}};
  }

  void start(NetworkResources* network = nullptr) {
    MainWindowStartup startup;
    startup.network = network;
    window_ = test::OpenWindow(dir_.path(), places(), answers_, startup);
  }

  QTreeView* list(int pane) const { return window_->pane(pane).ListView; }
  QStringList names(int pane) const { return test::Rows(*window_, pane); }
  void select(int pane, const QStringList& files) { test::Select(*window_, pane, files); }
  // The window on durnix.cfg's settings: source and destination folders, RUMP (RBS) written,
  // stamp mode with its confirmation and 2.5 MeV, graphic range 4.
  void startWithConfig() {
    Preferences prefs;
    prefs.SourceMask = "*.*";
    prefs.DestinationFormat = "RUMP (RBS)";
    prefs.StampMode = true;
    prefs.StampConfirm = true;
    prefs.Stamp.BeamMeV = 2.5f;
    prefs.RangeIndex = 4;
    QVERIFY(test::SaveFolders(dir_.path(), source_, destination_, prefs));
    start();
  }

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    home_ = dir_.filePath("home") + "/";
    data_ = dir_.filePath("data") + "/";
    source_ = data_ + "spectra";
    destination_ = data_ + "converted";
    for (const QString& folder : {home_, source_, destination_, source_ + "/old runs"}) {
      QVERIFY(QDir().mkpath(folder));
    }
    test::WriteSpectrum(source_ + "/au.rbs", FMT_RBS, 512);
    test::WriteSpectrum(source_ + "/si.SEN", FMT_SEN, 1024, 2);
    test::WriteSpectrum(source_ + "/ta.as1", FMT_AS1, 300, 3);
    QVERIFY(test::WriteAll(source_ + "/notes.txt", "a note"));
  }

  void cleanup() {
    window_.reset();
    QFile::remove(dir_.filePath("durnix.cfg"));
    QDir(data_).removeRecursively();
    QDir(home_).removeRecursively();
    answers_ = test::AnswerScript();
  }

  // Without durnix.cfg: the defaults; without the element database the periodic table says so;
  // closing the window closes the others.
  void startsWithTheDefaultsWithoutConfiguration() {
    start();
    QVERIFY(!window_->configLoaded());
    for (int p = 0; p < 2; ++p) QCOMPARE(window_->navigation().folder(p), home_.toStdString());
    QCOMPARE(window_->findChild<QComboBox*>("CombForm0")->currentText(), QString("AUTO detection"));
    QCOMPARE(window_->findChild<QComboBox*>("CombForm1")->currentText(),
             QString("ASCII with channel (AS1)"));
    for (const char* name : {"mnuSMask1", "mnuStampVal1", "mnuConfirmVal2", "mnuRan11"}) {
      QVERIFY2(window_->findChild<QAction*>(name)->isChecked(), name);
    }
    QVERIFY(!window_->findChild<QLabel*>("PicStampOn")->isVisible());
    answers_.expect("The element database " + dir_.filePath("Durnix.mdb").toStdString() +
                        " cannot be opened !!",
                    kAnswerOk);
    window_->findChild<QAction*>("mnuPTable")->trigger();
    QVERIFY(window_->periodicTable() == nullptr);
    DURNIX_VERIFY_ANSWERS(answers_);
    window_->mnuStamp_Click();
    QVERIFY(window_->rumpEditor()->isVisible());
    window_->close();
    QVERIFY(!window_->rumpEditor()->isVisible());
  }

  // Without a work group the network entry says why, and the pane stays where it was; the
  // program goes on.
  void theNetworkEntryWithoutAWorkGroup() {
    NoNetwork network;
    start(&network);
    FilePane& pane = window_->pane(0);
    const QString folder = pane.lblPath->toolTip();
    const QStringList before = names(0);
    const int entry = pane.DriveList->count() - 1;
    answers_.expect("Can't access to registry.", StandardButtons::kOk, kAnswerOk);
    network.code = kNetNoConfiguration;
    pane.DriveList->setCurrentIndex(entry);
    pane.DriveList_Click(entry);
    DURNIX_VERIFY_ANSWERS(answers_);
    QCOMPARE(pane.DriveList->currentIndex(), window_->navigation().place(0));
    QVERIFY(!window_->navigation().onNetwork(0));
    QCOMPARE(pane.lblPath->toolTip(), folder);
    QCOMPARE(names(0), before);
  }

  // frmPass: the user field has the focus, Tab goes on to the password, Enter there is OK,
  // Escape is Cancel; what was typed stays for the next time.
  void thePasswordDialogByTheKeyboard() {
    FrmPass pass(nullptr);
    // The keys run inside the dialog's own loop; whatever happens there, it is left.
    QStringList seen;
    const auto typeThen = [&](std::function<void()> keys) {
      QTimer::singleShot(0, [&pass, &seen, keys] {
        seen << pass.focusWidget()->objectName();
        keys();
        if (pass.isVisible()) pass.cmdCancel->click();
      });
    };
    typeThen([&] {
      QTest::keyClicks(pass.txtUser, "ann");
      QTest::keyClick(pass.txtUser, Qt::Key_Tab);
      seen << pass.focusWidget()->objectName();
      QTest::keyClicks(pass.txtPass, "s3cret");
      QTest::keyClick(pass.txtPass, Qt::Key_Return);
    });
    std::string user, password;
    QVERIFY(pass.Ask(user, password));
    QCOMPARE(user + "/" + password, std::string("ann/s3cret"));
    typeThen([&] {
      seen << pass.txtPass->text();
      QTest::keyClick(pass.txtUser, Qt::Key_Escape);
    });
    QVERIFY(!pass.Ask(user, password));
    QCOMPARE(seen, (QStringList{"txtUser", "txtPass", "txtUser", "s3cret"}));
  }

  // The settings of durnix.cfg; the source pane's masks, sorting, Select All and status line;
  // the places and the root of a pane.
  void startsWithTheSettingsOfDurnixCfg() {
    startWithConfig();
    QVERIFY(window_->configLoaded());
    QCOMPARE(window_->findChild<QComboBox*>("DriveList0")->currentIndex(), 2);
    QCOMPARE(window_->findChild<QComboBox*>("CombForm1")->currentText(), QString("RUMP (RBS)"));
    QVERIFY(window_->findChild<QLabel*>("PicStampOn")->isVisible());
    QVERIFY(window_->findChild<QAction*>("mnuRan4")->isChecked());
    QCOMPARE(names(0),
             QStringList({" ..", " old runs", "au.rbs", "notes.txt", "si.SEN", "ta.as1"}));
    window_->setMask(0, 2);  // RUMP (RBS)
    QCOMPARE(names(0), QStringList({"au.rbs"}));
    QVERIFY(window_->findChild<QAction*>("mnuSMask2")->isChecked());
    window_->setMask(0, 1);
    QVERIFY(!window_->findChild<QAction*>("mnuSMask2")->isChecked());
    // Folders sort ahead of files; a second click on the column reverses the order.
    list(0)->sortByColumn(0, Qt::DescendingOrder);
    QCOMPARE(names(0).first(), QString("ta.as1"));
    list(0)->sortByColumn(0, Qt::AscendingOrder);
    QCOMPARE(names(0).first(), QString(" .."));
    window_->CmdSel_Click(0);
    QCOMPARE(window_->selection(0).count(), 4);  // files only
    for (int i = 0; i < 2; ++i) QVERIFY(!list(0)->selectionModel()->isRowSelected(i, {}));
    QVERIFY(window_->findChild<QLabel*>("lblFile0")->text().startsWith(" 4 ("));
    QCOMPARE(window_->activePane(), 0);

    FilePane& right = window_->pane(1);
    QVERIFY(test::Listed(right, [&] { window_->DriveList_Click(1, 0); }));  // Home
    QCOMPARE(window_->navigation().folder(1), home_.toStdString());
    QVERIFY(test::Listed(right, [&] { window_->DriveList_Click(1, 2); }));
    QVERIFY(test::Listed(right, [&] { window_->cmdRoot_Click(1); }));
    QCOMPARE(window_->navigation().folder(1), data_.toStdString());
    QVERIFY(names(1).contains(" spectra"));
  }

  // A folder of this machine written with a leading "//" stays a folder of this machine: the
  // pane lists it from the local disk, and drags its files as local files.
  void aLocalFolderBeginningWithTwoSlashesStaysLocal() {
    test::MemoryFileSystem local, shares;
    local.addFolder("/tmp/runs/");
    local.addFile("/tmp/runs/au.rbs", Bytes(10, 1));
    MachineFileSystem machine(local, shares);
    Navigation nav({{"/", "/", PlaceKind::kRoot}});
    nav.set(0, "//tmp/runs");
    FilePane pane(0, machine, nav, answers_, nullptr);
    pane.setMask("*.*");
    pane.CmdRef_Click();
    DURNIX_VERIFY_ANSWERS(answers_);
    QCOMPARE(pane.model()->row(1).name, std::string("au.rbs"));
    std::unique_ptr<QMimeData> dragged(pane.model()->mimeData({pane.model()->index(1, 0)}));
    QCOMPARE(dragged->urls(), QList<QUrl>{QUrl::fromLocalFile("/tmp/runs/au.rbs")});
  }

  // The run's questions come to the window's boxes; the stamp of the settings is written, and
  // the destination list shows the new files. Enter that ends a rename only renames; Enter on a
  // selection views it, in viewers that go with the main window.
  void convertsRenamesAndViewsTheSelection() {
    startWithConfig();
    select(0, {"au.rbs", "ta.as1", "si.SEN"});
    answers_.expectExtended(kStampQuestion, kSetYesNoMany, kAnswerYes)
        .expectExtended(kStampQuestion, kSetYesNoMany, kAnswerYesAll)
        .expect(kCompleted, kAnswerOk);
    window_->findChild<QPushButton*>("cmdConv")->click();
    QVERIFY(test::RunEnded(*window_));
    DURNIX_VERIFY_ANSWERS(answers_);
    SpectrumRecord written;
    written.FileName = (destination_ + "/au.RBS").toStdString();
    QCOMPARE(ReadRBS(written, LocalFiles()), kDone);
    QCOMPARE(written.BeamMeV, 2.5f);
    QVERIFY(names(1).contains("au.RBS"));

    select(0, {"au.rbs"});
    list(0)->setFocus();
    QTest::keyClick(list(0), Qt::Key_F2);
    auto* editor = list(0)->findChild<QLineEdit*>();
    QVERIFY(editor != nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "gold");
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(QFile::exists(source_ + "/gold.rbs"));
    QVERIFY(!QFile::exists(source_ + "/au.rbs"));
    QVERIFY(window_->viewers().viewer(1) == nullptr);
    select(0, {"gold.rbs", "ta.as1"});
    QTest::keyClick(list(0), Qt::Key_Return);
    DURNIX_VERIFY_ANSWERS(answers_);
    QPointer<FrmView> first = window_->viewers().viewer(1);
    QVERIFY(first && window_->viewers().viewer(2));
    window_->close();
    QTRY_VERIFY(first.isNull() || !first->isVisible());
  }

  void headerEditorWritesTheFile() {
    startWithConfig();
    select(0, {"au.rbs"});
    window_->findChild<QPushButton*>("cmdData")->click();
    FrmRump* editor = window_->rumpEditor();
    QVERIFY(editor->isVisible());
    editor->field("txtMeV")->setText("3.04");
    editor->geometryList()->setCurrentText("IBM");
    // Edit Stamp Data waits while a file is edited.
    answers_.expect("You are editing a Rump spectrum, now !!", kAnswerOk);
    window_->mnuStamp_Click();
    editor->findChild<QPushButton*>("cmdOK")->click();
    QVERIFY(!editor->isVisible());
    SpectrumRecord back;
    back.FileName = (source_ + "/au.rbs").toStdString();
    QCOMPARE(ReadRBS(back, LocalFiles()), kDone);
    QCOMPARE(back.BeamMeV, 3.04f);
    QCOMPARE(back.Geometry, static_cast<std::int16_t>(1));
    DURNIX_VERIFY_ANSWERS(answers_);
  }

  void axisDialogArmsOneRun() {
    startWithConfig();
    window_->findChild<QComboBox*>("CombForm1")->setCurrentText("ASCII without channel (AS2)");
    window_->setStampMode(false);
    select(0, {"ta.as1"});
    window_->mnuT2E_Click();
    FrmAxisConv* dialog = window_->axisDialog();
    QVERIFY(window_->arming().timeToEnergy);
    const std::pair<const char*, const char*> fields[] = {
        {"txtMass", "1"}, {"txtEffic", "100"},  {"txtMaxEnergy", "30"},
        {"txtLTOF", "1"}, {"txtConv", "0.001"}, {"txtOffset", "100"}};
    for (const auto& [name, text] : fields) dialog->field(name)->setText(text);
    dialog->findChild<QCheckBox*>("chkConvCheck")->setChecked(true);
    answers_.expect(kCompleted, kAnswerOk);
    dialog->findChild<QPushButton*>("cmdGoOn")->click();
    QVERIFY(test::RunEnded(*window_));
    DURNIX_VERIFY_ANSWERS(answers_);
    QVERIFY(!window_->arming().armed());
    // The fields reached the run: all 300 channels near 100 ns, 0.518 MeV, land in channel 5.
    SpectrumRecord back;
    back.FileName = (destination_ + "/ta.AS2").toStdString();
    QCOMPARE(ReadFormat(Format(FMT_AS2), back, LocalFiles()), kDone);
    QCOMPARE(back.count(5), 134550);  // 3 x (0 + 1 + ... + 299)
  }
};

QTEST_MAIN(FrmDurnixTest)
#include "frm_durnix_test.moc"
