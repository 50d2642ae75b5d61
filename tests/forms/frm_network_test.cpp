// SPDX-License-Identifier: GPL-3.0-or-later
// The panes on the network entry, against the Samba server of the tests (scripts/smb_server.sh,
// found in DURNIX_TEST_SMB): every level, frmPass, a connected share as a place, and the wait
// for a computer that does not answer.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

#include "convert/forms/frm_rump.h"
#include "formats/local_file_system.h"
#include "forms_support.h"
#include "platform/network_wait.h"
#include "platform/smb_file_system.h"
#include "platform/smb_network.h"
#include "shell/file_operations.h"
#include "shell/forms/frm_pass.h"
#include "shell/forms/frm_properties.h"
#include "viewer/forms/viewer_windows.h"

using namespace durnix;

class FrmNetworkTest : public QObject {
  Q_OBJECT

 private:
  // The program's way to the test server.
  struct Smb {
    Smb(const SmbOptions& options, FileSystem& disk) : client(options), files(disk, share) {}
    SmbClient client;
    SmbFileSystem share{client};
    MachineFileSystem files;
    SmbNetwork network{client};
  };

  QString server_;
  QTemporaryDir dir_;
  test::AnswerScript answers_;
  test::ScriptedDialogs input_;
  LocalFileSystem disk_;
  std::unique_ptr<Smb> smb_;
  std::unique_ptr<FrmDurnix> window_;

  void start() {
    SmbOptions options;
    options.configFile = PathBytes(server_ + "/client.conf");
    options.port = static_cast<std::uint16_t>(test::ReadAll(server_ + "/port").trimmed().toInt());
    options.timeoutMs = 5000;
    smb_ = std::make_unique<Smb>(options, disk_);
    MainWindowStartup startup;
    startup.files = &smb_->files;
    startup.viewerDialogs = &input_;
    startup.network = &smb_->network;
    window_ = test::OpenWindow(
        dir_.path(), {{"Lab", PathBytes(dir_.path()) + "/", PlaceKind::kHome}}, answers_, startup);
  }

  FilePane& pane(int p) { return window_->pane(p); }
  QTreeView* list(int p) { return pane(p).ListView; }
  QString path(int p) { return pane(p).lblPath->toolTip(); }
  // The rows as "text|size".
  QStringList rows(int p) {
    QStringList out;
    const QAbstractItemModel* model = list(p)->model();
    for (int i = 0; i < model->rowCount(); ++i) {
      out << model->index(i, 0).data().toString() + "|" + model->index(i, 2).data().toString();
    }
    return out;
  }
  // Selects the row of `name` and presses Enter on it.
  void enter(int p, const QString& name) {
    QVERIFY2(test::Select(*window_, p, {name}) == 1, qPrintable(name + " in " + rows(p).join(",")));
    QTest::keyClick(list(p), Qt::Key_Return);
  }
  void toPlace(int p, int place) {
    pane(p).DriveList->setCurrentIndex(place);
    pane(p).DriveList_Click(place);
  }

 private slots:
  void init() {
    server_ = qEnvironmentVariable("DURNIX_TEST_SMB");
    if (server_.isEmpty()) QSKIP("no test server (DURNIX_TEST_SMB)");
    QVERIFY2(QFile::exists(server_ + "/port"), "the test server did not start");
    QVERIFY(dir_.isValid());
    answers_ = test::AnswerScript();
  }

  void cleanup() {
    window_.reset();
    smb_.reset();
  }

