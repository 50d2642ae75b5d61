// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's file operations: Copy, Move, Delete, Rename, Make Dir, Properties, Edit Text
// and files dropped on a pane, over the runs of shell/file_operations.

#include "shell/forms/file_commands.h"

#include <QApplication>
#include <QLabel>
#include <QTreeView>

#include "platform/paths.h"
#include "platform/twips.h"
#include "shell/folder_tree.h"
#include "shell/forms/file_list_model.h"
#include "shell/forms/file_pane.h"
#include "shell/forms/frm_durnix.h"
#include "shell/forms/frm_properties.h"
#include "shell/forms/frm_text_edit.h"
#include "shell/forms/window_run.h"
#include "shell/network.h"
#include "shell/trash.h"
#include "viewer/forms/viewer_dialogs.h"

namespace durnix {

namespace {

QString Megabytes(long long bytes) {
  return QString::number(static_cast<double>(bytes) / 1e6, 'f', 1) + " MB";
}

}  // namespace

QString ProgressText(const CopyProgress& progress) {
  return QString("%1 of %2 files, %3 of %4")
      .arg(progress.filesDone)
      .arg(progress.filesTotal)
      .arg(Megabytes(progress.bytesDone), Megabytes(progress.bytesTotal));
}

WindowOperationHost::~WindowOperationHost() {
  while (busy_ > 0) SetBusy(false);
}

void WindowOperationHost::Refresh(int pane) {
  window_.pane(pane).CmdRef_Click();
}

bool WindowOperationHost::AboveComputerLevel(int pane) {
  return window_.navigation().aboveShares(pane);
}

bool WindowOperationHost::UsesTrash() {
  return trash_;
}

Status WindowOperationHost::MoveToTrash(const std::string& path, int& error) {
  // A shared folder of the network has no trash of the desktop.
  if (IsNetworkPath(path)) {
    error = 0;
    return kCannotCreate;
  }
  return Trash::ForUser().Put(path, error);
}

void WindowOperationHost::SetBusy(bool busy) {
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++busy_;
  } else if (busy_ > 0) {
    QApplication::restoreOverrideCursor();
    --busy_;
  }
}

void RunOperationHost::Refresh(int pane) {
  run_.onWindow([&] { host_.Refresh(pane); });
}

bool RunOperationHost::AboveComputerLevel(int pane) {
  bool above = false;
  run_.onWindow([&] { above = host_.AboveComputerLevel(pane); });
  return above;
}

bool RunOperationHost::UsesTrash() {
  return host_.UsesTrash();
}

Status RunOperationHost::MoveToTrash(const std::string& path, int& error) {
  Status status = kDone;
  run_.onWindow([&] { status = host_.MoveToTrash(path, error); });
  return status;
}

bool RunOperationHost::Progress(const CopyProgress& progress) {
  run_.showProgress(progress.filesDone, progress.filesTotal,
                    PathText(progress.current) + "\n" + ProgressText(progress));
  return !run_.stopRequested();
}

bool RunOperationHost::Stopped() {
  return run_.stopRequested();
}

void RunOperationHost::SetBusy(bool busy) {
  run_.later([this, busy] { host_.SetBusy(busy); });
}

// ---- The commands ------------------------------------------------------------------------------

FileOperations& FrmDurnix::operations() {
  if (!operations_) {
    operationHost_ = std::make_unique<WindowOperationHost>(*this, files(), startup_.trash);
    operations_ = std::make_unique<FileOperations>(files(), prompter(), *operationHost_);
  }
  return *operations_;
}

OperationPanes FrmDurnix::operationPanes(int active) const {
  OperationPanes panes;
  panes.active = active;
  panes.folders = {pane(0).folder(), pane(1).folder()};
  panes.selection = pane(active).selection();
  const FileListModel& other = *pane(1 - active).model();
  for (int i = 0; i < other.rowCountOf(); ++i) panes.otherNames.push_back(other.row(i).name);
  return panes;
}

void FrmDurnix::mnuCopy_Click() {
  runCopy(activePane_, MoveMode = false);
}

void FrmDurnix::mnuMove_Click() {
  MoveMode = true;
  runCopy(activePane_, MoveMode);
}

