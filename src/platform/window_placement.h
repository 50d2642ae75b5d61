// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Windows are placed by their frames, title bar included: a window the window manager puts
// beside another must still show its title bar on the screen.

class QWidget;

namespace durnix {

// Moves a shown window so that its frame lies inside the available area of its screen, as far
// as the frame fits; done again once the window manager has framed the window.
void KeepFrameOnScreen(QWidget* window);

}  // namespace durnix
