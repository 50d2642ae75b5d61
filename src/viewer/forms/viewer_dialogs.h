// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The dialogs a viewer opens besides its message boxes: the platform's file dialogs, the input
// box and frmResol. The program shows real ones; tests answer in their place.

#include <QPoint>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace durnix {

class ViewerDialogs {
 public:
  virtual ~ViewerDialogs() = default;
  // The open-file dialog of Add, Subtract and Compare: the chosen path, empty when cancelled.
  virtual QString openSpectrum(QWidget* parent, const QString& title, const QString& folder) = 0;
  // The save dialog ("Save Spectrum"): `filters` are its lines ("All Spectrum files (*.*)",
  // "RUMP (RBS) (*.RBS)", ...), `proposed` the name it starts with, `proposedFor(line)` the
  // name for another line. Returns false when cancelled, else the path and the line chosen.
  virtual bool saveSpectrum(QWidget* parent, const QString& folder, const QStringList& filters,
                            const QString& proposed, const std::function<QString(int)>& proposedFor,
                            QString& path, int& filter) = 0;
  // The input box, starting with `answer` as its text: false when cancelled.
  virtual bool inputText(QWidget* parent, const QString& prompt, const QString& title,
                         QPoint topLeft, QString& answer) = 0;
  // frmResol: 1 after OK (the three texts), 2 after Cancel.
  virtual int askResolution(QWidget* parent, const QString& formula, bool showC, QString& a,
                            QString& b, QString& c) = 0;
  // "Export picture...": the chosen path ending in .png or .svg, empty when cancelled.
  virtual QString exportPicture(QWidget* parent, const QString& proposed) = 0;
  // The regions table's "Export...": the chosen path of the CSV file, empty when cancelled (as a
  // viewer without such a dialog answers).
  virtual QString exportTable(QWidget* parent, const QString& proposed) {
    (void)parent;
    (void)proposed;
    return {};
  }
};

// The real dialogs.
ViewerDialogs& PlatformViewerDialogs();

}  // namespace durnix
