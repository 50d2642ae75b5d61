// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// FrmDurnix: the main window, a two-pane file manager (source on the left, destination on the
// right) from which every command of the program is reached.

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>
#include <map>
#include <memory>

#include "convert/batch.h"
#include "convert/preferences.h"
#include "elements/forms/frm_ptable.h"
#include "shell/file_list.h"
#include "shell/navigation.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace durnix {

class FrmAxisConv;
class FrmRump;
class FrmSetup;

// What the main window is started with: where the program lives (durnix.cfg and the help
// pages), the places of the drive lists, and who answers the questions.
struct MainWindowStartup {
  QString programFolder;         // empty: the executable's folder
  std::vector<Place> places;     // empty: the machine's own
  Prompter* prompter = nullptr;  // null: real dialogs
  FolderPicker* folderPicker = nullptr;
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
  const Selection& selection(int pane) const { return sel_[static_cast<std::size_t>(pane)]; }
  int activePane() const { return activePane_; }
  AxisArming& arming() { return arming_; }
  bool configLoaded() const { return configLoaded_; }

  // Commands, as the menus, buttons and toolbar run them.
  void mnuConv_Click();
  void mnuRumpEdit_Click();
  void mnuStamp_Click();
  void mnuT2E_Click();
  void mnuE2T_Click();
  void mnuPathForm_Click();
  void mnuPTable_Click();
  void CmdRef_Click(int pane);
  void CmdSel_Click(int pane);
  void cmdUp_Click(int pane);
  void cmdRoot_Click(int pane);
  void DriveList_Click(int pane, int place);
  void setStampMode(bool on);
  void setStampConfirm(bool on);
  void setMask(int pane, int item);
  void loadConfig(const QString& path);
  Status saveConfig(const QString& path);

  FrmRump* rumpEditor();
  FrmAxisConv* axisDialog();
  FrmSetup* setupDialog();
  FrmPTable* periodicTable() const { return frmPTable_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class RunHost;
  struct Pane {
    QLabel* lblTitle;
    QComboBox* DriveList;
    QPushButton* cmdUp;
    QPushButton* cmdRoot;
    QLabel* lblPath;
    QTreeWidget* ListView;
    QLabel* lblFile;
    QLabel* lblFreeSpace;
    QPushButton* CmdRef;
    QPushButton* CmdSel;
    QComboBox* CombForm;
  };

  void buildPanes(QWidget* client);
  void buildCommandButtons(QWidget* client);
  void buildStampIndicator(QWidget* client);
  void buildToolbar(QWidget* client);
  void buildMenus();
  QAction* addAction(QMenu* menu, const QString& name, const QString& caption,
                     void (FrmDurnix::*slot)() = nullptr);
  void applyDefaults();
  void applyPreferences();
  void layoutClient();
  void applyWindowSize();
  void centre();

  // The panes.
  int MakeFileList(int pane);
  void writeStatusLine(int pane);
  void showPath(int pane);
  void showFreeSpace(int pane);
  void setActivePane(int pane);
  void selectionChanged(int pane);
  void activate(int pane);
  void openEntry(int pane, const std::string& name, int attributes);
  Pane& pane(int p) { return panes_[static_cast<std::size_t>(p)]; }

  void tick(const QString& group, int item);
  void runConversion();
  void armAxis(bool timeToEnergy);
  void showStampIndicator();
  Prompter& prompter();

  Startup startup_;
  std::unique_ptr<Prompter> ownPrompter_;
  std::unique_ptr<FolderPicker> ownPicker_;
  Preferences prefs_;
  Navigation nav_;
  std::array<Selection, 2> sel_;
  std::array<long long, 2> paneBytes_{};
  int activePane_ = 0;
  AxisArming arming_;
  bool loading_ = true;
  bool configLoaded_ = false;
  bool selecting_ = false;
  std::string tally_;

  QWidget* client_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  std::array<Pane, 2> panes_{};
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
  QPointer<FrmPTable> frmPTable_;
};

}  // namespace durnix
