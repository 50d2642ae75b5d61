// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/forms/command_table.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>

namespace durnix {

namespace {

struct CommandInfo {
  Command command;
  const char* action;   // the menu item's name
  const char* caption;  // as the menu shows it
  int toolbarIndex;     // 0: not on the toolbar
  const char* toolTip;  // of the toolbar button
  QStyle::StandardPixmap icon;
  const char* button;  // the command button's name, or null
  const char* buttonCaption;
  bool offered;  // false while the program does not offer it yet
};

constexpr CommandInfo kCommands[] = {
    {Command::kConvert, "mnuConv", "&Convert", 1, "Convert", QStyle::SP_BrowserReload, "cmdConv",
     "Convert", true},
    {Command::kViewSpectrum, "mnuView", "&View Spectrum", 2, "View spectrum",
     QStyle::SP_FileDialogContentsView, "cmdSpect", "Spectrum", true},
    {Command::kCopy, "mnuCopy", "Copy", 0, "", QStyle::SP_CustomBase, "CmdCopy", "Copy", true},
    {Command::kMove, "mnuMove", "&Move", 0, "", QStyle::SP_CustomBase, "CmdMove", "Move", true},
    {Command::kDelete, "mnuDelete", "Delete", 0, "", QStyle::SP_CustomBase, "CmdDelete", "Delete",
     true},
    {Command::kRename, "mnuRename", "&Rename", 0, "", QStyle::SP_CustomBase, nullptr, nullptr,
     true},
    {Command::kMakeDir, "mnuMkDir", "Make &Dir", 4, "Make dir", QStyle::SP_FileDialogNewFolder,
     "CmdMkDir", "Make Dir", true},
    {Command::kProperties, "mnuProperties", "&Properties", 5, "Properties",
     QStyle::SP_FileDialogInfoView, nullptr, nullptr, true},
    {Command::kConnectNetwork, "mnuConnect", "Connect Network Drive", 0, "", QStyle::SP_CustomBase,
     nullptr, nullptr, true},
    {Command::kDisconnectNetwork, "mnuDisconnect", "Disconnect Network Drive", 0, "",
     QStyle::SP_CustomBase, nullptr, nullptr, true},
    {Command::kExit, "mnuExit", "E&xit", 0, "", QStyle::SP_CustomBase, "CmdExit", "Exit", true},
    {Command::kEditRump, "mnuRumpEdit", "Edit Rump Data", 7, "Edit Rump data",
     QStyle::SP_FileDialogDetailedView, "cmdData", "RUMP Data", true},
    {Command::kEditStamp, "mnuStamp", "Edit &Stamp Data", 8, "Edit stamp file",
     QStyle::SP_DialogApplyButton, nullptr, nullptr, true},
    {Command::kEditText, "mnuTextEdit", "Edit Text", 9, "Edit text", QStyle::SP_FileIcon, "cmdText",
     "Text View", true},
    {Command::kPeriodicTable, "mnuPTable", "&PTable", 11, "Periodic table", QStyle::SP_ComputerIcon,
     nullptr, nullptr, true},
    {Command::kTimeToEnergy, "mnuT2E", "Time to Energy", 12, "Time to energy",
     QStyle::SP_ArrowRight, nullptr, nullptr, true},
    {Command::kEnergyToTime, "mnuE2T", "Energy to time", 13, "Energy to time", QStyle::SP_ArrowLeft,
     nullptr, nullptr, true},
    {Command::kFormatAndAxis, "mnuPathForm", "Format && Axis", 0, "", QStyle::SP_CustomBase,
     nullptr, nullptr, true},
    {Command::kLoadDefault, "mnuLDef", "Load Default", 0, "", QStyle::SP_CustomBase, nullptr,
     nullptr, true},
    {Command::kSaveSetting, "mnuSDef", "Save current setting", 0, "", QStyle::SP_CustomBase,
     nullptr, nullptr, true},
    {Command::kHelpContents, "mnuContents", "Contents", 0, "", QStyle::SP_CustomBase, nullptr,
     nullptr, true},
    {Command::kHelpLicence, "mnuLicence", "Licence", 0, "", QStyle::SP_CustomBase, nullptr, nullptr,
     true},
    {Command::kHelpVersion, "mnuVersion", "Version Info.", 0, "", QStyle::SP_CustomBase, nullptr,
     nullptr, true},
};

const CommandInfo& info(Command command) {
  return kCommands[static_cast<std::size_t>(command)];
}

}  // namespace

CommandTable::CommandTable(QWidget* window) : QObject(window) {
  static_assert(std::size(kCommands) == kCommandCount);
  QStyle* style = QApplication::style();
  for (const CommandInfo& c : kCommands) {
    auto* action = new QAction(QString::fromLatin1(c.caption), window);
    action->setObjectName(c.action);
    if (c.toolbarIndex != 0) {
      action->setIcon(style->standardIcon(c.icon));
      action->setToolTip(c.toolTip);
    }
    action->setEnabled(c.offered);
    actions_[static_cast<std::size_t>(c.command)] = action;
  }
}

void CommandTable::setEnabled(Command command, bool enabled) {
  action(command)->setEnabled(enabled);
}

QPushButton* CommandTable::makeButton(Command command, QWidget* parent) const {
  const CommandInfo& c = info(command);
  auto* button = new QPushButton(QString::fromLatin1(c.buttonCaption), parent);
  button->setObjectName(c.button);
  button->setAutoDefault(false);
  QAction* a = action(command);
  button->setEnabled(a->isEnabled());
  connect(button, &QPushButton::clicked, a, &QAction::trigger);
  connect(a, &QAction::changed, button, [button, a] { button->setEnabled(a->isEnabled()); });
  return button;
}

void CommandTable::fillToolbar(QToolBar* toolbar) const {
  int next = 1;
  for (const CommandInfo& c : kCommands) {
    if (c.toolbarIndex == 0) continue;
    for (; next < c.toolbarIndex; ++next) toolbar->addSeparator();
    toolbar->addAction(action(c.command));
    next = c.toolbarIndex + 1;
  }
}

void CommandTable::addToMenu(QMenu* menu, std::initializer_list<Command> commands) const {
  for (Command command : commands) menu->addAction(action(command));
}

}  // namespace durnix
