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

namespace {

const auto Read = test::ReadAll;

}  // namespace

class FrmNetworkTest : public QObject {
  Q_OBJECT

 private:
  QString server_;
  QTemporaryDir dir_;
  test::AnswerScript answers_;
  test::ScriptedDialogs input_;
  LocalFileSystem disk_;
  std::unique_ptr<SmbClient> client_;
  std::unique_ptr<SmbFileSystem> share_;
  std::unique_ptr<MachineFileSystem> files_;
  std::unique_ptr<SmbNetwork> network_;
  std::unique_ptr<FrmDurnix> window_;
  // What frmPass held each time it was shown, as "user/password".
  QStringList passShown_;

  void start(const std::vector<Place>& places) {
    SmbOptions options;
    options.configFile = PathBytes(server_ + "/client.conf");
    options.port = static_cast<std::uint16_t>(Read(server_ + "/port").trimmed().toInt());
    options.timeoutMs = 5000;
    client_ = std::make_unique<SmbClient>(options);
    share_ = std::make_unique<SmbFileSystem>(*client_);
    files_ = std::make_unique<MachineFileSystem>(disk_, *share_);
    network_ = std::make_unique<SmbNetwork>(*client_);
    MainWindowStartup startup;
    startup.files = files_.get();
    startup.viewerDialogs = &input_;
    startup.network = network_.get();
    window_ = test::OpenWindow(dir_.path(), places, answers_, startup);
  }

