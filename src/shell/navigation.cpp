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

void Navigation::remember(int pane) {
  drivePath_[place_[pane]] = folder_[pane];
}

void Navigation::set(int pane, int place, const std::string& folder) {
  place_[pane] = place;
  folder_[pane] = NormalizeFolder(folder);
  remember(pane);
}

void Navigation::changePlace(int pane, int place) {
  const int other = 1 - pane;
  place_[pane] = place;
  if (place_[other] == place && !folder_[other].empty()) {
    folder_[pane] = folder_[other];
    return;
  }
  const std::string last = rememberedFolder(place);
  folder_[pane] = last.empty() ? places_[static_cast<std::size_t>(place)].top : last;
  remember(pane);
}

bool Navigation::up(int pane) {
  const std::optional<std::string> parent = ParentFolder(folder_[pane]);
  if (!parent) return false;
  folder_[pane] = *parent;
  remember(pane);
  return true;
}

void Navigation::root(int pane) {
  folder_[pane] = places_[static_cast<std::size_t>(place_[pane])].top;
  remember(pane);
}

void Navigation::enter(int pane, const std::string& name) {
  folder_[pane] = NormalizeFolder(folder_[pane] + name);
  remember(pane);
}

}  // namespace durnix
