// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The viewer windows of the program: the View Spectrum command opens them in 20 numbered slots
// (the numbers reused in turn), each RUMP or SENRAS spectrum with its header window beside it,
// which closes with its viewer.

#include <QPointer>
#include <array>

#include "convert/preferences.h"
#include "viewer/forms/frm_view.h"
#include "viewer/view_command.h"

namespace durnix {

class FrmRump;
class ViewerDialogs;

class ViewerWindows : public ViewerOpener {
 public:
  ViewerWindows(FileSystem& files, Prompter& prompter, ViewerDialogs& dialogs)
      : files_(files), prompter_(prompter), dialogs_(dialogs) {}
  // The windows still open go with the program's main window.
  ~ViewerWindows() override;

  // The View Spectrum command on a pane's selection, with the preferences' format and defaults.
  void ViewSpectrum(const std::string& folder, const std::vector<std::string>& names,
                    const std::vector<int>& attributes, const Preferences& prefs,
                    const std::string& sourceFormat);

  void OpenViewer(ViewedSpectrum& spectrum) override;

  FrmView* viewer(int number) const { return ViewerWindows_[Slot(number)]; }
  FrmRump* rumpView(int number) const { return RumpViewWindows_[Slot(number)]; }
  bool RumpViewOpen(int number) const { return RumpViewOpen_[static_cast<std::size_t>(number)]; }
  int ViewerNumber() const { return numbering_.ViewerNumber; }

  // The element database the viewers mark X-ray lines and surface edges from.
  void setElementDatabase(std::string path) { elementDatabase_ = std::move(path); }
  // The periodic table's "Mark in viewer": the element's lines in the viewer last active.
  void markInViewer(const QString& symbol);

 private:
  static std::size_t Slot(int number) { return static_cast<std::size_t>(number - 1); }
  void viewerClosed(const QString& title);

  FileSystem& files_;
  Prompter& prompter_;
  ViewerDialogs& dialogs_;
  const Preferences* prefs_ = nullptr;
  ViewerNumbering numbering_;
  std::array<QPointer<FrmView>, kViewerSlots> ViewerWindows_;
  std::array<QPointer<FrmRump>, kViewerSlots> RumpViewWindows_;
  std::array<bool, kViewerSlots + 1> RumpViewOpen_{};
  std::vector<QPointer<QWidget>> opened_;  // every window opened, also those no slot holds
  QPointer<FrmView> last_;                 // the last viewer that View Spectrum opened
  QPointer<FrmView> active_;               // the viewer last active
  std::string elementDatabase_;
};

}  // namespace durnix
