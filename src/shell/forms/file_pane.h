// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One pane of the main window: its place list, path, file list, status line and free space,
// and what the user does in it (refresh, select all, up, root, change of place, activating an
// entry). The main window has two, each knowing the other; the commands work on their
// selections.

#include <QStringList>
#include <QThreadPool>
#include <QWidget>
#include <string>
#include <vector>

#include "convert/prompter.h"
#include "formats/file_system.h"
#include "shell/file_list.h"
#include "shell/navigation.h"
#include "shell/network.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTreeView;

namespace durnix {

class FileListModel;

class FilePane : public QWidget {
  Q_OBJECT

 public:
  // Pane `index` (0 source, 1 destination) over the shared navigation; `mask` gives the pane's
  // current mask.
  FilePane(int index, FileSystem& files, Navigation& navigation, Prompter& prompter,
           QWidget* parent);
  // Waits for a listing still being read.
  ~FilePane() override;

  int index() const { return index_; }
  void setOther(FilePane* other) { other_ = other; }
  FilePane* other() const { return other_; }
  void setMask(const std::string& mask) { mask_ = mask; }
  const std::string& mask() const { return mask_; }
  const std::string& folder() const { return navigation_.folder(index_); }

  // The controls, by the names the program gives them.
  QLabel* lblTitle;
  QComboBox* CombForm;
  QPushButton* CmdSel;
  QPushButton* CmdRef;
  QComboBox* DriveList;
  QLabel* lblPath;
  QPushButton* cmdRoot;
  QPushButton* cmdUp;
  QTreeView* ListView;
  QLabel* lblFile;
  QLabel* lblFreeSpace;

  FileListModel* model() const { return model_; }
  const Selection& selection() const { return selection_; }
  long long paneBytes() const { return paneBytes_; }

  // Lists the folder through the mask; returns 0 or the error number of the file system.
  int MakeFileList();
  // Lists the pane anew (with "Disk is not ready !!", Retry and Cancel, when it cannot), empties
  // its selection and makes it the active pane. The list is there when it returns: for the
  // commands that go on with the rows (the refresh after a run, the selection of opened files,
  // a command reading the other pane's rows).
  void CmdRef_Click();
  // The same for the user's own moves (Refresh, F5, a folder entered, up, root, another place):
  // the folder is read on a worker and the list filled when it arrives; `listed()` follows. A
  // newer refresh of the pane drops the listing of an older one. A pane on the network lists
  // at once, as CmdRef_Click.
  void refresh();
  // Waits for the listings still being read; the window calls it before its file systems go.
  void waitForListings();
  void CmdSel_Click();
  void cmdUp_Click();
  void cmdRoot_Click();
  void DriveList_Click(int place);
  // The network's services and the password dialog (frmPass) of the network entry.
  void setNetwork(NetworkResources* network, PasswordDialog* password) {
    network_ = network;
    password_ = password;
  }
  // The drive list anew from the places, the network entry "-\-" last.
  void rebuildDriveList();

  // The status line from the selection, or a text of a command (the tally of a conversion).
  void writeStatusLine();
  void showStatus(const std::string& text);
  void showFreeSpace();
  void showPath();
  void showPlace();
  void setActive(bool active);
  // A file of `bytes` that a command has just made in this pane's folder, listed at once
  // without reading the folder again (when it matches the mask and is not listed yet).
  void addFile(const std::string& name, long long bytes);
  // The selection list anew from the selected rows.
  void takeSelection();
  void setLoading(bool loading) { loading_ = loading; }

 signals:
  // The pane became the active pane (its list got the focus, it was refreshed or clicked).
  void activated(int pane);
  // The user activated the entry `name` (double click, Enter).
  void entryActivated(int pane, const std::string& name, int attributes);
  // Enter on a selection whose first entry is a file: View Spectrum on the selection.
  void viewRequested(int pane);
  // The name of entry `name` (extension `extension`) was edited in place to `text`.
  void nameEdited(int pane, const std::string& name, const std::string& extension,
                  const QString& text);
  // Files were dropped on the list: `paths` from outside the program, or the other pane's
  // selection (`fromOtherPane`); the modifiers held at the drop.
  void filesDropped(int pane, const QStringList& paths, Qt::KeyboardModifiers modifiers,
                    bool fromOtherPane);
  // The texts at the bottom of the pane changed their width.
  void bottomChanged();
  // A listing of the folder is shown in the list.
  void listed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // A folder's rows as a worker reads them.
  struct Listing {
    FileResult status;
    std::vector<FileRow> rows;
    long long bytes = 0;
    int skipped = 0;
  };
  // The work itself, for the window's thread or a worker: it takes nothing of the pane.
  static Listing read(FileSystem& files, const std::string& folder, const std::string& mask,
                      bool top, const std::string& groups);
  // Shows a listing; returns 0 or the error number, as MakeFileList.
  int showListing(Listing listing);
  // The ending of a refresh after a listing with `error`: the question to read again, or the
  // pane's labels. Returns true when the folder is to be read again.
  bool endRefresh(int error);
  void build();
  void activateFirstSelected();
  // The refresh of a pane on the network entry, and its listings: of a network level, and of a
  // folder of a shared folder. Each returns 0 or a network code.
  void refreshOnNetwork();
  int listNetworkLevel();
  int listSharedFolder();
  bool dropEvent(QEvent* event);

  const int index_;
  FileSystem& files_;
  Navigation& navigation_;
  Prompter& prompter_;
  NetworkResources* network_ = nullptr;
  PasswordDialog* password_ = nullptr;
  FilePane* other_ = nullptr;
  FileListModel* model_ = nullptr;
  std::string mask_ = "*.*";
  Selection selection_;
  long long paneBytes_ = 0;
  std::string toldSkipped_;  // the folder whose unusable entry names were told last
  bool loading_ = true;
  bool selecting_ = false;
  int request_ = 0;  // the latest refresh; the listings of older ones are dropped
  QThreadPool readers_;
};

}  // namespace durnix
