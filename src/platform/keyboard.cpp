// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/keyboard.h"

#include <QGuiApplication>

#if DURNIX_HAVE_X11
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

namespace durnix {

void SwitchScrollLockOff() {
#if DURNIX_HAVE_X11
  auto* x11 =
      qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (x11 == nullptr || x11->display() == nullptr) return;
  Display* display = x11->display();
  const Atom scrollLock = XInternAtom(display, "Scroll Lock", True);
  if (scrollLock != None) {
    XkbSetNamedIndicator(display, scrollLock, True, False, False, nullptr);
    XFlush(display);
  }
#endif
}

}  // namespace durnix
