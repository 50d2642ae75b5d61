// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace durnix {

// Switches the keyboard's Scroll Lock toggle off (the viewer uses it as a mode switch), where the
// window system lets a program do so (X11); elsewhere it does nothing.
void SwitchScrollLockOff();

}  // namespace durnix
