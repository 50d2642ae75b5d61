// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the plot writes the labels of its markers: each just above the tip of its line, moved up
// past the labels already placed so that no two overlap, and left out when no room is left.

#include <optional>
#include <vector>

namespace durnix {

// A label to place, in the picture's pixels (y grows downwards).
struct LabelBox {
  double x = 0;      // the marker's line: the label is centred on it
  double tipY = 0;   // the top of the line: the label's bottom edge at most here
  double width = 0;  // the label's size
  double height = 0;
};

// The top-left corner of each label in the order given (those first get the room first), its x
// kept within left..right; nothing for a label that finds no room below `top`, or none within
// `maxRise` above its own place (where lines crowd, the first of them are labelled).
struct LabelPlace {
  double left = 0;
  double top = 0;
};
std::vector<std::optional<LabelPlace>> PlaceLabels(const std::vector<LabelBox>& boxes, double top,
                                                   double left, double right,
                                                   double maxRise = 1e300);

}  // namespace durnix
