// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The places a pane can be on (the "drives" of the drive list) and how a pane moves between
// folders: change of place, up, to the place's top folder, into a folder.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace durnix {

// Kinds of places, as their icons show them.
enum class PlaceKind { kHome, kRoot, kFixed, kRemovable, kNetwork, kOptical };

struct Place {
  std::string name;  // what the drive list shows
  std::string top;   // the place's top folder ("root"), ending in "/"
  PlaceKind kind = PlaceKind::kFixed;
};

// A folder path ending in exactly one "/".
std::string NormalizeFolder(std::string folder);

// The parent of a folder ("/data/x/" -> "/data/"); nothing for "/".
std::optional<std::string> ParentFolder(const std::string& folder);

// The place whose top folder holds `folder` most closely (the longest top that is a prefix).
int PlaceOf(const std::vector<Place>& places, const std::string& folder);

// Where each pane is, and the folder last shown on each place (shared by both panes).
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
  // Into folder `name` of the pane's folder.
  void enter(int pane, const std::string& name);

 private:
  void arrive(int pane, const std::string& folder);

  std::vector<Place> places_;
  int place_[2] = {0, 0};
  std::string folder_[2];
  std::map<int, std::string> drivePath_;  // DrivePath, by place
};

}  // namespace durnix
