// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// FrmDurnix: the main window, a two-pane file manager (source on the left, destination on the
// right) from which every command of the program is reached.

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>
#include <functional>
#include <map>
#include <memory>

#include "convert/batch.h"
#include "convert/preferences.h"
#include "elements/forms/frm_ptable.h"
#include "formats/file_system.h"
#include "shell/file_list.h"
#include "shell/forms/command_table.h"
#include "shell/navigation.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QToolBar;

namespace durnix {

class FilePane;
class FrmAxisConv;
class FrmRump;
class FrmSetup;
class ViewerDialogs;
class FileOperations;
class WindowOperationHost;
struct InputBoxRequest;
struct OperationPanes;
class ViewerWindows;
class NetworkResources;
class PasswordDialog;
class SmbClient;
class SmbFileSystem;
class MachineFileSystem;
class SmbNetwork;
class QtNetworkWait;
class FrmPass;
class WindowRun;

// What the main window is started with: where the program lives (durnix.cfg and the help
// pages), the places of the drive lists, who answers the questions and which files it works on.
struct MainWindowStartup {
  QString programFolder;         // empty: the executable's folder
  std::vector<Place> places;     // empty: the machine's own
  Prompter* prompter = nullptr;  // null: real dialogs
  FolderPicker* folderPicker = nullptr;
  FileSystem* files = nullptr;             // null: the machine's own
  ViewerDialogs* viewerDialogs = nullptr;  // null: real dialogs (and the input box)
  bool trash = true;  // Delete puts entries in the desktop's trash where there is one
  // The network entry: null both, the Samba client of the machine (whose shared folders `files`
  // then reaches too) and frmPass.
  NetworkResources* network = nullptr;
  PasswordDialog* password = nullptr;
};

class FrmDurnix : public QMainWindow {
  Q_OBJECT

 public:
  using Startup = MainWindowStartup;

  FrmDurnix() : FrmDurnix(Startup{}) {}
  explicit FrmDurnix(Startup startup);
  ~FrmDurnix() override;

  // Window state that the other parts of the program use.
  const Preferences& preferences() const { return prefs_; }
  Preferences& preferences() { return prefs_; }
  const Navigation& navigation() const { return nav_; }
  const Selection& selection(int pane) const;
  int activePane() const { return activePane_; }
  AxisArming& arming() { return arming_; }
  bool configLoaded() const { return configLoaded_; }
  FilePane& pane(int p) const { return *panes_[static_cast<std::size_t>(p)]; }
  CommandTable& commands() { return *commands_; }
  FileSystem& files() { return *startup_.files; }

  // Commands, as the menus, buttons and toolbar run them.
  void mnuConv_Click();
  // View Spectrum on the active pane's selection, or on the given names of pane `p`.
  void mnuView_Click();
  void viewSpectrum(int pane, const std::vector<std::string>& names,
                    const std::vector<int>& attributes);
  ViewerWindows& viewers() { return *viewers_; }
  void openFiles(const QStringList& paths);
  // The file operations on the active pane (the other pane is the target).
  void mnuCopy_Click();
  void mnuMove_Click();
  void mnuDelete_Click();
  void mnuRename_Click();
  void mnuMkDir_Click();
  void mnuProperties_Click();
  void mnuTextEdit_Click();
  void filesDropped(int pane, const QStringList& paths, Qt::KeyboardModifiers modifiers,
                    bool fromOtherPane);
  void renameInList(int pane, const std::string& name, const QString& text);
  FileOperations& operations();
  bool MoveMode = false;
  // Connect Network Drive: a shared folder by its address, added to both drive lists; Disconnect
  // Network Drive: the connected shared folders, one question each.
  void mnuConnect_Click();
  void mnuDisconnect_Click();
  NetworkResources& network() { return *startup_.network; }
  PasswordDialog& passwordDialog() { return *startup_.password; }
  void mnuRumpEdit_Click();
  void mnuStamp_Click();
  void mnuT2E_Click();
  void mnuE2T_Click();
  void mnuPathForm_Click();
  void mnuPTable_Click();
  // The periodic table's "Mark in viewer": the element's X-ray lines in the viewer last active.
  void markInViewer(const QString& symbol);
  void CmdRef_Click(int pane);
  void CmdSel_Click(int pane);
  void cmdUp_Click(int pane);
  void cmdRoot_Click(int pane);
  void DriveList_Click(int pane, int place);
  void setStampMode(bool on);
  void setStampConfirm(bool on);
  void setMask(int pane, int item);
  void loadConfig(const QString& path);
  FileResult saveConfig(const QString& path);

