// SPDX-License-Identifier: GPL-3.0-or-later
// FrmView: the menus, their check marks and the commands of "&Scale", "&Region", "Dot Si&ze"
// and "Dot &Color".

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include "convert/preferences.h"
#include "platform/keyboard.h"
#include "platform/paths.h"
#include "viewer/forms/frm_view.h"

namespace durnix {

namespace {

constexpr std::size_t U(int i) {
  return static_cast<std::size_t>(i);
}

QAction* AddItem(QMenu* menu, const QString& name, const QString& caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  return action;
}

QMenu* AddMenu(QMenuBar* bar, const QString& name, const QString& caption) {
  QMenu* menu = bar->addMenu(caption);
  menu->setObjectName(name);
  return menu;
}

}  // namespace

void FrmView::buildMenus() {
  QMenuBar* bar = menuBar();
  QMenu* file = AddMenu(bar, "mnuFile", "&File");
  mnuCombine_ = {AddItem(file, "mnuCompare", "&Compare"), AddItem(file, "mnuSubtract", "&Subtract"),
                 AddItem(file, "mnuAdd", "&Add")};
  connect(mnuCombine_[0], &QAction::triggered, this, &FrmView::mnuCompare_Click);
  connect(mnuCombine_[1], &QAction::triggered, this, &FrmView::mnuSubtract_Click);
  connect(mnuCombine_[2], &QAction::triggered, this, &FrmView::mnuAdd_Click);
  QMenu* shrink = file->addMenu("&Shrink");
  shrink->setObjectName("mnuShrink");
  mnuShrink_ = shrink;
  connect(AddItem(shrink, "mnuShAdd", "&Two channel adding"), &QAction::triggered, this,
          &FrmView::mnuShAdd_Click);
  connect(AddItem(shrink, "mnuShConst", "&Constant Resolution"), &QAction::triggered, this,
          &FrmView::mnuShConst_Click);
  connect(AddItem(shrink, "mnuShLin", "&Linear Resolution"), &QAction::triggered, this,
          &FrmView::mnuShLin_Click);
  connect(AddItem(shrink, "mnuShSQR", "&SQR(a*ch^2 + b*ch + c) Resolution"), &QAction::triggered,
          this, &FrmView::mnuShSQR_Click);
  mnuSave_ = AddItem(file, "mnuSave", "&Save");
  mnuSave_->setShortcut(QKeySequence::Save);
  connect(mnuSave_, &QAction::triggered, this, &FrmView::mnuSave_Click);
  file->addSeparator();
  connect(AddItem(file, "mnuExport", "Export picture..."), &QAction::triggered, this,
          &FrmView::mnuExport_Click);
  mnuCopy_ = AddItem(file, "mnuCopy", "Copy");
  mnuCopy_->setShortcut(QKeySequence::Copy);
  connect(mnuCopy_, &QAction::triggered, this, &FrmView::mnuCopy_Click);
  file->addSeparator();
  connect(AddItem(file, "mnuExit", "&Exit"), &QAction::triggered, this, &QWidget::close);

  QMenu* scale = AddMenu(bar, "mnuScale", "&Scale");
  for (int i = 1; i <= kScaleEntries; ++i) {
    mnuVer_[U(i - 1)] = AddItem(scale, "mnuVer" + QString::number(i), kScaleCaptions[U(i - 1)]);
    mnuVer_[U(i - 1)]->setCheckable(true);
    connect(mnuVer_[U(i - 1)], &QAction::triggered, this, [this, i] { mnuVer_Click(i); });
  }

  QMenu* region = AddMenu(bar, "mnuRegion", "&Region");
  QMenu* low = region->addMenu("Low limit");
  low->setObjectName("mnuLow");
  QMenu* range = region->addMenu("Range");
  range->setObjectName("mnuRange");
  for (int i = 1; i <= kUserDefine; ++i) {
    const QString lowCaption = i <= kLimitEntries ? kLowerLimitCaptions[U(i - 1)] : "User define";
    const QString rangeCaption = i <= kLimitEntries ? kRangeCaptions[U(i - 1)] : "User define";
    mnuL_[U(i - 1)] = AddItem(low, "mnuL" + QString::number(i), lowCaption);
    mnuRan_[U(i - 1)] = AddItem(range, "mnuRan" + QString::number(i), rangeCaption);
    mnuL_[U(i - 1)]->setCheckable(true);
    mnuRan_[U(i - 1)]->setCheckable(true);
    connect(mnuL_[U(i - 1)], &QAction::triggered, this, [this, i] { mnuL_Click(i); });
    connect(mnuRan_[U(i - 1)], &QAction::triggered, this, [this, i] { mnuRan_Click(i); });
  }
  for (QMenu* menu : {region, low, range}) {
    connect(menu, &QMenu::aboutToShow, this, [this] {
      doc_.settings().userDefineEnabled = doc_.activeRegion().RoiSet();
      checkMenus();
    });
  }
  mnuZoom_ = AddItem(region, "mnuZoom", "Zoom");
  mnuZoom_->setCheckable(true);
  connect(mnuZoom_, &QAction::triggered, this, &FrmView::mnuZoom_Click);
  region->addSeparator();
  region->addAction(mnuAnalysis_);

  QMenu* dotSize = AddMenu(bar, "mnuDotSize", "Dot Si&ze");
  for (int i = 1; i <= kDotSizeItems; ++i) {
    mnuDS_[U(i - 1)] =
        AddItem(dotSize, "mnuDS" + QString::number(i), QString::fromStdString(DotSizeCaption(i)));
    mnuDS_[U(i - 1)]->setCheckable(true);
    mnuDS_[U(i - 1)]->setChecked(DotSizeOfItem(i) == DotRad_);
    connect(mnuDS_[U(i - 1)], &QAction::triggered, this, [this, i] { mnuDS_Click(i); });
  }
  QMenu* dotColour = AddMenu(bar, "mnuDotColor", "Dot &Color");
  colourEntry_ = DotColourItem(DotCol_);
  for (int i = 1; i <= 7; ++i) {
    mnuDC_[U(i - 1)] = AddItem(dotColour, "mnuDC" + QString::number(i), kDotColourNames[U(i - 1)]);
    mnuDC_[U(i - 1)]->setCheckable(true);
    mnuDC_[U(i - 1)]->setChecked(i == colourEntry_);
    connect(mnuDC_[U(i - 1)], &QAction::triggered, this, [this, i] { mnuDC_Click(i); });
  }
  QAction* help = bar->addAction("&Help");
  help->setObjectName("mnuHelp");
  connect(help, &QAction::triggered, this, &FrmView::mnuHelp_Click);

  mnuPopUp_ = new QMenu(this);
  mnuPopUp_->setObjectName("mnuPopUp");
  popUpZoom_ = AddItem(mnuPopUp_, "PopUpZoom", "Zoom");
  popUpZoom_->setCheckable(true);
  connect(popUpZoom_, &QAction::triggered, this, &FrmView::mnuZoom_Click);
  popUpScroll_ = AddItem(mnuPopUp_, "PopUpScroll", "Scroll");
  popUpScroll_->setCheckable(true);
  connect(popUpScroll_, &QAction::triggered, this, [this] {
    ScrollLock::Set(!ScrollLock::IsOn());
    popUpScroll_->setChecked(ScrollLock::IsOn());
  });
  connect(AddItem(mnuPopUp_, "PopUpExit", "Close"), &QAction::triggered, this, &QWidget::close);
  checkMenus();
  enableCommands();
}

// The commands as the document allows them now: Save after a change, Copy with a region, and
// none that would change the spectrum, its region or its window while a shrink is computed.
void FrmView::enableCommands() {
  const bool editable = doc_.Enabled(ViewerCommand::kRegion);
  for (QAction* action : mnuCombine_) action->setEnabled(doc_.Enabled(ViewerCommand::kAdd));
  mnuShrink_->setEnabled(doc_.Enabled(ViewerCommand::kShrink));
  mnuSave_->setEnabled(doc_.Enabled(ViewerCommand::kSave));
  mnuCopy_->setEnabled(doc_.Enabled(ViewerCommand::kCopy));
  for (QMenu* menu : menuBar()->findChildren<QMenu*>()) {
    const QString name = menu->objectName();
    if (name == "mnuScale" || name == "mnuRegion" || name == "mnuDotSize" ||
        name == "mnuDotColor") {
      menu->setEnabled(editable);
    }
  }
  mnuPopUp_->setEnabled(editable);
  txtFrom_->setEnabled(editable);
  txtMultipl_->setEnabled(editable);
}

// The check marks and the "User define" entries as the settings are.
void FrmView::checkMenus() {
  for (int i = 1; i <= kScaleEntries; ++i)
    mnuVer_[U(i - 1)]->setChecked(i == doc_.settings().scaleEntry);
  for (int i = 1; i <= kUserDefine; ++i) {
    mnuL_[U(i - 1)]->setChecked(i == doc_.settings().lowEntry);
    mnuRan_[U(i - 1)]->setChecked(i == doc_.settings().rangeEntry);
  }
  mnuL_[U(kUserDefine - 1)]->setEnabled(doc_.settings().userDefineEnabled);
  mnuRan_[U(kUserDefine - 1)]->setEnabled(doc_.settings().userDefineEnabled);
  showZoom();
}

// The title and both Zoom check marks say what the plot shows: " - zoomed" while it is zoomed.
void FrmView::showZoom() {
  mnuZoom_->setChecked(doc_.settings().zoomed);
  popUpZoom_->setChecked(doc_.settings().zoomed);
  setWindowTitle(PathText(doc_.Title(start_.MyCaption)));  // the title names the files
}

void FrmView::mnuVer_Click(int entry) {
  ChooseScale(doc_.settings(), entry);
  checkMenus();
  DrawSpectrum();
}

void FrmView::mnuL_Click(int entry) {
  if (!ChooseLowLimit(doc_.settings(), entry, ChNum(), doc_.activeRegion().RoiFrom())) {
    QApplication::beep();
  }
  checkMenus();
  if (doc_.settings().zoomed) DrawSpectrum();
}

void FrmView::mnuRan_Click(int entry) {
  ChooseRange(doc_.settings(), entry, doc_.activeRegion().RoiTo());
  checkMenus();
  if (doc_.settings().zoomed) DrawSpectrum();
}

// The Zoom command (the menu, the pop-up and the keys): both check marks and the title follow.
void FrmView::mnuZoom_Click() {
  ToggleZoom(doc_.settings());
  checkMenus();
  DrawSpectrum();
}

void FrmView::mnuDS_Click(int entry) {
  DotRad_ = DotSizeOfItem(entry);
  for (int i = 1; i <= kDotSizeItems; ++i) mnuDS_[U(i - 1)]->setChecked(i == entry);
  DrawSpectrum();
}

void FrmView::mnuDC_Click(int entry) {
  DotCol_ = kDotColourValues[static_cast<std::size_t>(entry - 1)];
  colourEntry_ = entry;
  for (int i = 1; i <= 7; ++i) mnuDC_[U(i - 1)]->setChecked(i == entry);
  DrawSpectrum();
}

}  // namespace durnix
