// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window's conversions, copies and moves work on a thread of their own: a test waits
// for the one it started to end.

#include <QSignalSpy>

#include "shell/forms/frm_durnix.h"

namespace durnix::test {

// True once the window's run has ended (at once when none works), false after `ms`.
inline bool RunEnded(FrmDurnix& window, int ms = 20000) {
  if (window.run() == nullptr) return true;
  QSignalSpy ended(&window, &FrmDurnix::runFinished);
  return ended.wait(ms);
}

}  // namespace durnix::test