  // While a command runs, the window and its menus take no input.
  void setCommandsEnabled(bool enabled);
  // The conversion, copy or move at work on a thread of its own (null when none is).
  WindowRun* run() const { return run_.get(); }

 signals:
  // A conversion, copy or move has ended, and the window takes commands again.
  void runFinished();

 public:
  FrmRump* rumpEditor();
  FrmAxisConv* axisDialog();
  FrmSetup* setupDialog();
  FrmPTable* periodicTable() const { return frmPTable_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void buildStampIndicator(QWidget* client);
  void buildMenus();
  void connectCommands();
  void applyDefaults();
  void applyPreferences();
  void layoutClient();
  void applyWindowSize();
  void centre();
  void setActivePane(int pane);
  void openEntry(int pane, const std::string& name, int attributes);
  void tick(const QString& group, int item);
  void runConversion();
  void runCopy(int active, bool move);
  // Starts a run (false while another one works): `work` runs on the run's thread with the run.
  bool startRun(const QString& progressName, const QString& running,
                std::function<void(WindowRun&)> work);
  void endRun();
  OperationPanes operationPanes(int active) const;
  bool askInput(const InputBoxRequest& request, QString& answer);
  void armAxis(bool timeToEnergy);
  void showStampIndicator();
  Prompter& prompter();
  void startNetwork();
  // Both drive lists anew from `places`; each pane then changes to its place again, or to the
  // first fixed one when its place is gone.
  void replacePlaces(std::vector<Place> places, bool changeAgain);

  Startup startup_;
  std::unique_ptr<SmbClient> ownSmb_;
  std::unique_ptr<QtNetworkWait> ownWait_;
  std::unique_ptr<SmbFileSystem> ownSmbFiles_;
  std::unique_ptr<MachineFileSystem> ownMachine_;
  std::unique_ptr<SmbNetwork> ownNetwork_;
  FrmPass* frmPass_ = nullptr;
  std::vector<std::string> connected_;  // the top folders of the connected shared folders
  std::unique_ptr<Prompter> ownPrompter_;
  std::unique_ptr<FolderPicker> ownPicker_;
  Preferences prefs_;
  Navigation nav_;
  int activePane_ = 0;
  AxisArming arming_;
  bool loading_ = true;
  bool configLoaded_ = false;

  QWidget* client_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  CommandTable* commands_ = nullptr;
  std::array<FilePane*, 2> panes_{};
  std::map<QString, QPushButton*> buttons_;
  QPushButton* cmdStampOn_ = nullptr;
  QLabel* picStampOn_ = nullptr;
  QLabel* picStampOff_ = nullptr;
  QLabel* lblOn_ = nullptr;
  QLabel* lblOff_ = nullptr;
  std::map<QString, std::vector<QAction*>> radioGroups_;
  FrmRump* frmRump_ = nullptr;
  FrmAxisConv* frmAxisConv_ = nullptr;
  FrmSetup* frmSetup_ = nullptr;
  std::unique_ptr<ViewerWindows> viewers_;
  std::unique_ptr<WindowOperationHost> operationHost_;
  std::unique_ptr<FileOperations> operations_;
  QPointer<FrmPTable> frmPTable_;
  QString runningText_;         // "A conversion is running."
  bool closeAfterRun_ = false;  // the user quits once the run has stopped
  // Last, so that it goes first: the work stops before the window's parts go.
  std::unique_ptr<WindowRun> run_;
};

}  // namespace durnix
