// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a conversion run asks of the main window: the status lines, the busy pointer, the new
// files in the destination list, the stamp editor. A run of thousands of files keeps the window
// as responsive as it must be and no more: the window repaints at most every 100 ms, written
// files are added to the destination list as they come, and both lists are read from disk
// once, at the end.

#include <QElapsedTimer>
#include <string>

#include "convert/batch.h"

namespace durnix {

class FilePane;
class FrmDurnix;

class WindowConversionHost : public ConversionHost {
 public:
  WindowConversionHost(FrmDurnix& window, FilePane& source, FilePane& destination);
  ~WindowConversionHost() override;

  void SetSourceStatus(const std::string& text) override;
  void SetDestinationStatus(const std::string& text) override;
  void SetBusy(bool busy) override;
  void RefillDestinationList() override;
  void RefreshBothLists() override;
  void LetEventsRun() override;
  void ShowStampData() override;
  void CloseStampEditor() override;
  void EditStampDataModal() override;
  void FileDone(const FileOutcome& outcome) override;

 private:
  FrmDurnix& window_;
  FilePane& source_;
  FilePane& destination_;
  bool busy_ = false;
  QElapsedTimer sinceEvents_;
};

}  // namespace durnix
