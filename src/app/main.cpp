// SPDX-License-Identifier: GPL-3.0-or-later
// durnix: the desktop program. It takes no command-line options; everything starts from the
// main window.

#include <QApplication>

#include "shell/forms/frm_durnix.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Durnix");
  QApplication::setApplicationVersion("1.52");
  durnix::FrmDurnix window;
  window.show();
  return QApplication::exec();
}
