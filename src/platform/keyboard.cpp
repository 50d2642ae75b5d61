// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/keyboard.h"

#include <QGuiApplication>

#if DURNIX_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

namespace durnix {

namespace {

bool ownToggle = false;
// The state as the program last read or set it.
bool lastSeen = false;

#if DURNIX_HAVE_X11
Display* X11Display() {
  auto* x11 =
      qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 != nullptr ? x11->display() : nullptr;
}

// The indicator's atom, or None where the display has no such indicator.
Atom ScrollLockAtom(Display* display) {
  if (display == nullptr) return None;
  const Atom atom = XInternAtom(display, "Scroll Lock", True);
  if (atom == None) return None;
  Bool state = False;
  if (!XkbGetNamedIndicator(display, atom, nullptr, &state, nullptr, nullptr)) return None;
  return atom;
}
#endif

}  // namespace

bool ScrollLock::IsReal() {
#if DURNIX_HAVE_X11
  return ScrollLockAtom(X11Display()) != None;
#else
  return false;
#endif
}

bool ScrollLock::IsOn() {
#if DURNIX_HAVE_X11
  Display* display = X11Display();
  if (const Atom atom = ScrollLockAtom(display); atom != None) {
    Bool state = False;
    XkbGetNamedIndicator(display, atom, nullptr, &state, nullptr, nullptr);
    lastSeen = state != False;
    return lastSeen;
  }
#endif
  lastSeen = ownToggle;
  return ownToggle;
}

void ScrollLock::Set(bool on) {
  ownToggle = on;
  lastSeen = on;
#if DURNIX_HAVE_X11
  Display* display = X11Display();
  if (const Atom atom = ScrollLockAtom(display); atom != None) {
    XkbSetNamedIndicator(display, atom, True, on ? True : False, False, nullptr);
    XFlush(display);
  }
#endif
}

void ScrollLock::KeyPressed() {
  const bool before = lastSeen;
  if (IsOn() == before) Set(!before);
}

void SwitchScrollLockOff() {
  ScrollLock::Set(false);
}

}  // namespace durnix
