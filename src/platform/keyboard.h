// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace durnix {

// The keyboard's Scroll Lock toggle, which the viewer uses as a mode switch (on: the arrow keys
// pan). Where the window system lets a program read and set it (X11 with the "Scroll Lock"
// indicator), the real toggle is used; elsewhere the program keeps a toggle of its own, which the
// Scroll Lock key and the viewer's pop-up "Scroll" change.
class ScrollLock {
 public:
  static bool IsOn();
  static void Set(bool on);
  // The Scroll Lock key was pressed in one of the program's windows: where the window system
  // has not toggled the state itself (it is as last seen), the program does.
  static void KeyPressed();
  // True when the state is the keyboard's own, false when it is the program's.
  static bool IsReal();
};

// Switches the toggle off, as the program does when it ends.
void SwitchScrollLockOff();

}  // namespace durnix
