// SPDX-License-Identifier: GPL-3.0-or-later
// durnix: the desktop program. The files named on its command line (a file manager's "Open
// With") open in viewers, with the source pane on the first one's folder; it takes no other
// options than Qt's own, and everything else starts from the main window.

#include <QApplication>
#include <QIcon>
#include <csignal>

#include "durnix/version.h"
#include "shell/forms/frm_durnix.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Durnix");
  QApplication::setApplicationVersion(durnix::kProgramVersion);
  // The desktop entry and the icon that an installed program has, for the task bar.
  QGuiApplication::setDesktopFileName("durnix");
  QApplication::setWindowIcon(QIcon::fromTheme("durnix"));
  // A file that outgrows the user's size limit is a write that fails, told as such.
  std::signal(SIGXFSZ, SIG_IGN);
  durnix::FrmDurnix window;
  window.show();
  const QStringList files = QApplication::arguments().mid(1);
  if (!files.isEmpty()) window.openFiles(files);
  return QApplication::exec();
}
