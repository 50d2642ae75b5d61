// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/labels.h"

#include <algorithm>

namespace durnix {

std::vector<std::optional<LabelPlace>> PlaceLabels(const std::vector<LabelBox>& boxes, double top,
                                                   double left, double right, double maxRise) {
  struct Placed {
    double left, top, right, bottom;
  };
  std::vector<Placed> placed;
  std::vector<std::optional<LabelPlace>> places;
  places.reserve(boxes.size());
  for (const LabelBox& box : boxes) {
    const double x = std::max(left, std::min(box.x - box.width / 2, right - box.width));
    double y = box.tipY - box.height;
    const double highest = std::max(top, y - maxRise);
    std::optional<LabelPlace> place;
    while (y >= highest) {
      // The lowest top among the labels this one would overlap: it moves up past them.
      double above = y;
      bool overlaps = false;
      for (const Placed& other : placed) {
        if (x < other.right && x + box.width > other.left && y < other.bottom &&
            y + box.height > other.top) {
          overlaps = true;
          above = std::min(above, other.top - box.height);
        }
      }
      if (!overlaps) {
        place = LabelPlace{x, y};
        placed.push_back({x, y, x + box.width, y + box.height});
        break;
      }
      y = above - 1;
    }
    places.push_back(place);
  }
  return places;
}

}  // namespace durnix
