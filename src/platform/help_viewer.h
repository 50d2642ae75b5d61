// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The help file Durnix.hlp, a folder of HTML pages beside the program, shown in a help window at
// a topic number: 1000 contents, 1006 licence, 1007 version information, 1012 the viewer.

#include <QString>

class QWidget;

namespace durnix {

class HelpViewer {
 public:
  // Sets the folder of the help pages (the program's folder + "Durnix.hlp").
  static void SetHelpFile(const QString& folder);
  // Opens the help window at a topic; errors (a missing page) are ignored.
  static void ShowTopic(int topic);
  // Closes the help window, as the program does when it ends.
  static void Quit();
  // The window, while it is open (for tests).
  static QWidget* Window();
};

}  // namespace durnix
