// SPDX-License-Identifier: GPL-3.0-or-later
// The dialogs that the main window opens beside itself: the axis conversion, Format & Axis and
// the periodic table.

#include <QComboBox>
#include <QDir>
#include <QMenuBar>

#include "convert/forms/frm_axis_conv.h"
#include "convert/forms/frm_setup.h"
#include "platform/data_files.h"
#include "platform/paths.h"
#include "shell/forms/file_pane.h"
#include "shell/forms/frm_durnix.h"

namespace durnix {

FrmAxisConv* FrmDurnix::axisDialog() {
  if (frmAxisConv_ == nullptr) {
    frmAxisConv_ = new FrmAxisConv(this);
    frmAxisConv_->onPeriodicTable = [this] { mnuPTable_Click(); };
    frmAxisConv_->onCancel = [this] {
      arming_.disarm();
      setCommandsEnabled(true);
      activateWindow();
    };
    frmAxisConv_->onGoOn = [this] {
      setCommandsEnabled(true);
      activateWindow();
      arming_.axis = frmAxisConv_->parameters();
      runConversion();
    };
  }
  return frmAxisConv_;
}

void FrmDurnix::armAxis(bool timeToEnergy) {
  if (pane(0).selection().count() == 0) {
    prompter().Ask(kNoFilesSelected, StandardButtons::kOk);
    return;
  }
  FrmAxisConv* dialog = axisDialog();
  dialog->prepare(timeToEnergy, prefs_.AxisConvFactor, prefs_.AxisOffset, prefs_.AxisTofLength);
  setCommandsEnabled(false);
  arming_.timeToEnergy = timeToEnergy;
  arming_.energyToTime = !timeToEnergy;
  dialog->show();
  dialog->raise();
}

void FrmDurnix::mnuPTable_Click() {
  if (frmPTable_ != nullptr) {
    frmPTable_->show();
    frmPTable_->raise();
    return;
  }
  std::string problem;
  const QString path = ElementDatabasePath(startup_.programFolder);
  frmPTable_ = FrmPTable::Open(this, PathBytes(path), problem);
  if (frmPTable_ == nullptr) {
    prompter().Ask(problem, StandardButtons::kOk);
    return;
  }
  connect(frmPTable_, &FrmPTable::markInViewer, this,
          [this](const QString& symbol) { markInViewer(symbol); });
  frmPTable_->show();
}

void FrmDurnix::mnuT2E_Click() {
  armAxis(true);
}
void FrmDurnix::mnuE2T_Click() {
  armAxis(false);
}

FrmSetup* FrmDurnix::setupDialog() {
  if (frmSetup_ == nullptr) {
    frmSetup_ = new FrmSetup(this);
    frmSetup_->onOk = [this](const SetupValues& v) {
      pane(0).CombForm->setCurrentText(Latin1Text(v.sourceFormat));
      pane(1).CombForm->setCurrentText(Latin1Text(v.destinationFormat));
      prefs_.AxisConvFactor = v.convFactor;
      prefs_.AxisOffset = v.offset;
      prefs_.AxisTofLength = v.tofLength;
    };
    frmSetup_->onClosed = [this] {
      setCommandsEnabled(true);
      activateWindow();
    };
  }
  return frmSetup_;
}

void FrmDurnix::mnuPathForm_Click() {
  FrmSetup* dialog = setupDialog();
  dialog->prepare({Latin1Bytes(pane(0).CombForm->currentText()),
                   Latin1Bytes(pane(1).CombForm->currentText()), prefs_.AxisConvFactor,
                   prefs_.AxisOffset, prefs_.AxisTofLength});
  setCommandsEnabled(false);
  dialog->show();
  dialog->raise();
}

}  // namespace durnix
