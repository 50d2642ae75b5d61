// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the program's windows as a user sees them and saves each as a PNG, for a look at them:
//
//   xvfb-run -s "-screen 0 1280x900x24" durnix-screenshots OUTDIR SAMPLES_DIR [SMB_SERVER_DIR]
//
// With the folder of a test server (scripts/smb_server.sh) it also draws a pane at each level of
// the network and frmPass. scripts/screenshots.sh runs it. The pictures are not kept in the
// repository.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <cstdio>

#include "convert/forms/frm_axis_conv.h"
#include "convert/forms/frm_rump.h"
#include "convert/forms/frm_setup.h"
#include "convert/preferences.h"
#include "convert/stamp.h"
#include "platform/help_viewer.h"
#include "platform/smb_file_system.h"
#include "platform/smb_network.h"
#include "shell/forms/file_commands.h"
#include "shell/forms/file_pane.h"
#include "shell/forms/frm_durnix.h"
#include "shell/forms/frm_my_msg_box.h"
#include "shell/forms/frm_pass.h"
#include "shell/forms/frm_properties.h"
#include "shell/forms/frm_text_edit.h"
#include "viewer/forms/frm_view.h"
#include "viewer/forms/viewer_windows.h"

namespace {

void settle() {
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
}

bool save(QWidget* window, const QString& file) {
  settle();
  const QPixmap picture = window->grab();
  const bool ok = picture.save(file);
  std::printf("%s %s (%dx%d)\n", ok ? "saved" : "FAILED", qPrintable(file), picture.width(),
              picture.height());
  return ok;
}

// A main window on the network of the test server in `server`: a pane at each level, frmPass.
bool networkShots(const QString& server, const QString& samples, const QString& out) {
  QDir shared(server + "/guest/spectra");
  shared.mkpath(".");
  for (const QString& name : QDir(samples).entryList(QDir::Files)) {
    QFile::copy(QDir(samples).filePath(name), shared.filePath(name));
  }
  QFile port(server + "/port");
  if (!port.open(QIODevice::ReadOnly)) return false;
  durnix::SmbOptions options;
  options.configFile = (server + "/client.conf").toStdString();
  options.port = static_cast<std::uint16_t>(port.readAll().trimmed().toInt());
  durnix::SmbClient client(options);
  durnix::SmbFileSystem share(client);
  durnix::MachineFileSystem files(durnix::LocalFiles(), share);
  durnix::SmbNetwork network(client);
  network.addComputer("127.0.0.1");
  QTemporaryDir program;
  durnix::MainWindowStartup startup;
  startup.programFolder = program.path();
  startup.files = &files;
  startup.network = &network;
  durnix::FrmDurnix window(startup);
  window.show();
  durnix::FilePane& pane = window.pane(0);
  const auto enter = [&](const QString& text) {
    QAbstractItemModel* model = pane.ListView->model();
    for (int i = 0; i < model->rowCount(); ++i) {
      if (model->index(i, 0).data().toString() == text) {
        pane.ListView->selectionModel()->select(
            model->index(i, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(pane.ListView, &key);
        return;
      }
    }
  };
  const int entry = pane.DriveList->count() - 1;
  pane.DriveList->setCurrentIndex(entry);
  pane.DriveList_Click(entry);
  bool ok = save(&window, out + "/network_work_group.png");
  enter(" 127.0.0.1");
  ok &= save(&window, out + "/network_computer.png");
  enter(" guest");
  enter(" spectra");
  ok &= save(&window, out + "/network_share.png");
  // The test servers have no master browser: the whole network tells that it found no work
  // group, in a box that is pictured and closed once it shows.
  QTimer::singleShot(300, [&] {
    if (QWidget* box = QApplication::activeModalWidget()) {
      ok &= save(box, out + "/network_no_work_group.png");
      box->close();
    }
  });
  pane.cmdRoot->click();
  ok &= save(&window, out + "/network_whole.png");
  auto* pass = window.findChild<durnix::FrmPass*>("frmPass");
  pass->txtUser->setText("ann");
  pass->txtPass->setText("secret");
  pass->show();
  ok &= save(pass, out + "/frm_pass.png");
  pass->hide();
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: durnix-screenshots OUTDIR SAMPLES_DIR [SMB_SERVER_DIR]\n");
    return 2;
  }
  const QString out = argv[1];
  QDir().mkpath(out);
  QTemporaryDir program;
  const QString source = program.filePath("spectra");
  const QString destination = program.filePath("converted");
  QDir().mkpath(source);
  QDir().mkpath(destination);
  for (const QString& name : QDir(argv[2]).entryList(QDir::Files)) {
    QFile::copy(QDir(argv[2]).filePath(name), QDir(source).filePath(name));
  }
  QDir().mkpath(source + "/older runs");
  durnix::Preferences prefs;
  prefs.SourceFolder = source.toStdString() + "/";
  prefs.DestinationFolder = destination.toStdString() + "/";
  prefs.DestinationFormat = "RUMP (RBS)";
  prefs.StampMode = true;
  durnix::SaveConfig(prefs, program.filePath("durnix.cfg").toStdString(), durnix::LocalFiles());
  QDir(program.path()).mkpath("Durnix.hlp");
  const QString helpPages = QCoreApplication::applicationDirPath() + "/../src/Durnix.hlp";
  for (const QString& page : QDir(helpPages).entryList(QDir::Files)) {
    QFile::copy(QDir(helpPages).filePath(page), program.filePath("Durnix.hlp/" + page));
  }

  QFile::copy(QCoreApplication::applicationDirPath() + "/../src/Durnix.mdb",
              program.filePath("Durnix.mdb"));

  durnix::MainWindowStartup startup;
  startup.programFolder = program.path();
  durnix::FrmDurnix window(startup);
  window.show();
  settle();
  auto* list = window.findChild<QTreeView*>("ListView0");
  for (int i = 0; i < list->model()->rowCount(); ++i) {
    const QString ext = list->model()->index(i, 1).data().toString();
    if (ext == "RBS" || ext == "SEN") {
      list->selectionModel()->select(list->model()->index(i, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  }
  bool ok = save(&window, out + "/main_window.png");
  window.resize(window.width() * 3 / 2, window.height() * 3 / 2);
  ok &= save(&window, out + "/main_window_large.png");

  for (int set : {2, 4}) {
    durnix::FrmMyMsgBox box(&window, set);
    box.setWindowTitle("Durnix");
    box.setPrompt(set == 2
                      ? "File " + destination + "/au_on_si.RBS is already exist. Overwrite it ?"
                      : "Delete the file sio2_on_si.SEN ?");
    box.show();
    ok &= save(&box, out + QString("/message_box_set%1.png").arg(set));
  }

  durnix::FrmRump* editor = window.rumpEditor();
  durnix::SpectrumRecord record;
  durnix::HeaderKind kind;
  const std::string rbs = (source + "/au_on_si.RBS").toStdString();
  if (durnix::ReadHeaderFile(rbs, record, kind, durnix::LocalFiles()) == durnix::kDone) {
    editor->editFile(rbs, kind, record);
    editor->show();
    ok &= save(editor, out + "/header_editor_rbs.png");
    editor->close();
  }
  const std::string sen = (source + "/sio2_on_si.SEN").toStdString();
  if (durnix::ReadHeaderFile(sen, record, kind, durnix::LocalFiles()) == durnix::kDone) {
    editor->editFile(sen, kind, record);
    editor->show();
    ok &= save(editor, out + "/header_editor_sen.png");
    editor->close();
  }
  window.mnuStamp_Click();
  ok &= save(editor, out + "/stamp_editor.png");
  editor->close();

  durnix::FrmAxisConv* axis = window.axisDialog();
  axis->prepare(true, -0.4192f, 251.9f, 0.745f);
  axis->show();
  ok &= save(axis, out + "/axis_time_to_energy.png");
  axis->hide();
  window.mnuPathForm_Click();
  ok &= save(window.setupDialog(), out + "/format_and_axis.png");
  window.setupDialog()->close();

  window.mnuPTable_Click();
  if (durnix::FrmPTable* table = window.periodicTable()) {
    table->showElement(26);
    ok &= save(table, out + "/periodic_table.png");
    table->cellDoubleClicked(26);
    ok &= save(table->elementWindow(), out + "/element_iron_general.png");
    auto* tabs = table->elementWindow()->findChild<QTabWidget*>("tabElem");
    for (int tab : {1, 2, 4, 5}) {
      tabs->setCurrentIndex(tab);
      ok &= save(table->elementWindow(), out + QString("/element_iron_tab%1.png").arg(tab));
    }
    table->cmdXrayClick();
    ok &= save(table->xrayTable(), out + "/xray_table.png");
    table->close();
  } else {
    ok = false;
  }

  // The file operations: a question with "All" answers, the properties of a spectrum, the text
  // editor and the progress of a folder copy.
  {
    durnix::FrmMyMsgBox box(&window, durnix::kSetDeleteMany);
    box.setWindowTitle("Durnix");
    box.setPrompt("older runs is a directory and maybe not empty.\r\nContinue ?");
    box.show();
    ok &= save(&box, out + "/question_delete_folder.png");
  }
  auto* properties = durnix::FrmProperties::Open(&window, durnix::LocalFiles(), rbs);
  ok &= save(properties, out + "/properties.png");
  properties->close();
  auto* text = durnix::FrmTextEdit::Open(&window, durnix::LocalFiles(),
                                         (source + "/ta_on_c.AS1").toStdString());
  if (text != nullptr) {
    ok &= save(text, out + "/text_editor.png");
    text->close();
  }
  {
    durnix::WindowOperationHost host(window, durnix::LocalFiles(), false);
    durnix::CopyProgress progress{812, 1500, 212860928, 393216000,
                                  (source + "/big run/f812.dat").toStdString()};
    host.Progress(progress);
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == "CopyProgress") {
        w->show();
        ok &= save(w, out + "/folder_copy_progress.png");
      }
    }
  }

  // A viewer with a spectrum, a region and the log scale.
  window.viewSpectrum(0, {"au_on_si.RBS"}, {32});
  if (durnix::FrmView* view = window.viewers().viewer(1)) {
    view->findChild<QLineEdit*>("txtFrom")->setText("200");
    view->mnuVer_Click(34);
    ok &= save(view, out + "/viewer_log.png");
    view->close();
  }

  durnix::HelpViewer::ShowTopic(1000);
  if (QWidget* help = durnix::HelpViewer::Window()) ok &= save(help, out + "/help_contents.png");
  if (argc == 4) ok &= networkShots(argv[3], argv[2], out);
  return ok ? 0 : 1;
}