  // Every level, first with no computer opened yet (and no master browser among the test's
  // servers): each level says that it found nothing, and still leads on. Then frmPass and
  // Disconnect Network Drive.
  void everyLevelOfTheNetworkAndThePassword() {
    const QString here = server_ + "/guest/frm_network";
    QDir(here).removeRecursively();
    QVERIFY(QDir().mkpath(here));
    test::WriteSpectrum(here + "/au.rbs", FMT_RBS, 512);
    start();
    const int network = pane(0).DriveList->count() - 1;
    answers_.expect("No computer is found in the work group", StandardButtons::kOk, kAnswerOk);
    toPlace(0, network);
    DURNIX_VERIFY_ANSWERS(answers_);
    QCOMPARE(path(0), QString("//DURNIXLAB/"));
    QCOMPARE(rows(0), QStringList{" ..|<Group>"});
    answers_.expect("No work group is found on the network", StandardButtons::kOk, kAnswerOk);
    pane(0).cmdRoot->click();
    DURNIX_VERIFY_ANSWERS(answers_);
    QCOMPARE(rows(0), QStringList{" DURNIXLAB|<GROUP>"});
    pane(0).cmdUp->click();
    QCOMPARE(path(0), QString("//Whole network/"));

    // Connect Network Drive adds the share to both drive lists, before the network entry.
    input_.input = "\\\\127.0.0.1\\guest";
    window_->mnuConnect_Click();
    DURNIX_VERIFY_ANSWERS(answers_);
    for (int p = 0; p < 2; ++p) {
      QCOMPARE(pane(p).DriveList->count(), 3);
      QCOMPARE(pane(p).DriveList->itemText(1), QString("smb://127.0.0.1/guest"));
      QCOMPARE(pane(p).DriveList->itemText(2), QString("-\\-"));
    }

    // The work group: the computer opened. Nothing is copied, deleted or made at this level.
    toPlace(0, network + 1);
    QCOMPARE(path(0), QString("//DURNIXLAB/"));
    QCOMPARE(rows(0), (QStringList{" ..|<Group>", " 127.0.0.1|<Computer>"}));
    QCOMPARE(test::Select(*window_, 0, {"127.0.0.1"}), 1);
    window_->mnuDelete_Click();
    window_->mnuMkDir_Click();
    DURNIX_VERIFY_ANSWERS(answers_);

    // A computer: its shares; a share: its files.
    enter(0, "127.0.0.1");
    QCOMPARE(path(0), QString("//127.0.0.1/"));
    QCOMPARE(rows(0), (QStringList{" ..|<Computer>", " guest|DIR", " priv|DIR"}));
    enter(0, "guest");
    enter(0, "frm_network");
    QCOMPARE(path(0), QString("//127.0.0.1/guest/frm_network/"));
    QCOMPARE(rows(0).filter("au|").size(), 1);
    pane(0).cmdUp->click();
    pane(0).cmdUp->click();

    // A share for one user asks in frmPass (answered in turn: an empty user is Cancel; what it
    // held when shown is noted): Cancel goes back to the work group's computers, the right
    // password opens the share.
    const QString user = qEnvironmentVariable("USER", "root");
    QList<QPair<QString, QString>> typed = {{"", ""}, {user, "durnix-secret"}};
    QStringList shown;
    test::ShownWatcher watcher("frmPass", [&](QWidget* w) {
      auto* pass = static_cast<FrmPass*>(w);
      shown << pass->txtUser->text() + "/" + pass->txtPass->text();
      const auto step = typed.isEmpty() ? QPair<QString, QString>() : typed.takeFirst();
      QMetaObject::invokeMethod(
          pass,
          [pass, step] {
            if (step.first.isEmpty()) return pass->cmdCancel->click();
            pass->txtUser->setText(step.first);
            pass->txtPass->setText(step.second);
            QTest::keyClick(pass->txtPass, Qt::Key_Return);
          },
          Qt::QueuedConnection);
    });
    enter(0, "priv");
    QCOMPARE(path(0), QString("//DURNIXLAB/"));
    enter(0, "127.0.0.1");
    enter(0, "priv");
    DURNIX_VERIFY_ANSWERS(answers_);
    QCOMPARE(shown, (QStringList{"/", "/"}));
    QCOMPARE(path(0), QString("//127.0.0.1/priv/"));
    auto* pass = window_->findChild<FrmPass*>("frmPass");
    QVERIFY(pass->txtPass->text().isEmpty());  // the password went with the attempt
    QCOMPARE(pass->txtUser->text(), user);
    QCOMPARE(pass->txtPass->echoMode(), QLineEdit::Password);
    // Once connected, the share opens without asking.
    pane(0).cmdUp->click();
    enter(0, "priv");
    QCOMPARE(path(0), QString("//127.0.0.1/priv/"));
    QCOMPARE(shown.size(), 2);

    // Disconnect Network Drive: one question per connected share.
    pane(0).cmdUp->click();
    pane(0).cmdUp->click();
    answers_.expect("smb://127.0.0.1/guest Disconnect it ?", StandardButtons::kYesNoCancel,
                    kAnswerYes);
    window_->mnuDisconnect_Click();
    DURNIX_VERIFY_ANSWERS(answers_);
    QCOMPARE(pane(1).DriveList->count(), 2);
    QCOMPARE(path(0), QString("//DURNIXLAB/"));
  }

