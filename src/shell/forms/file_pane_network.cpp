// SPDX-License-Identifier: GPL-3.0-or-later
// A pane on the network entry of its drive list: the levels of the network, a shared folder's
// folders, the drive list with its network places.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLocale>

#include "platform/paths.h"
#include "platform/places.h"
#include "platform/twips.h"
#include "shell/forms/file_list_model.h"
#include "shell/forms/file_pane.h"

namespace durnix {

namespace {

// The drive list's last entry, the network.
constexpr const char* kNetworkEntry = "-\\-";

// When browsing finds nothing at the top of the network, or in a work group.
constexpr const char* kNoWorkGroupFound = "No work group is found on the network";
constexpr const char* kNoComputerFound = "No computer is found in the work group";

}  // namespace

void FilePane::rebuildDriveList() {
  const QSignalBlocker quiet(DriveList);
  DriveList->clear();
  for (const Place& place : navigation_.places()) {
    DriveList->addItem(PlaceIcon(place.kind), PathText(place.name));
    DriveList->setItemData(DriveList->count() - 1, PathText(place.name + "  " + place.top),
                           Qt::ToolTipRole);
  }
  DriveList->addItem(PlaceIcon(PlaceKind::kNetwork), kNetworkEntry);
  DriveList->setItemData(DriveList->count() - 1, "The network: work groups, computers, shares",
                         Qt::ToolTipRole);
  showPlace();
}

int FilePane::listNetworkLevel() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const int level = navigation_.level(index_);
  // The name of the level: the path without its first two and its last character.
  const std::string& path = folder();
  const std::string name = path.size() > 3 ? path.substr(2, path.size() - 3) : std::string();
  std::vector<std::string> names;
  int code = network_ != nullptr ? network_->List(level, name, names) : kNetNoMoreItems;
  QApplication::restoreOverrideCursor();
  if (code == kNetNoMoreItems && level != kLevelComputer) {
    // Browsing found nothing (no master browser on the network, or an empty work group): the
    // user is told, and the level still leads on, the top to the client's own work group.
    prompter_.Ask(level >= kLevelWholeNetwork ? kNoWorkGroupFound : kNoComputerFound,
                  StandardButtons::kOk);
    names.clear();
    if (level >= kLevelWholeNetwork && !navigation_.workGroup().empty()) {
      names.push_back(navigation_.workGroup());
    }
    code = kNetDone;
  }
  if (code != kNetDone) return code;
  selecting_ = true;
  model_->setRows(NetworkRows(level, names), path, PathKind::kNetwork, true);
  selecting_ = false;
  paneBytes_ = 0;
  selection_.bytes = 0;
  writeStatusLine();
  return kNetDone;
}

int FilePane::listSharedFolder() {
  const int error = MakeFileList();
  if (error == 0) return kNetDone;
  return network_ != nullptr ? network_->CodeOfFileError(error) : kNetUnexpected;
}

void FilePane::refreshOnNetwork() {
  selection_.clear();
  selecting_ = true;
  model_->clear();
  selecting_ = false;
  if (network_ == nullptr || password_ == nullptr) return;
  const auto list = [this] {
    return navigation_.aboveShares(index_) ? listNetworkLevel() : listSharedFolder();
  };
  switch (RefreshOnNetwork(list, RemoteNameOf(folder()), *network_, prompter_, *password_)) {
    case NetworkRefresh::kListed:
      break;
    case NetworkRefresh::kEnded:
      showPlace();
      showPath();
      return;
    case NetworkRefresh::kBackToWorkGroup:
      navigation_.toWorkGroup(index_);
      CmdRef_Click();
      return;
  }
  showPlace();
  showPath();
  emit activated(index_);
  writeStatusLine();
  if (navigation_.aboveShares(index_)) {
    lblFreeSpace->clear();
    lblFreeSpace->setToolTip({});
    emit bottomChanged();
  } else {
    showFreeSpace();
  }
  emit listed();
}

}  // namespace durnix
