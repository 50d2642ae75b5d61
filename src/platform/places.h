// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The places that a Linux user browses, as the panes' drive lists show them: the home folder,
// the file-system root, and every mounted removable, network or optical volume.

#include <QIcon>
#include <vector>

#include "shell/navigation.h"

namespace durnix {

std::vector<Place> MachinePlaces();

// The icon of a place's kind.
QIcon PlaceIcon(PlaceKind kind);

}  // namespace durnix
