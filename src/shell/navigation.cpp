// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/navigation.h"

namespace durnix {

std::string NormalizeFolder(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/' && folder[folder.size() - 2] == '/') {
    folder.pop_back();
  }
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
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

void Navigation::arrive(int pane, const std::string& folder) {
  folder_[pane] = NormalizeFolder(folder);
  place_[pane] = PlaceOf(places_, folder_[pane]);
  drivePath_[place_[pane]] = folder_[pane];
}

void Navigation::set(int pane, const std::string& folder) {
  arrive(pane, folder);
}

void Navigation::changePlace(int pane, int place) {
  const int other = 1 - pane;
  if (place_[other] == place && !folder_[other].empty()) {
    arrive(pane, folder_[other]);
    return;
  }
  const std::string last = rememberedFolder(place);
  arrive(pane, last.empty() ? places_[static_cast<std::size_t>(place)].top : last);
}

bool Navigation::atTop(int pane) const {
  return folder_[pane] == places_[static_cast<std::size_t>(place_[pane])].top;
}

bool Navigation::up(int pane) {
  if (atTop(pane)) return false;
  const std::optional<std::string> parent = ParentFolder(folder_[pane]);
  if (!parent) return false;
  arrive(pane, *parent);
  return true;
}

void Navigation::root(int pane) {
  arrive(pane, places_[static_cast<std::size_t>(place_[pane])].top);
}

void Navigation::enter(int pane, const std::string& name) {
  arrive(pane, folder_[pane] + name);
}

}  // namespace durnix