  FilePane& pane(int p) { return window_->pane(p); }
  QTreeView* list(int p) { return pane(p).ListView; }
  // The rows as "text|size".
  QStringList rows(int p) {
    QStringList out;
    const QAbstractItemModel* model = list(p)->model();
    for (int i = 0; i < model->rowCount(); ++i) {
      out << model->index(i, 0).data().toString() + "|" + model->index(i, 2).data().toString();
    }
    return out;
  }
  // Selects the row whose text is `text` and presses Enter on it.
  void enter(int p, const QString& text) {
    const QAbstractItemModel* model = list(p)->model();
    for (int i = 0; i < model->rowCount(); ++i) {
      if (model->index(i, 0).data().toString() == text) {
        list(p)->selectionModel()->select(
            model->index(i, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QTest::keyClick(list(p), Qt::Key_Return);
        return;
      }
    }
    QFAIL(qPrintable("no row " + text + " in " + rows(p).join(", ")));
  }
  void toNetwork(int p) {
    const int entry = pane(p).DriveList->count() - 1;
    pane(p).DriveList->setCurrentIndex(entry);
    pane(p).DriveList_Click(entry);
  }
  void toPlace(int p, int place) {
    pane(p).DriveList->setCurrentIndex(place);
    QVERIFY(test::Listed(pane(p), [&] { pane(p).DriveList_Click(place); }));
  }
  // frmPass, answered in turn: a user and password and OK, or Cancel for an empty user.
  void typeInPass(QList<QPair<QString, QString>> steps) {
    auto* poll = new QTimer(window_.get());
    connect(poll, &QTimer::timeout, this, [this, poll, steps]() mutable {
      auto* pass = window_->findChild<FrmPass*>("frmPass");
      if (pass == nullptr || !pass->isVisible()) return;
      if (steps.isEmpty()) {
        poll->deleteLater();
        return;
      }
      const auto step = steps.takeFirst();
      passShown_ << pass->txtUser->text() + "/" + pass->txtPass->text();
      if (step.first.isEmpty()) {
        pass->cmdCancel->click();
      } else {
        pass->txtUser->setText(step.first);
        pass->txtPass->setText(step.second);
        QTest::keyClick(pass->txtPass, Qt::Key_Return);
      }
      if (steps.isEmpty()) poll->deleteLater();
    });
    poll->start(10);
  }

 private slots:
  void init() {
    server_ = qEnvironmentVariable("DURNIX_TEST_SMB");
    if (server_.isEmpty()) QSKIP("no test server (DURNIX_TEST_SMB)");
    QVERIFY2(QFile::exists(server_ + "/port"), "the test server did not start");
    QVERIFY(dir_.isValid());
  }

  void cleanup() {
    window_.reset();
    network_.reset();
    files_.reset();
    share_.reset();
    client_.reset();
    answers_ = test::AnswerScript();
    passShown_.clear();
  }

  void everyLevelOfTheNetworkAndThePassword() {
    const QString here = server_ + "/guest/frm_network";
    QDir(here).removeRecursively();
    QVERIFY(QDir().mkpath(here));
    test::WriteSpectrum(here + "/au.rbs", FMT_RBS, 512);
    start({{"Lab", PathBytes(dir_.path()) + "/", PlaceKind::kHome}});

    // Connect Network Drive adds the share to both drive lists, before the network entry.
    input_.input = "\\\\127.0.0.1\\guest";
    window_->mnuConnect_Click();
    DURNIX_VERIFY_ANSWERS(answers_);
    for (int p = 0; p < 2; ++p) {
      QCOMPARE(pane(p).DriveList->count(), 3);
      QCOMPARE(pane(p).DriveList->itemText(1), QString("smb://127.0.0.1/guest"));
      QCOMPARE(pane(p).DriveList->itemText(2), QString("-\\-"));
    }

    // The work group: its computers.
    toNetwork(0);
    QCOMPARE(pane(0).lblPath->toolTip(), QString("//DURNIXLAB/"));
    QCOMPARE(rows(0), (QStringList{" ..|<Group>", " 127.0.0.1|<Computer>"}));
    // Nothing is copied, deleted or made at this level.
    list(0)->selectionModel()->select(
        list(0)->model()->index(1, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    window_->mnuDelete_Click();
    window_->mnuMkDir_Click();
    DURNIX_VERIFY_ANSWERS(answers_);

    // A computer: its shares; a share: its files.
    enter(0, " 127.0.0.1");
    QCOMPARE(pane(0).lblPath->toolTip(), QString("//127.0.0.1/"));
    QCOMPARE(rows(0), (QStringList{" ..|<Computer>", " guest|DIR", " priv|DIR"}));
    enter(0, " guest");
    enter(0, " frm_network");
    QCOMPARE(pane(0).lblPath->toolTip(), QString("//127.0.0.1/guest/frm_network/"));
    QCOMPARE(rows(0).filter("au|").size(), 1);
    pane(0).cmdUp->click();
    pane(0).cmdUp->click();

    // A share for one user asks in frmPass: Cancel goes back to the work group's computers, the
    // right password opens the share.
    typeInPass({{"", ""}});
    enter(0, " priv");
    QCOMPARE(pane(0).lblPath->toolTip(), QString("//DURNIXLAB/"));
    const QString user = qEnvironmentVariable("USER", "root");
    enter(0, " 127.0.0.1");
    typeInPass({{user, "durnix-secret"}});
    enter(0, " priv");
    DURNIX_VERIFY_ANSWERS(answers_);
    QCOMPARE(passShown_, (QStringList{"/", "/"}));
    QCOMPARE(pane(0).lblPath->toolTip(), QString("//127.0.0.1/priv/"));
    auto* pass = window_->findChild<FrmPass*>("frmPass");
    QVERIFY(pass->txtPass->text().isEmpty());  // the password went with the attempt
    QCOMPARE(pass->txtUser->text(), user);
    QCOMPARE(pass->txtPass->echoMode(), QLineEdit::Password);
    // Once connected, the share opens without asking.
    pane(0).cmdUp->click();
    enter(0, " priv");
    QCOMPARE(pane(0).lblPath->toolTip(), QString("//127.0.0.1/priv/"));

    pane(0).cmdUp->click();
    pane(0).cmdUp->click();

    // Disconnect Network Drive: one question per connected share.
    answers_.expect("smb://127.0.0.1/guest Disconnect it ?", StandardButtons::kYesNoCancel,
                    kAnswerYes);
    window_->mnuDisconnect_Click();
    DURNIX_VERIFY_ANSWERS(answers_);
    QCOMPARE(pane(1).DriveList->count(), 2);
    QCOMPARE(pane(0).lblPath->toolTip(), QString("//DURNIXLAB/"));
    QDir(here).removeRecursively();
  }

  // A share connected is a place of the panes: a spectrum there opens in the viewer and in
  // Properties, and Delete there asks before the entry goes for good, with no trash to take it.
  void aConnectedShareIsAPlaceOfTheWindow() {
    const QString share = server_ + "/guest/frm_share";
    QDir(share).removeRecursively();
    QVERIFY(QDir().mkpath(share));
    test::WriteSpectrum(share + "/au.rbs", FMT_RBS, 1024, 3);
    start({{"Lab", PathBytes(dir_.path()) + "/", PlaceKind::kHome}});
    input_.input = "smb://127.0.0.1/guest/frm_share";
    window_->mnuConnect_Click();
    toPlace(0, 1);
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
    QDir(share).removeRecursively();
  }

  // No master browser among the test's servers, and no computer opened yet: each level says
  // that it found nothing, and still leads on.
  void browsingThatFindsNothingSaysSo() {
    start({{"Lab", PathBytes(dir_.path()) + "/", PlaceKind::kHome}});
    answers_.expect("No computer is found in the work group", StandardButtons::kOk, kAnswerOk);
    toNetwork(0);
    DURNIX_VERIFY_ANSWERS(answers_);
    QCOMPARE(pane(0).lblPath->toolTip(), QString("//DURNIXLAB/"));
    QCOMPARE(rows(0), QStringList{" ..|<Group>"});
    answers_.expect("No work group is found on the network", StandardButtons::kOk, kAnswerOk);
    pane(0).cmdRoot->click();
    DURNIX_VERIFY_ANSWERS(answers_);
    QCOMPARE(rows(0), QStringList{" DURNIXLAB|<GROUP>"});
    pane(0).cmdUp->click();
    QCOMPARE(pane(0).lblPath->toolTip(), QString("//Whole network/"));
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
    start({{"Lab", PathBytes(dir_.path()) + "/", PlaceKind::kHome}});
    SmbOptions options = client_->options();
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
