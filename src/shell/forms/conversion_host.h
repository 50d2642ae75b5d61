// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a conversion run asks of the main window: the status lines, the busy pointer, the new
// files in the destination list, the stamp editor, the progress and Stop. The run works on a
// thread of its own (a WindowRun): what it shows is sent to the windows' thread, the stamp
// editor and the lists read anew run there while the run waits. Written files are added to the
// destination list as they come, and both lists are read from disk once, at the end.

#include <string>

#include "convert/batch.h"

namespace durnix {

class FilePane;
class FrmDurnix;
class WindowRun;

class WindowConversionHost : public ConversionHost {
 public:
  WindowConversionHost(FrmDurnix& window, FilePane& source, FilePane& destination, WindowRun& run);
  // The host goes on the run's thread once what it sent to the windows' thread has run there
  // (the run ends with a call on that thread); the run ends every busy time it began.
  ~WindowConversionHost() override;

  void SetSourceStatus(const std::string& text) override;
  void SetDestinationStatus(const std::string& text) override;
  void SetBusy(bool busy) override;
  void RefillDestinationList() override;
  void RefreshBothLists() override;
  void EntryBegins(int index, int count, const std::string& name) override;
  bool StopRequested() override;
  void ShowStampData() override;
  void CloseStampEditor() override;
  void EditStampDataModal() override;
  void FileDone(const FileOutcome& outcome) override;

 private:
  FrmDurnix& window_;
  FilePane& source_;
  FilePane& destination_;
  WindowRun& run_;
  bool busy_ = false;  // on the windows' thread
};

}  // namespace durnix
