// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Windows sized by their texts: a box wide enough for the title bar to show its whole title, and
// the file dialogs, whose Size and Date columns show their texts whole.

#include <QString>

class QFileDialog;
class QWidget;

namespace durnix {

// The outer width at which the title bar of `window` shows `title` whole: the text in the bar's
// bold font, with room for the bar's icon and buttons and the frame.
int TitleFitWidth(const QWidget& window, const QString& title);

// Makes `window`, once its texts are set, at least as wide as its title needs.
void FitTitle(QWidget& window);

// Widens the Size and Date Modified columns of a file dialog that the program draws itself (the
// platform's own dialogs size theirs) to the widest size ("1023.99 KiB") and date they show,
// and the dialog with them.
void FitSizeColumn(QFileDialog& dialog);

// The file dialogs of the program, with those columns: an existing file to open, a file name
// to save as (`proposed` a folder or a path), an existing folder. Empty when cancelled.
QString ChooseOpenFile(QWidget* parent, const QString& caption, const QString& folder,
                       const QString& filter);
QString ChooseSaveFile(QWidget* parent, const QString& caption, const QString& proposed,
                       const QString& filter);
QString ChooseFolder(QWidget* parent, const QString& caption);

}  // namespace durnix
