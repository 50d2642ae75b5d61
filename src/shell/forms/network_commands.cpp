// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's network: the Samba client it starts with, and the File menu's Connect
// Network Drive and Disconnect Network Drive.

#include <QApplication>
#include <QComboBox>
#include <algorithm>

#include "platform/network_wait.h"
#include "platform/paths.h"
#include "platform/smb_file_system.h"
#include "platform/smb_network.h"
#include "shell/file_operations.h"
#include "shell/forms/file_pane.h"
#include "shell/forms/frm_durnix.h"
#include "shell/forms/frm_pass.h"

namespace durnix {

void FrmDurnix::startNetwork() {
  if (startup_.password == nullptr) {
    frmPass_ = new FrmPass(this);
    startup_.password = frmPass_;
  }
  if (startup_.network != nullptr) return;
  // The library itself starts with the first request to the network.
  ownSmb_ = std::make_unique<SmbClient>();
  ownWait_ = std::make_unique<QtNetworkWait>(this);
  ownSmb_->setWait(ownWait_.get());
  ownSmbFiles_ = std::make_unique<SmbFileSystem>(*ownSmb_);
  ownMachine_ = std::make_unique<MachineFileSystem>(*startup_.files, *ownSmbFiles_);
  startup_.files = ownMachine_.get();
  ownNetwork_ = std::make_unique<SmbNetwork>(*ownSmb_);
  startup_.network = ownNetwork_.get();
}

void FrmDurnix::replacePlaces(std::vector<Place> places, bool changeAgain) {
  const std::array<bool, 2> kept = nav_.setPlaces(std::move(places));
  for (int p = 0; p < 2; ++p) pane(p).rebuildDriveList();
  if (!changeAgain) return;
  const std::vector<Place>& now = nav_.places();
  const auto fixed = std::find_if(now.begin(), now.end(), [](const Place& place) {
    return place.kind == PlaceKind::kRoot || place.kind == PlaceKind::kFixed;
  });
  const int firstFixed = fixed == now.end() ? 0 : static_cast<int>(fixed - now.begin());
  for (int p = 0; p < 2; ++p) {
    const int place = kept[static_cast<std::size_t>(p)] ? nav_.place(p) : firstFixed;
    pane(p).DriveList->setCurrentIndex(place);
    pane(p).DriveList_Click(place);
  }
}

void FrmDurnix::mnuConnect_Click() {
  InputBoxRequest request;
  request.title = "Connect Network Drive";
  request.prompt = "Shared folder (\\\\computer\\share or smb://computer/share) :";
  QString answer;
  if (!askInput(request, answer)) return;
  const std::string remote = ShareAddress(PathBytes(answer));
  if (remote.empty()) {
    prompter().Ask("Error: " + std::to_string(kNetBadNetName), StandardButtons::kOk);
    return;
  }
  if (ConnectWithCredentials(ShareOf(remote), network(), prompter(), passwordDialog()) !=
      Connection::kConnected) {
    return;
  }
  const std::string top = remote + "/";
  std::vector<Place> places = nav_.places();
  if (std::none_of(places.begin(), places.end(),
                   [&](const Place& place) { return place.top == top; })) {
    places.push_back({"smb:" + remote, top, PlaceKind::kNetwork, PathKind::kNetwork});
    connected_.push_back(top);
  }
  replacePlaces(std::move(places), false);
}

void FrmDurnix::mnuDisconnect_Click() {
  std::vector<Place> places = nav_.places();
  for (auto it = connected_.begin(); it != connected_.end();) {
    const auto place =
        std::find_if(places.begin(), places.end(), [&](const Place& p) { return p.top == *it; });
    if (place == places.end()) {
      it = connected_.erase(it);
      continue;
    }
    const int answer =
        prompter().Ask(place->name + " Disconnect it ?", StandardButtons::kYesNoCancel);
    if (answer == kAnswerCancel) break;
    if (answer != kAnswerYes) {
      ++it;
      continue;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int code = network().Disconnect(RemoteNameOf(*it));
    QApplication::restoreOverrideCursor();
    if (code != kNetDone) {
      prompter().Ask("Error: " + std::to_string(code), StandardButtons::kOk);
      ++it;
      continue;
    }
    places.erase(place);
    it = connected_.erase(it);
  }
  replacePlaces(std::move(places), true);
}

}  // namespace durnix
