// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/forms/conversion_host.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>

#include "convert/forms/frm_rump.h"
#include "formats/catalogue.h"
#include "platform/paths.h"
#include "shell/forms/file_pane.h"
#include "shell/forms/frm_durnix.h"

namespace durnix {

namespace {

constexpr int kRepaintMilliseconds = 100;

}  // namespace

WindowConversionHost::WindowConversionHost(FrmDurnix& window, FilePane& source,
                                           FilePane& destination)
    : window_(window), source_(source), destination_(destination) {
  sinceEvents_.start();
}

WindowConversionHost::~WindowConversionHost() {
  if (busy_) SetBusy(false);
}

void WindowConversionHost::SetSourceStatus(const std::string& text) {
  // Names in the status line are the system's bytes, like every file name the window shows.
  source_.lblFile->setText(PathText(text));
}

void WindowConversionHost::SetDestinationStatus(const std::string& text) {
  destination_.showStatus(text);
}

void WindowConversionHost::SetBusy(bool busy) {
  if (busy && !busy_) QApplication::setOverrideCursor(Qt::WaitCursor);
  if (!busy && busy_) QApplication::restoreOverrideCursor();
  busy_ = busy;
  window_.setCommandsEnabled(!busy);
}

void WindowConversionHost::RefillDestinationList() {
  // Nothing to read again: the written file was added to the list when it was done with, and
  // the tally the run has just shown stays in view.
}

void WindowConversionHost::RefreshBothLists() {
  destination_.CmdRef_Click();
  source_.CmdRef_Click();
}

void WindowConversionHost::LetEventsRun() {
  if (sinceEvents_.elapsed() < kRepaintMilliseconds) return;
  QCoreApplication::processEvents();
  sinceEvents_.restart();
}

void WindowConversionHost::ShowStampData() {
  window_.mnuStamp_Click();
}

void WindowConversionHost::CloseStampEditor() {
  window_.rumpEditor()->close();
}

void WindowConversionHost::EditStampDataModal() {
  FrmRump* editor = window_.rumpEditor();
  if (!editor->editingStamp()) window_.mnuStamp_Click();
  editor->hide();
  editor->setModal(true);
  editor->exec();
  editor->setModal(false);
}

void WindowConversionHost::FileDone(const FileOutcome& outcome) {
  if (outcome.status != kDone || outcome.folder) return;
  destination_.addFile(std::string(OwnName(outcome.destination)), outcome.bytesWritten);
}

}  // namespace durnix
