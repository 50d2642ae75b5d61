// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the file operations ask of the main window: its panes listed anew, deleted entries put in
// the desktop's trash, the progress of a folder copy shown (and stopped), the hourglass. Copy,
// Move and files dropped work on a thread of their own (a WindowRun); the other operations on
// the windows' thread.

#include <QString>

#include "shell/file_operations.h"

namespace durnix {

class FrmDurnix;
class WindowRun;

class WindowOperationHost : public OperationHost {
 public:
  // `trash`: deleted entries go to the desktop's trash where the file system has one.
  WindowOperationHost(FrmDurnix& window, FileSystem& files, bool trash)
      : window_(window), files_(files), trash_(trash) {}
  ~WindowOperationHost() override;

  void Refresh(int pane) override;
  bool AboveComputerLevel(int pane) override;
  bool UsesTrash() override;
  Status MoveToTrash(const std::string& path, int& error) override;
  void SetBusy(bool busy) override;

 private:
  FrmDurnix& window_;
  FileSystem& files_;
  bool trash_;
  int busy_ = 0;
};

// The host of an operation at work in `run`: the window's host on the windows' thread, the
// progress in the run's window, Stop between two files of a folder copy.
class RunOperationHost : public OperationHost {
 public:
  RunOperationHost(WindowOperationHost& host, WindowRun& run) : host_(host), run_(run) {}

  void Refresh(int pane) override;
  bool AboveComputerLevel(int pane) override;
  bool UsesTrash() override;
  Status MoveToTrash(const std::string& path, int& error) override;
  bool Progress(const CopyProgress& progress) override;
  bool Stopped() override;
  void SetBusy(bool busy) override;

 private:
  WindowOperationHost& host_;
  WindowRun& run_;
};

// "3 of 10 files, 1.2 MB of 5.0 MB": the line of a folder copy's progress.
QString ProgressText(const CopyProgress& progress);

}  // namespace durnix
