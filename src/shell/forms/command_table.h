// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The commands of the main window, one QAction each, shared by the menu item, the toolbar
// button and the command button that run it, so that a command is enabled or disabled in one
// place for all three.

#include <QObject>
#include <array>

class QAction;
class QMenu;
class QPushButton;
class QToolBar;
class QWidget;

namespace durnix {

enum class Command {
  kConvert,
  kViewSpectrum,
  kCopy,
  kMove,
  kDelete,
  kRename,
  kMakeDir,
  kProperties,
  kConnectNetwork,
  kDisconnectNetwork,
  kExit,
  kEditRump,
  kEditStamp,
  kEditText,
  kPeriodicTable,
  kTimeToEnergy,
  kEnergyToTime,
  kFormatAndAxis,
  kLoadDefault,
  kSaveSetting,
  kHelpContents,
  kHelpLicence,
  kHelpVersion,
};
inline constexpr int kCommandCount = static_cast<int>(Command::kHelpVersion) + 1;

class CommandTable : public QObject {
  Q_OBJECT

 public:
  // The actions, children of `window` (so that they are found by their names, "mnuConv" ...).
  explicit CommandTable(QWidget* window);

  QAction* action(Command command) const { return actions_[static_cast<std::size_t>(command)]; }
  // Commands that the program does not offer yet are there, and disabled.
  void setEnabled(Command command, bool enabled);

  // The command button of a command ("cmdConv" ...), clicking it triggers the action; it
  // follows the action's enabled state.
  QPushButton* makeButton(Command command, QWidget* parent) const;
  // The toolbar buttons 1 to 13, with separators at 3, 6 and 10.
  void fillToolbar(QToolBar* toolbar) const;
  // The menu items of `commands`, in that order.
  void addToMenu(QMenu* menu, std::initializer_list<Command> commands) const;

 private:
  std::array<QAction*, kCommandCount> actions_{};
};

}  // namespace durnix
