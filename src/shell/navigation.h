// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The places a pane can be on (the "drives" of the drive list) and how a pane moves between
// folders: change of place, up, to the place's top folder, into a folder.

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "formats/paths.h"

namespace durnix {

// Network levels of a pane. Entering a row lowers the level by one, Up raises it.
inline constexpr int kLevelWholeNetwork = 255;
inline constexpr int kLevelWorkGroup = 254;
inline constexpr int kLevelComputer = 253;
inline constexpr int kLevelShare = 252;  // the top folder of a shared folder; below: its folders

// Kinds of places, as their icons show them.
enum class PlaceKind { kHome, kRoot, kFixed, kRemovable, kNetwork, kOptical };

struct Place {
  std::string name;  // what the drive list shows
  std::string top;   // the place's top folder ("root"), ending in "/"
  PlaceKind kind = PlaceKind::kFixed;
  // A connected shared folder is on the network; every other place, mounted shares too, is a
  // folder of this machine.
  PathKind path = PathKind::kLocal;
};

// A folder path ending in exactly one "/".
std::string NormalizeFolder(std::string folder);

// A network path as a pane takes it: "//" + name + "/", a name that has them not doubled.
std::string NetworkFolder(std::string_view name);
// The folder of the whole-network level: "//Whole network/".
std::string WholeNetworkFolder();
// The parent of a folder ("/data/x/" -> "/data/"); nothing for "/".
std::optional<std::string> ParentFolder(const std::string& folder);

// The place whose top folder holds `folder` most closely (the longest top that is a prefix).
int PlaceOf(const std::vector<Place>& places, const std::string& folder);

// Where each pane is, and the folder last shown on each place (shared by both panes). After the
// places, the drive lists end in the network entry, where a pane has a network level: 255 the
// whole network, 254 a work group, 253 a computer, 252 and below the folders of a shared folder.
class Navigation {
 public:
  explicit Navigation(std::vector<Place> places) : places_(std::move(places)) {}

  const std::vector<Place>& places() const { return places_; }
  int place(int pane) const { return place_[pane]; }
  const std::string& folder(int pane) const { return folder_[pane]; }
  std::string rememberedFolder(int place) const;

  // Puts a pane on a folder, remembering it (start-up, configuration). After this and every
  // move below, the pane's place is the place that holds its folder.
  void set(int pane, const std::string& folder);
  // Change of place: the other pane's folder when it is on the same place, else the folder last
  // shown on the place, else its top folder.
  void changePlace(int pane, int place);
  // Up one folder; false (nothing to refresh) at the top folder of the pane's place.
  bool up(int pane);
  // Whether the pane shows the top folder of its place (which lists no "..").
  bool atTop(int pane) const;
  // To the top folder of the pane's place.
  void root(int pane);
  // Into folder `name` of the pane's folder (on the network: into the row `name`).
  void enter(int pane, const std::string& name);

  // The network entry: the index after the last place.
  int networkEntry() const { return static_cast<int>(places_.size()); }
  bool onNetwork(int pane) const { return place_[pane] == networkEntry(); }
  // Where the pane's folder is: the network entry's folders and those of a connected shared
  // folder are on the network, every other place's on this machine, whatever "/"s they begin
  // with.
  PathKind kind(int pane) const;
  int level(int pane) const { return level_[pane]; }
  // Whether the pane lists network resources (level 253 or above) rather than a folder.
  bool aboveShares(int pane) const { return onNetwork(pane) && level_[pane] >= kLevelComputer; }
  const std::string& workGroup() const { return workGroup_; }
  const std::string& computer() const { return computer_; }
  void setWorkGroup(const std::string& name) { workGroup_ = name; }
  // To the computers of the work group (the network entry's first level).
  void toWorkGroup(int pane);
  // The drive lists anew (a network place connected or disconnected). A pane keeps its place
  // when the new list has it; false for each pane whose place is gone.
  std::array<bool, 2> setPlaces(std::vector<Place> places);

 private:
  void arrive(int pane, const std::string& folder);
  void arriveOnNetwork(int pane, int level, const std::string& folder);

  std::vector<Place> places_;
  int place_[2] = {0, 0};
  std::string folder_[2];
  std::map<int, std::string> drivePath_;  // DrivePath, by place
  int level_[2] = {kLevelWorkGroup, kLevelWorkGroup};
  std::string workGroup_;
  std::string computer_;
};

}  // namespace durnix
