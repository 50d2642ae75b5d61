// SPDX-License-Identifier: GPL-3.0-or-later
// The files named on the desktop program's command line (as a file manager's "Open With" gives
// them): the source pane goes to the first file's folder with the files of that folder
// selected, and every file opens in a viewer, as View Spectrum opens a selection.

#include <QComboBox>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QTreeView>
#include <algorithm>

#include "convert/forms/frm_rump.h"
#include "formats/catalogue.h"
#include "platform/paths.h"
#include "shell/forms/file_list_model.h"
#include "shell/forms/file_pane.h"
#include "shell/forms/frm_durnix.h"
#include "viewer/forms/viewer_windows.h"

namespace durnix {

namespace {

// The files named in one folder, in the order they were named.
struct NamedFiles {
  std::string folder;  // ending in "/"
  std::vector<std::string> names;
  std::vector<int> attributes;
};

std::string NotFoundMessage(const std::string& path) {
  return path + " is not found !!";
}

// Selects the rows of `names` in the pane's list; false when one of them is not listed.
bool SelectNames(FilePane& pane, const std::vector<std::string>& names) {
  const FileListModel& model = *pane.model();
  QItemSelection rows;
  std::size_t found = 0;
  for (int i = 0; i < model.rowCountOf(); ++i) {
    if (std::find(names.begin(), names.end(), model.row(i).name) == names.end()) continue;
    rows.select(model.index(i, 0), model.index(i, FileListModel::kColumns - 1));
    ++found;
  }
  pane.ListView->selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
  return found == names.size();
}

}  // namespace

void FrmDurnix::openFiles(const QStringList& paths) {
  std::vector<NamedFiles> groups;
  std::string paneFolder;  // the first file's folder, or the first folder named
  for (const QString& path : paths) {
    const QFileInfo info(path);
    const std::string full = PathBytes(info.absoluteFilePath());
    FileEntry entry;
    if (const FileResult look = files().Stat(full, entry); look != kDone) {
      prompter().Ask(NotFoundMessage(full), StandardButtons::kOk,
                     {Question::kMessage, SystemErrorText(look.error)});
      continue;
    }
    if (entry.kind == EntryKind::kFolder) {
      if (paneFolder.empty()) paneFolder = NormalizeFolder(full);
      continue;
    }
    const std::string folder = NormalizeFolder(PathBytes(info.absolutePath()));
    if (paneFolder.empty()) paneFolder = folder;
    auto group = std::find_if(groups.begin(), groups.end(),
                              [&](const NamedFiles& g) { return g.folder == folder; });
    if (group == groups.end()) group = groups.insert(groups.end(), NamedFiles{folder, {}, {}});
    const std::string name = PathBytes(info.fileName());
    if (std::find(group->names.begin(), group->names.end(), name) != group->names.end()) continue;
    group->names.push_back(name);
    group->attributes.push_back(entry.attributes);
  }
  if (paneFolder.empty()) return;

  nav_.set(0, paneFolder);
  pane(0).CmdRef_Click();
  setActivePane(0);
  for (const NamedFiles& group : groups) {
    if (group.folder != paneFolder) {
      viewers_->ViewSpectrum(group.folder, group.names, group.attributes, prefs_,
                             Latin1Bytes(pane(0).CombForm->currentText()));
      continue;
    }
    // A file that the pane's mask hides is shown with every file.
    if (!SelectNames(pane(0), group.names)) {
      setMask(0, MaskItem(Format(FMT_AUTO).mask));
      SelectNames(pane(0), group.names);
    }
    viewSpectrum(0, group.names, group.attributes);
  }
}

}  // namespace durnix
