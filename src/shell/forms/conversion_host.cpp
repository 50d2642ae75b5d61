// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/forms/conversion_host.h"

#include <QApplication>
#include <QLabel>

#include "convert/forms/frm_rump.h"
#include "formats/catalogue.h"
#include "platform/paths.h"
#include "shell/forms/file_pane.h"
#include "shell/forms/frm_durnix.h"
#include "shell/forms/window_run.h"

namespace durnix {

WindowConversionHost::WindowConversionHost(FrmDurnix& window, FilePane& source,
                                           FilePane& destination, WindowRun& run)
    : window_(window), source_(source), destination_(destination), run_(run) {}

WindowConversionHost::~WindowConversionHost() = default;

void WindowConversionHost::SetSourceStatus(const std::string& text) {
  // Names in the status line are the system's bytes, like every file name the window shows.
  run_.later([this, text = PathText(text)] { source_.lblFile->setText(text); });
}

void WindowConversionHost::SetDestinationStatus(const std::string& text) {
  run_.later([this, text] { destination_.showStatus(text); });
}

void WindowConversionHost::SetBusy(bool busy) {
  // The window's commands stay disabled until the run has ended, whatever the run shows.
  run_.later([this, busy] {
    if (busy && !busy_) QApplication::setOverrideCursor(Qt::BusyCursor);
    if (!busy && busy_) QApplication::restoreOverrideCursor();
    busy_ = busy;
  });
}

void WindowConversionHost::RefillDestinationList() {
  // Nothing to read again: the written file was added to the list when it was done with, and
  // the tally the run has just shown stays in view.
}

void WindowConversionHost::RefreshBothLists() {
  run_.onWindow([this] {
    destination_.CmdRef_Click();
    source_.CmdRef_Click();
  });
}

void WindowConversionHost::EntryBegins(int index, int count, const std::string& name) {
  run_.showProgress(index, count,
                    PathText(name) + QString("\n%1 of %2 files").arg(index).arg(count));
}

bool WindowConversionHost::StopRequested() {
  return run_.stopRequested();
}

void WindowConversionHost::ShowStampData() {
  run_.onWindow([this] { window_.mnuStamp_Click(); });
}

void WindowConversionHost::CloseStampEditor() {
  run_.onWindow([this] { window_.rumpEditor()->close(); });
}

void WindowConversionHost::EditStampDataModal() {
  run_.onWindow([this] {
    FrmRump* editor = window_.rumpEditor();
    if (!editor->editingStamp()) window_.mnuStamp_Click();
    editor->hide();
    editor->setModal(true);
    editor->exec();
    editor->setModal(false);
  });
}

void WindowConversionHost::FileDone(const FileOutcome& outcome) {
  if (outcome.status != kDone || outcome.folder) return;
  run_.later([this, name = std::string(OwnName(outcome.destination)),
              bytes = outcome.bytesWritten] { destination_.addFile(name, bytes); });
}

}  // namespace durnix