  // A share connected is a place of the panes: a spectrum there opens in the viewer and in
  // Properties, and Delete there asks before the entry goes for good, with no trash to take it.
  void aConnectedShareIsAPlaceOfTheWindow() {
    const QString share = server_ + "/guest/frm_share";
    QDir(share).removeRecursively();
    QVERIFY(QDir().mkpath(share));
    test::WriteSpectrum(share + "/au.rbs", FMT_RBS, 1024, 3);
    start();
    input_.input = "smb://127.0.0.1/guest/frm_share";
    window_->mnuConnect_Click();
    QVERIFY(test::Listed(pane(0), [&] { toPlace(0, 1); }));
    QCOMPARE(pane(0).folder(), std::string("//127.0.0.1/guest/frm_share/"));

    window_->viewSpectrum(0, {"au.rbs"}, {32});
    QVERIFY(window_->viewers().viewer(1) != nullptr);
    QCOMPARE(window_->viewers().viewer(1)->ChNum(), 1024);
    window_->viewers().viewer(1)->close();
    auto* properties =
        FrmProperties::Open(window_.get(), window_->files(), pane(0).folder() + "au.rbs");
    QCOMPARE(properties->findChild<QLabel*>("lblKind")->text(), QString("RUMP (RBS)"));
    properties->close();

    QCOMPARE(test::Select(*window_, 0, {"au.rbs"}), 1);
    answers_.expect(" 1 files will be deleted. Are you sure ?", StandardButtons::kYesNo, kAnswerYes)
        .expect(pane(0).folder() + "au.rbs" + kNoTrash, StandardButtons::kYesNo, kAnswerYes);
    window_->mnuDelete_Click();
    DURNIX_VERIFY_ANSWERS(answers_);
    QVERIFY(!QFile::exists(share + "/au.rbs"));
  }

  // A computer that takes the connection and never answers: the wait window comes up, and
  // Escape (or Cancel) leaves at once, with nothing to tell.
  void aComputerThatDoesNotAnswerCanBeLeft() {
    const int silent = ::socket(AF_INET, SOCK_STREAM, 0);
    QVERIFY(silent >= 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    QVERIFY(::bind(silent, reinterpret_cast<sockaddr*>(&address), length) == 0);
    QVERIFY(::listen(silent, 8) == 0);
    QVERIFY(::getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length) == 0);
    start();
    SmbOptions options = smb_->client.options();
    options.port = ntohs(address.sin_port);
    options.timeoutMs = 3000;
    SmbClient slow(options);
    QtNetworkWait wait(window_.get());
    slow.setWait(&wait);
    SmbNetwork network(slow);
    // The wait window, as it is shown: no look at the clock.
    bool sawWait = false;
    test::ShownWatcher watcher("NetworkWait", [&](QWidget* w) {
      auto* dialog = qobject_cast<QProgressDialog*>(w);
      sawWait = dialog != nullptr && dialog->labelText() == "Waiting for the network...";
      QMetaObject::invokeMethod(
          w, [w] { QTest::keyClick(w, Qt::Key_Escape); }, Qt::QueuedConnection);
    });
    test::AnswerScript none;
    FrmPass pass(window_.get());
    QCOMPARE(ConnectWithCredentials("//127.0.0.1/guest", network, none, pass), Connection::kFailed);
    QVERIFY(sawWait);
    DURNIX_VERIFY_ANSWERS(none);
    ::close(silent);
  }
};

QTEST_MAIN(FrmNetworkTest)
#include "frm_network_test.moc"
