// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The file operations of the main window: Copy and Move of the active pane's selection into the
// other pane's folder, Delete, Rename (by the menu and in the list), Make Dir, and files dropped
// from outside the program. The runs ask through a Prompter and reach the window through an
// OperationHost; all file access goes through the FileSystem.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "convert/prompter.h"
#include "formats/file_system.h"
#include "shell/file_list.h"

namespace durnix {

// How a folder copy goes on.
struct CopyProgress {
  int filesDone = 0;
  int filesTotal = 0;
  long long bytesDone = 0;
  long long bytesTotal = 0;
  std::string current;  // the file being copied, as the questions name it
};

// What the runs ask of the window.
class OperationHost {
 public:
  virtual ~OperationHost() = default;
  // Lists a pane anew (its selection is emptied, it becomes the active pane).
  virtual void Refresh(int pane) = 0;
  // Whether a pane shows a network level at or above the computer level (no folder).
  virtual bool AboveComputerLevel(int) { return false; }
  // Whether Delete puts entries into the desktop's trash; without a trash they are removed for
  // good (RemoveEntry of folder_tree.h).
  virtual bool UsesTrash() { return true; }
  // Puts an entry of Delete, a folder with everything in it, into the desktop's trash. Returns 0,
  // or a failure status, with the system's error number in `error` where there is one, when no
  // trash can take it; the entry is then where it was.
  virtual Status MoveToTrash(const std::string& path, int& error) = 0;
  // A folder copy: called before its first file, before each file and at its end; false when the
  // user cancelled. EndProgress follows every folder copy that began, however it ended.
  virtual bool Progress(const CopyProgress&) { return true; }
  virtual void EndProgress() {}
  // Whether the user asked the run to stop; looked at before each entry of the selection.
  virtual bool Stopped() { return false; }
  // The hourglass pointer while a run works.
  virtual void SetBusy(bool) {}
};

// The panes as a run of Copy, Move or Delete sees them.
struct OperationPanes {
  int active = 0;                       // the pane the selection belongs to
  std::array<std::string, 2> folders;   // PanePath of each pane, ending in "/"
  Selection selection;                  // the active pane's selection list
  std::vector<std::string> otherNames;  // the file names of the other pane's list rows
};

// Files dropped onto a pane from outside the program.
struct DropRequest {
  int pane = 0;                        // the pane dropped on
  std::string folder;                  // its PanePath, ending in "/"
  std::vector<std::string> listNames;  // the file names of its list rows
  std::vector<std::string> items;      // the dropped paths, absolute
  bool move = false;                   // exactly Shift was held
};

enum class RunEnd {
  kNothing,    // nothing to do, or stopped before it began
  kFinished,   // every entry done or skipped by an answer
  kCancelled,  // Cancel in a question or in the progress of a folder copy
  kFailed,     // a failure ended the run, after its message
};

struct OperationResult {
  RunEnd end = RunEnd::kNothing;
  int done = 0;  // entries copied, moved or deleted
};

// What an input box shows; the window shows it and hands the answer back.
struct InputBoxRequest {
  std::string title;
  std::string prompt;
  std::string defaultText;
  std::string oldName;        // Rename: the entry to rename
  bool besideCentre = false;  // top-left corner 3200 twips left of and 1000 above the window's
                              // centre (Make Dir)
};

// The messages of the operations.
inline constexpr const char* kNothingSelected = "No files are selected !!";
inline constexpr const char* kCopyFailed =
    "Can not write the file(s)\r\n"
    "Media is full or not ready or write protected or used now or network violation";
// Asked (Yes, No) when no trash can take an entry of Delete: path + kNoTrash.
inline constexpr const char* kNoTrash = " can not be moved to the trash.\r\nDelete it for good ?";
inline constexpr const char* kDeleteFailed =
    "Can not delete the file(s)\r\n"
    "Media is not ready or write protected or used now or network violation";

class FileOperations {
 public:
  FileOperations(FileSystem& files, Prompter& prompter, OperationHost& host)
      : files_(files), prompter_(prompter), host_(host) {}

  // Copies (or, with `moveMode`, moves) the selection into the other pane's folder. The window
  // clears its MoveMode whenever this returns.
  OperationResult Copy(const OperationPanes& panes, bool moveMode);
  // Deletes the selection, through the host's Discard.
  OperationResult Delete(const OperationPanes& panes);
  // Copies or moves files and folders dropped from outside the program.
  OperationResult Drop(const DropRequest& drop);

  // Rename by the menu: the input box to show, or nothing (after "No files are selected !!" when
  // there is nothing to rename). Rename then renames `oldName` to the answer.
  std::optional<InputBoxRequest> RenamePrompt(int pane, const std::string& folder,
                                              const std::string& focusedName, int selectedCount);
  void Rename(int pane, const std::string& folder, const std::string& oldName,
              const std::string& answer);
  // Rename after the name of `row` was edited in the list to `editedText`; an edited name without
  // "." keeps the row's extension.
  void RenameInList(int pane, const std::string& folder, const FileRow& row,
                    const std::string& editedText);
  // Make Dir: the input box to show (nothing on a network level), then the folder made.
  std::optional<InputBoxRequest> MakeDirPrompt(int pane, const std::string& folder);
  void MakeDir(int pane, const std::string& folder, const std::string& answer);

 private:
  void renameEntry(int pane, const std::string& folder, const std::string& oldName,
                   const std::string& newName);
  void showSystemError(int error);

  FileSystem& files_;
  Prompter& prompter_;
  OperationHost& host_;
};

// Why Rename or Make Dir refuses `name` (one that IsEntryName refuses: "a/../b", "..").
std::string NotAnEntryNameText(const std::string& name);

// The name that an entry renamed in the list gets: the edited text, trimmed, followed by "." and
// the row's extension when the text holds no "." ("run1" for data.rbs gives "run1.rbs").
std::string NameEditedInList(const FileRow& row, const std::string& editedText);

}  // namespace durnix