void FrmDurnix::runCopy(int active, bool move) {
  operations();
  const bool started = startRun("CopyProgress", move ? "A move is running." : "A copy is running.",
                                [this, panes = operationPanes(active), move](WindowRun& run) {
                                  RunOperationHost host(*operationHost_, run);
                                  FileOperations(files(), run.prompter(), host).Copy(panes, move);
                                  run.onWindow([] {});  // what the host sent has run
                                });
  if (!started) MoveMode = false;
}

void FrmDurnix::mnuDelete_Click() {
  operations().Delete(operationPanes(activePane_));
}

bool FrmDurnix::askInput(const InputBoxRequest& request, QString& answer) {
  QPoint topLeft = frameGeometry().center();
  if (request.besideCentre) {
    topLeft -= QPoint(Twips(3200), Twips(1000));
  } else {
    topLeft -= QPoint(Twips(2400), Twips(900));
  }
  answer = PathText(request.defaultText);
  ViewerDialogs& dialogs =
      startup_.viewerDialogs != nullptr ? *startup_.viewerDialogs : PlatformViewerDialogs();
  return dialogs.inputText(this, PathText(request.prompt), PathText(request.title), topLeft,
                           answer);
}

void FrmDurnix::mnuRename_Click() {
  FilePane& p = pane(activePane_);
  const QModelIndex focused = p.ListView->currentIndex();
  const std::string name = focused.isValid() ? p.model()->row(focused.row()).name : "";
  const auto request =
      operations().RenamePrompt(activePane_, p.folder(), name, p.selection().count());
  QString answer;
  if (!request || !askInput(*request, answer)) return;
  operations().Rename(activePane_, p.folder(), request->oldName, PathBytes(answer));
}

void FrmDurnix::renameInList(int p, const std::string& name, const QString& text) {
  const FileListModel& model = *pane(p).model();
  for (int i = 0; i < model.rowCountOf(); ++i) {
    if (model.row(i).name == name) {
      const FileRow row = model.row(i);  // the list is made anew by the rename
      operations().RenameInList(p, pane(p).folder(), row, PathBytes(text));
      return;
    }
  }
}

void FrmDurnix::mnuMkDir_Click() {
  const auto request = operations().MakeDirPrompt(activePane_, pane(activePane_).folder());
  QString answer;
  if (!request || !askInput(*request, answer)) return;
  operations().MakeDir(activePane_, pane(activePane_).folder(), PathBytes(answer));
}

void FrmDurnix::mnuProperties_Click() {
  const Selection& selection = pane(activePane_).selection();
  if (selection.count() == 0) {
    prompter().Ask(kNothingSelected, StandardButtons::kOk);
    pane(activePane_).CmdRef_Click();
    return;
  }
  if (selection.count() == 1 && selection.names.front() == "..") return;
  FrmProperties::Open(this, files(), pane(activePane_).folder() + selection.names.front());
}

void FrmDurnix::mnuTextEdit_Click() {
  const Selection& selection = pane(activePane_).selection();
  std::string path;
  if (selection.count() > 0 && selection.names.front() != "..") {
    path = pane(activePane_).folder() + selection.names.front();
  }
  FrmTextEdit::Open(this, files(), path);
}

// A drag from the other pane is Copy (Move with Shift, Ctrl or Alt) of that pane's selection;
// files from outside are copied (moved with Shift alone) into the pane dropped on.
void FrmDurnix::filesDropped(int target, const QStringList& paths, Qt::KeyboardModifiers modifiers,
                             bool fromOtherPane) {
  const Qt::KeyboardModifiers held =
      modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  if (fromOtherPane) {
    setActivePane(1 - target);
    MoveMode = held != 0;
    runCopy(1 - target, MoveMode);
    return;
  }
  DropRequest drop;
  drop.pane = target;
  drop.folder = pane(target).folder();
  const FileListModel& model = *pane(target).model();
  for (int i = 0; i < model.rowCountOf(); ++i) drop.listNames.push_back(model.row(i).name);
  for (const QString& path : paths) drop.items.push_back(PathBytes(path));
  drop.move = held == Qt::ShiftModifier;
  operations();
  startRun("CopyProgress", drop.move ? "A move is running." : "A copy is running.",
           [this, drop = std::move(drop)](WindowRun& run) {
             RunOperationHost host(*operationHost_, run);
             FileOperations(files(), run.prompter(), host).Drop(drop);
             run.onWindow([] {});  // what the host sent has run
           });
}

}  // namespace durnix
