// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/navigation.h"

#include <algorithm>

#include "formats/paths.h"

namespace durnix {

std::string NormalizeFolder(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/' && folder[folder.size() - 2] == '/') {
    folder.pop_back();
  }
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string NetworkFolder(std::string_view name) {
  return WithFinalSlash(PathFor(PathKind::kNetwork, name));
}

std::string WholeNetworkFolder() {
  return NetworkFolder("Whole network");
}

std::optional<std::string> ParentFolder(const std::string& folder) {
  const std::string f = NormalizeFolder(folder);
  if (f == "/") return std::nullopt;
  const auto slash = f.rfind('/', f.size() - 2);
  if (slash == std::string::npos) return std::nullopt;
  return f.substr(0, slash + 1);
}

int PlaceOf(const std::vector<Place>& places, const std::string& folder) {
  int best = 0;
  std::size_t bestLength = 0;
  const std::string f = NormalizeFolder(folder);
  for (std::size_t i = 0; i < places.size(); ++i) {
    const std::string& top = places[i].top;
    if (f.compare(0, top.size(), top) == 0 && top.size() > bestLength) {
      best = static_cast<int>(i);
      bestLength = top.size();
    }
  }
  return best;
}

std::string Navigation::rememberedFolder(int place) const {
  const auto it = drivePath_.find(place);
  return it == drivePath_.end() ? std::string() : it->second;
}

void Navigation::arriveOnNetwork(int pane, int level, const std::string& folder) {
  place_[pane] = networkEntry();
  level_[pane] = level;
  folder_[pane] = NetworkFolder(folder);
}

PathKind Navigation::kind(int pane) const {
  if (onNetwork(pane)) return PathKind::kNetwork;
  return places_.empty() ? PathKind::kLocal : places_[static_cast<std::size_t>(place_[pane])].path;
}

void Navigation::toWorkGroup(int pane) {
  arriveOnNetwork(pane, kLevelWorkGroup, workGroup_);
}

std::array<bool, 2> Navigation::setPlaces(std::vector<Place> places) {
  std::map<std::string, std::string> remembered;  // by top folder
  for (const auto& [place, folder] : drivePath_) {
    if (place >= 0 && place < networkEntry()) {
      remembered[places_[static_cast<std::size_t>(place)].top] = folder;
    }
  }
  std::array<bool, 2> kept{true, true};
  std::array<std::string, 2> tops;
  for (int p = 0; p < 2; ++p) {
    if (!onNetwork(p))
      tops[static_cast<std::size_t>(p)] = places_[static_cast<std::size_t>(place_[p])].top;
  }
  const bool network[2] = {onNetwork(0), onNetwork(1)};
  places_ = std::move(places);
  drivePath_.clear();
  for (std::size_t i = 0; i < places_.size(); ++i) {
    const auto it = remembered.find(places_[i].top);
    if (it != remembered.end()) drivePath_[static_cast<int>(i)] = it->second;
  }
  for (int p = 0; p < 2; ++p) {
    if (network[p]) {
      place_[p] = networkEntry();
      continue;
    }
    const auto same = std::find_if(places_.begin(), places_.end(), [&](const Place& place) {
      return place.top == tops[static_cast<std::size_t>(p)];
    });
    kept[static_cast<std::size_t>(p)] = same != places_.end();
    place_[p] = kept[static_cast<std::size_t>(p)] ? static_cast<int>(same - places_.begin()) : 0;
  }
  return kept;
}

void Navigation::arrive(int pane, const std::string& folder) {
  std::string f = NormalizeFolder(folder);
  int place = PlaceOf(places_, f);
  if (places_.empty() || places_[static_cast<std::size_t>(place)].path == PathKind::kLocal) {
    // A folder of this machine, however many "/" it begins with ("//tmp" is "/tmp" here).
    f = PathFor(PathKind::kLocal, f);
    place = PlaceOf(places_, f);
  }
  folder_[pane] = f;
  place_[pane] = place;
  drivePath_[place_[pane]] = folder_[pane];
}

void Navigation::set(int pane, const std::string& folder) {
  arrive(pane, folder);
}

void Navigation::changePlace(int pane, int place) {
  if (place == networkEntry()) {
    toWorkGroup(pane);
    return;
  }
  const int other = 1 - pane;
  if (place_[other] == place && !folder_[other].empty()) {
    arrive(pane, folder_[other]);
    return;
  }
  const std::string last = rememberedFolder(place);
  arrive(pane, last.empty() ? places_[static_cast<std::size_t>(place)].top : last);
}

bool Navigation::atTop(int pane) const {
  if (onNetwork(pane)) return level_[pane] > kLevelShare;
  return folder_[pane] == places_[static_cast<std::size_t>(place_[pane])].top;
}

bool Navigation::up(int pane) {
  if (onNetwork(pane)) {
    const int level = level_[pane];
    if (level >= kLevelWholeNetwork) return false;
    if (level == kLevelComputer) {
      arriveOnNetwork(pane, kLevelWorkGroup, workGroup_);
    } else if (level == kLevelWorkGroup) {
      arriveOnNetwork(pane, kLevelWholeNetwork, WholeNetworkFolder());
    } else if (level == kLevelShare) {
      arriveOnNetwork(pane, kLevelComputer, computer_);
    } else {
      arriveOnNetwork(pane, level + 1, ParentFolder(folder_[pane]).value_or(folder_[pane]));
    }
    return true;
  }
  if (atTop(pane)) return false;
  const std::optional<std::string> parent = ParentFolder(folder_[pane]);
  if (!parent) return false;
  arrive(pane, *parent);
  return true;
}

void Navigation::root(int pane) {
  if (onNetwork(pane)) {
    arriveOnNetwork(pane, kLevelWholeNetwork, WholeNetworkFolder());
    return;
  }
  arrive(pane, places_[static_cast<std::size_t>(place_[pane])].top);
}

void Navigation::enter(int pane, const std::string& name) {
  if (onNetwork(pane)) {
    const int level = level_[pane];
    if (level == kLevelWholeNetwork) workGroup_ = name;
    if (level == kLevelWorkGroup) computer_ = name;
    arriveOnNetwork(pane, level - 1,
                    level >= kLevelWorkGroup ? name : JoinPath(folder_[pane], name));
    return;
  }
  arrive(pane, JoinPath(folder_[pane], name));
}

}  // namespace durnix
