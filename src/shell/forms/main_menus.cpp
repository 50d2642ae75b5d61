// SPDX-License-Identifier: GPL-3.0-or-later
// The menus of the main window: the command table's actions in their menus, and the preference
// menus, each a set of radio buttons.

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <functional>

#include "shell/forms/frm_durnix.h"

namespace durnix {

void FrmDurnix::buildMenus() {
  CommandTable& c = *commands_;
  QMenu* file = menuBar()->addMenu("&File");
  file->setObjectName("mnuFile");
  c.addToMenu(file, {Command::kConvert, Command::kViewSpectrum, Command::kCopy, Command::kMove,
                     Command::kDelete, Command::kRename, Command::kMakeDir, Command::kProperties,
                     Command::kConnectNetwork, Command::kDisconnectNetwork});
  file->addSeparator();
  c.addToMenu(file, {Command::kExit});

  QMenu* edit = menuBar()->addMenu("&Edit");
  edit->setObjectName("mnuEdit");
  c.addToMenu(
      edit, {Command::kEditRump, Command::kEditStamp, Command::kEditText, Command::kPeriodicTable});
  QMenu* axis = edit->addMenu("&Axis conversion");
  axis->setObjectName("mnuAxis");
  c.addToMenu(axis, {Command::kTimeToEnergy, Command::kEnergyToTime});

  QMenu* pref = menuBar()->addMenu("&Preference");
  pref->setObjectName("mnuPref");
  c.addToMenu(pref, {Command::kFormatAndAxis});
  const auto radio = [&](QMenu* menu, const QString& group, const QStringList& captions,
                         std::function<void(int)> choose) {
    auto* actions = new QActionGroup(menu);
    actions->setExclusive(true);
    for (int item = 1; item <= captions.size(); ++item) {
      QAction* a = menu->addAction(captions[item - 1]);
      a->setObjectName(group + QString::number(item));
      a->setCheckable(true);
      actions->addAction(a);
      radioGroups_[group].push_back(a);
      connect(a, &QAction::triggered, this, [choose, item] { choose(item); });
    }
  };
  const auto list = [](const auto& captions) {
    QStringList out;
    for (const char* caption : captions) out << QString::fromLatin1(caption);
    return out;
  };
  radio(pref->addMenu("Source Mask"), "mnuSMask", list(kSourceMaskCaptions),
        [this](int item) { setMask(0, item); });
  radio(pref->addMenu("Destination Mask"), "mnuDMask", list(kDestinationMaskCaptions),
        [this](int item) { setMask(1, item); });
  QMenu* graphic = pref->addMenu("Graphic");
  QStringList sizes;
  for (int item = 1; item <= kDotSizeItems; ++item) {
    sizes << QString::fromStdString(DotSizeCaption(item));
  }
  radio(graphic->addMenu("Dot Size"), "mnuDSize", sizes,
        [this](int item) { prefs_.DotSize = DotSizeOfItem(item); });
  radio(graphic->addMenu("Dot Color"), "mnuDColor", list(kDotColourNames), [this](int item) {
    prefs_.DotColour = kDotColourValues[static_cast<std::size_t>(item - 1)];
  });
  radio(graphic->addMenu("Lower limit"), "mnuL", list(kLowerLimitCaptions),
        [this](int item) { prefs_.LowerLimitIndex = static_cast<std::int16_t>(item); });
  radio(graphic->addMenu("Range"), "mnuRan", list(kRangeCaptions),
        [this](int item) { prefs_.RangeIndex = static_cast<std::int16_t>(item); });
  radio(pref->addMenu("Rump Stamp Mode"), "mnuStampVal", {"OFF", "ON"},
        [this](int item) { setStampMode(item == 2); });
  radio(pref->addMenu("Stamp Confirmation"), "mnuConfirmVal", {"OFF", "ON"},
        [this](int item) { setStampConfirm(item == 2); });
  pref->addSeparator();
  c.addToMenu(pref, {Command::kLoadDefault, Command::kSaveSetting});

  QMenu* help = menuBar()->addMenu("&Help");
  help->setObjectName("mnuHelp");
  c.addToMenu(help, {Command::kHelpContents, Command::kHelpLicence, Command::kHelpVersion});
}

void FrmDurnix::tick(const QString& group, int item) {
  for (std::size_t i = 0; i < radioGroups_[group].size(); ++i) {
    radioGroups_[group][i]->setChecked(static_cast<int>(i) + 1 == item);
  }
}

}  // namespace durnix
