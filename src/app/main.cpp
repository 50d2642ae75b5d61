// SPDX-License-Identifier: GPL-3.0-or-later
// durnix: the desktop program. It takes no command-line options; everything starts from the
// main window.

#include <QApplication>
#include <csignal>

#include "durnix/version.h"
#include "shell/forms/frm_durnix.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Durnix");
  QApplication::setApplicationVersion(durnix::kProgramVersion);
  // A file that outgrows the user's size limit is a write that fails, told as such.
  std::signal(SIGXFSZ, SIG_IGN);
  durnix::FrmDurnix window;
  window.show();
  return QApplication::exec();
}
