// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/file_operations.h"

#include <cerrno>
#include <unordered_map>

#include "convert/batch.h"
#include "formats/text_rules.h"
#include "shell/folder_tree.h"

namespace durnix {

namespace {

constexpr const char* kCrlf = "\r\n";

bool isAnyOf(int answer, int a, int b, int c = -1) {
  return answer == a || answer == b || answer == c;
}

bool parentAlone(const Selection& selection) {
  return selection.count() == 1 && selection.names[0] == "..";
}

// The names of a pane's list, ignoring case, as the "already exist" question looks them up.
class ListNames {
 public:
  explicit ListNames(const std::vector<std::string>& names) {
    for (const std::string& name : names) add(name);
  }
  void add(const std::string& name) { names_.emplace(UpperAscii(name), name); }
  // The path of the target of `name` in `folder` when the list or the disk has one, else empty.
  std::string existing(FileSystem& files, const std::string& folder,
                       const std::string& name) const {
    const auto it = names_.find(UpperAscii(name));
    if (it != names_.end()) return folder + it->second;
    return files.Exists(folder + name) ? folder + name : std::string();
  }

 private:
  std::unordered_map<std::string, std::string> names_;
};

// What became of one entry.
enum class Step { kDone, kSkipped, kStop };

// One run of one command, with the answers that hold for the rest of it.
class Run {
 public:
  Run(FileSystem& files, Prompter& prompter, OperationHost& host)
      : files_(files), prompter_(prompter), host_(host) {}

  OperationResult result() const { return result_; }
  void count() { ++result_.done; }

  // Copy steps 3.2 to 3.6 for one file; `existing` is the path of the target already there.
  Step copyFile(const std::string& from, const std::string& to, const std::string& name,
                const std::string& existing, bool last) {
    if (!existing.empty()) {
      if (!isAnyOf(overwrite_, kAnswerOverwriteAll, kAnswerSkipAll, kAnswerOverwriteAllOlder)) {
        overwrite_ = prompter_.AskExtended("File " + name + " is already exist. Overwrite it ?",
                                           last ? kSetOverwriteLast : kSetOverwriteMany,
                                           {Question::kOverwrite, {}});
      }
      if (overwrite_ == kAnswerCancel) return cancel();
      if (isAnyOf(overwrite_, kAnswerNo, kAnswerSkip, kAnswerSkipAll)) return Step::kSkipped;
      if (isAnyOf(overwrite_, kAnswerOverwriteOlder, kAnswerOverwriteAllOlder)) {
        FileEntry source, target;
        if (files_.Stat(from, source) == kDone && files_.Stat(existing, target) == kDone &&
            source.modified <= target.modified) {
          return Step::kSkipped;
        }
      }
    }
    FileEntry source;
    if (const FileResult look = files_.Stat(from, source); look != kDone) {
      return fail(kCopyFailed, look.error);
    }
    // The copy is written beside the target and put in its place whole, so a failure leaves
    // the target as it was, read-only again when it was.
    FileEntry target;
    const bool unlocked = files_.Stat(to, target) == kDone && target.readOnly;
    if (unlocked) {
      if (const FileResult unlock = files_.SetReadOnly(to, false); unlock != kDone) {
        return fail(kCopyFailed, unlock.error);
      }
    }
    if (const FileResult copied = files_.Copy(from, to, true); copied != kDone) {
      if (unlocked) files_.SetReadOnly(to, true);
      return fail(kCopyFailed, copied.error);
    }
    FileEntry copy;
    if (const FileResult look = files_.Stat(to, copy); look != kDone) {
      return fail(kCopyFailed, look.error);
    }
    if (copy.bytes != source.bytes) return fail(kCopyFailed, EIO);
    if (source.readOnly) {
      if (const FileResult lock = files_.SetReadOnly(to, true); lock != kDone) {
        return fail(kCopyFailed, lock.error);
      }
    }
    return Step::kDone;
  }

  // Move step 3.7: the source of a good copy goes, after a question when it is not normal.
  Step removeSource(const std::string& path, const std::string& name, int attributes, bool last) {
    if (!IsNormalFile(attributes)) {
      if (!isAnyOf(notNormal_, kAnswerSkipAll, kAnswerDeleteAll)) {
        notNormal_ =
            prompter_.AskExtended("File " + name + " is not a normal file. Delete it anyway ?",
                                  last ? kSetDeleteLast : kSetDeleteMany, {Question::kMessage, {}});
      }
      if (notNormal_ == kAnswerCancel) return cancel();
      if (!isAnyOf(notNormal_, kAnswerDelete, kAnswerDeleteAll)) return Step::kSkipped;
      if ((attributes & kAttrReadOnly) != 0) {
        if (const FileResult unlock = files_.SetReadOnly(path, false); unlock != kDone) {
          return fail(kDeleteFailed, unlock.error);
        }
      }
    }
    if (const FileResult removal = files_.Remove(path); removal != kDone) {
      return fail(kDeleteFailed, removal.error);
    }
    return Step::kDone;
  }

  // Copies (or moves) the folder `from` into `toFolder` as `name`; `shown` names it in the
  // messages.
  Step copyFolder(const std::string& from, const std::string& toFolder, const std::string& name,
                  const std::string& shown, bool move, bool last) {
    const std::string to = toFolder + name;
    if (PathWithin(from, to)) return refuse(shown + " can not be copied into itself !!");
    if (move && !files_.Exists(to)) {
      const FileResult renamed = files_.Rename(from, to);
      if (renamed == kDone) return Step::kDone;
      // Only another file system is a reason to copy instead.
      if (renamed.error != EXDEV) return fail(kCopyFailed, renamed.error);
    }
    FolderTree tree;
    switch (ReadTree(files_, from, tree)) {
      case TreeRead::kComplete:
        break;
      case TreeRead::kUnreadable:
        return refuse(SystemErrorText(tree.error));
      case TreeRead::kLoop:
        return refuse(shown + " holds a link to one of its own directories !!");
    }
    if (TreeHoldsFolder(files_, from, tree, toFolder)) {
      return refuse(shown + " can not be copied into itself !!");
    }
    if (!makeFolder(to)) return Step::kStop;

    std::size_t lastFile = tree.items.size();
    for (std::size_t i = 0; i < tree.items.size(); ++i) {
      if (!tree.items[i].folder) lastFile = i;
    }
    CopyProgress progress{0, tree.files, 0, tree.bytes, shown};
    std::vector<bool> moved(tree.items.size(), false);
    const auto stop = [&](Step step) {
      host_.EndProgress();
      return step;
    };
    // A cancelled copy says how far it came; the files copied are whole, the rest not begun.
    const auto cancelled = [&] {
      host_.EndProgress();
      prompter_.Ask(std::string(move ? "Move" : "Copy") +
                        " cancelled: " + std::to_string(progress.filesDone) + " of " +
                        std::to_string(progress.filesTotal) + " files copied",
                    StandardButtons::kOk);
      return cancel();
    };
    if (!host_.Progress(progress)) return cancelled();
    for (std::size_t i = 0; i < tree.items.size(); ++i) {
      const TreeItem& item = tree.items[i];
      const std::string source = from + "/" + item.path;
      const std::string target = to + "/" + item.path;
      if (item.folder) {
        if (!makeFolder(target)) return stop(Step::kStop);
        continue;
      }
      progress.current = shown + "/" + item.path;
      if (!host_.Progress(progress)) return cancelled();
      const Step step =
          copyFile(source, target, progress.current, files_.Exists(target) ? target : std::string(),
                   last && i == lastFile);
      if (step == Step::kStop) return stop(step);
      moved[i] = step == Step::kDone;
      ++progress.filesDone;
      progress.bytesDone += item.bytes;
    }
    progress.current.clear();
    host_.Progress(progress);
    host_.EndProgress();
    // Once their entries are in, the folders get their sources' times (where the file system
    // allows it), and read-only ones are made so.
    for (std::size_t i = tree.items.size(); i-- > 0;) {
      if (!tree.items[i].folder) continue;
      const std::string folder = to + "/" + tree.items[i].path;
      files_.SetModified(folder, tree.items[i].modified);
      if (tree.items[i].readOnly) files_.SetReadOnly(folder, true);
    }
    files_.SetModified(to, tree.root.modified);
    if (tree.root.readOnly) files_.SetReadOnly(to, true);
    if (!move) return Step::kDone;
    if (const FileResult removal = RemoveMovedTree(files_, from, tree, moved); removal != kDone) {
      return fail(kDeleteFailed, removal.error);
    }
    return Step::kDone;
  }

  // Delete step 3 for one entry.
  Step deleteEntry(const std::string& path, const std::string& name, int attributes, bool last) {
    const int set = last ? kSetDeleteLast : kSetDeleteMany;
    if (!IsFolderEntry(attributes)) {
      if (!IsNormalFile(attributes)) {
        if (!isAnyOf(notNormal_, kAnswerSkipAll, kAnswerDeleteAll)) {
          notNormal_ = prompter_.AskExtended(path + " is not a normal file. Delete it ?", set,
                                             {Question::kMessage, {}});
        }
        if (notNormal_ == kAnswerCancel) return cancel();
        if (!isAnyOf(notNormal_, kAnswerDelete, kAnswerDeleteAll)) return Step::kSkipped;
        if ((attributes & kAttrReadOnly) != 0) {
          if (const FileResult unlock = files_.SetReadOnly(path, false); unlock != kDone) {
            return fail(kDeleteFailed, unlock.error);
          }
        }
      }
      return discard(path);
    }
    if (!isAnyOf(folder_, kAnswerSkipAll, kAnswerDeleteAll)) {
      folder_ = prompter_.AskExtended(
          name + " is a directory and maybe not empty." + kCrlf + "Continue ?", set,
          {Question::kMessage, {}});
    }
    if (folder_ == kAnswerCancel) return cancel();
    if (!isAnyOf(folder_, kAnswerDelete, kAnswerDeleteAll)) return Step::kSkipped;
    if (attributes == 16 || attributes == 48) return discard(path);
    const char* kind = nullptr;
    switch (attributes) {
      case 17:
      case 19:
      case 21:
      case 23:
      case 49:
      case 51:
      case 53:
      case 55:
        kind = "read only";
        break;
      case 18:
      case 22:
      case 50:
      case 54:
        kind = "hidden";
        break;
      case 20:
      case 52:
        kind = "system";
        break;
      default:
        break;
    }
    if (kind == nullptr) {
      return isAnyOf(folderKind_, kAnswerDelete, kAnswerDeleteAll) ? discard(path) : Step::kSkipped;
    }
    if (!isAnyOf(folderKind_, kAnswerSkipAll, kAnswerDeleteAll)) {
      folderKind_ =
          prompter_.AskExtended(name + " is a " + kind + " directory." + kCrlf + "Continue ?", set,
                                {Question::kMessage, {}});
    }
    if (folderKind_ == kAnswerCancel) return cancel();
    if (!isAnyOf(folderKind_, kAnswerDelete, kAnswerDeleteAll)) return Step::kSkipped;
    return discard(path);
  }

  // Before each entry of a selection: a Stop asked for ends the run there.
  bool stopped() {
    if (!host_.Stopped()) return false;
    result_.end = RunEnd::kCancelled;
    return true;
  }
  Step cancel() {
    result_.end = RunEnd::kCancelled;
    return Step::kStop;
  }
  // Ends the run with a message of its own.
  Step refuse(const std::string& message) {
    prompter_.Ask(message, StandardButtons::kOk, {Question::kRunEnds, {}});
    result_.end = RunEnd::kFailed;
    return Step::kStop;
  }

 private:
  // Ends the run with a message and the system's reason.
  Step fail(const char* message, int error) {
    prompter_.Ask(message, StandardButtons::kOk, {Question::kRunEnds, SystemErrorText(error)});
    result_.end = RunEnd::kFailed;
    return Step::kStop;
  }
  // A folder of a copy: made, or there already.
  bool makeFolder(const std::string& path) {
    FileEntry entry;
    if (files_.Stat(path, entry) == kDone) {
      if (entry.kind == EntryKind::kFolder) return true;
      fail(kCopyFailed, EEXIST);
      return false;
    }
    const FileResult made = files_.MakeFolder(path);
    if (made == kDone) return true;
    fail(kCopyFailed, made.error);
    return false;
  }
  // Deleted into the trash; where no trash takes it, removed for good after a question.
  Step discard(const std::string& path) {
    int error = 0;
    if (host_.UsesTrash()) {
      if (host_.MoveToTrash(path, error) == kDone) return Step::kDone;
      if (prompter_.Ask(path + kNoTrash, StandardButtons::kYesNo,
                        {Question::kMessage, SystemErrorText(error)}) != kAnswerYes) {
        return Step::kSkipped;
      }
    }
    if (const FileResult removal = RemoveEntry(files_, path); removal != kDone) {
      return fail(kDeleteFailed, removal.error);
    }
    return Step::kDone;
  }

  FileSystem& files_;
  Prompter& prompter_;
  OperationHost& host_;
  OperationResult result_{RunEnd::kFinished, 0};
  int overwrite_ = 0;   // the overwrite answer
  int notNormal_ = 0;   // the not-normal answer
  int folder_ = 0;      // the folder answer (Delete)
  int folderKind_ = 0;  // the folder-attribute answer (Delete)
};

// Refreshes a pane after each entry of a short run, and once at the end of a long one.
class PaneRefresh {
 public:
  PaneRefresh(OperationHost& host, int pane, int entries)
      : host_(host), pane_(pane), many_(entries > 10) {}
  void changed() { changed_ = true; }
  void afterEntry() {
    if (!many_ && changed_) refresh();
  }
  void atEnd() {
    if (many_ || changed_) refresh();
  }

 private:
  void refresh() {
    host_.Refresh(pane_);
    changed_ = false;
  }
  OperationHost& host_;
  int pane_;
  bool many_;
  bool changed_ = false;
};

}  // namespace

OperationResult FileOperations::Copy(const OperationPanes& panes, bool moveMode) {
  const int a = panes.active;
  const int b = 1 - a;
  const std::string& source = panes.folders[a == 0 ? 0 : 1];
  const std::string& target = panes.folders[a == 0 ? 1 : 0];
  const Selection& selection = panes.selection;
  if (selection.count() == 0) {
    prompter_.Ask(kNothingSelected, StandardButtons::kOk);
    host_.Refresh(a);
    return {};
  }
  if (host_.AboveComputerLevel(a) || host_.AboveComputerLevel(b) || parentAlone(selection) ||
      SameFolder(files_, source, target)) {
    return {};
  }
  host_.SetBusy(true);
  Run run(files_, prompter_, host_);
  ListNames names(panes.otherNames);
  PaneRefresh refreshB(host_, b, selection.count());
  for (int k = 0; k < selection.count(); ++k) {
    const std::string& name = selection.names[static_cast<std::size_t>(k)];
    const int attributes = selection.attributes[static_cast<std::size_t>(k)];
    const bool last = k == selection.count() - 1;
    if (name == "..") continue;
    if (run.stopped()) break;
    const std::string from = source + name;
    Step step;
    if (IsFolderEntry(attributes)) {
      step = run.copyFolder(from, target, name, name, moveMode, last);
      refreshB.changed();
    } else {
      step = run.copyFile(from, target + name, name, names.existing(files_, target, name), last);
      if (step == Step::kDone) {
        refreshB.changed();
        names.add(name);
        if (moveMode) step = run.removeSource(from, name, attributes, last);
      }
    }
    if (step == Step::kStop) break;
    if (step == Step::kDone) run.count();
    refreshB.afterEntry();
  }
  refreshB.atEnd();
  host_.Refresh(a);
  host_.SetBusy(false);
  return run.result();
}

OperationResult FileOperations::Delete(const OperationPanes& panes) {
  const int a = panes.active;
  const Selection& selection = panes.selection;
  if (selection.count() == 0) {
    prompter_.Ask(kNothingSelected, StandardButtons::kOk);
    return {};
  }
  if (host_.AboveComputerLevel(a) || parentAlone(selection)) return {};
  const bool oneFolder = selection.count() == 1 && IsFolderEntry(selection.attributes[0]);
  if (!oneFolder &&
      prompter_.Ask(NumberText(selection.count()) + " files will be deleted. Are you sure ?",
                    StandardButtons::kYesNo) != kAnswerYes) {
    return {};
  }
  host_.SetBusy(true);
  Run run(files_, prompter_, host_);
  for (int k = 0; k < selection.count(); ++k) {
    const std::string& name = selection.names[static_cast<std::size_t>(k)];
    if (name == "..") continue;
    const Step step = run.deleteEntry(panes.folders[a == 0 ? 0 : 1] + name, name,
                                      selection.attributes[static_cast<std::size_t>(k)],
                                      k == selection.count() - 1);
    if (step == Step::kStop) break;
    if (step == Step::kDone) run.count();
  }
  host_.Refresh(a);
  host_.SetBusy(false);
  return run.result();
}

OperationResult FileOperations::Drop(const DropRequest& drop) {
  if (drop.items.empty() || host_.AboveComputerLevel(drop.pane)) return {};
  host_.SetBusy(true);
  Run run(files_, prompter_, host_);
  ListNames names(drop.listNames);
  PaneRefresh refresh(host_, drop.pane, static_cast<int>(drop.items.size()));
  std::string lastFolder;
  bool lastSame = false;
  for (std::size_t i = 0; i < drop.items.size(); ++i) {
    std::string item = drop.items[i];
    while (item.size() > 1 && item.back() == '/') item.pop_back();
    const bool last = i + 1 == drop.items.size();
    const auto slash = item.rfind('/');
    if (slash == std::string::npos || slash + 1 == item.size()) continue;
    const std::string folder = item.substr(0, slash + 1);
    const std::string name = item.substr(slash + 1);
    if (folder != lastFolder) {
      lastFolder = folder;
      lastSame = SameFolder(files_, folder, drop.folder);
    }
    if (lastSame) continue;
    if (run.stopped()) break;
    FileEntry entry;
    if (const FileResult look = files_.Stat(item, entry); look != kDone) {
      run.refuse(SystemErrorText(look.error));
      break;
    }
    Step step;
    if (entry.kind == EntryKind::kFolder) {
      step = run.copyFolder(item, drop.folder, name, item, drop.move, last);
      refresh.changed();
    } else {
      step = run.copyFile(item, drop.folder + name, item, names.existing(files_, drop.folder, name),
                          last);
      if (step == Step::kDone) {
        refresh.changed();
        names.add(name);
        if (drop.move) step = run.removeSource(item, item, entry.attributes, last);
      }
    }
    if (step == Step::kStop) break;
    if (step == Step::kDone) run.count();
    refresh.afterEntry();
  }
  refresh.atEnd();
  host_.SetBusy(false);
  return run.result();
}

std::optional<InputBoxRequest> FileOperations::RenamePrompt(int pane, const std::string& folder,
                                                            const std::string& focusedName,
                                                            int selectedCount) {
  if (focusedName == ".." || focusedName.empty() || selectedCount == 0) {
    prompter_.Ask(kNothingSelected, StandardButtons::kOk);
    return std::nullopt;
  }
  if (host_.AboveComputerLevel(pane)) return std::nullopt;
  return InputBoxRequest{"Rename", "Old name : " + folder + focusedName, focusedName, focusedName,
                         false};
}

void FileOperations::Rename(int pane, const std::string& folder, const std::string& oldName,
                            const std::string& answer) {
  const std::string newName(Trim(answer));
  if (newName.empty()) return;
  renameEntry(pane, folder, oldName, newName);
}

std::string NameEditedInList(const FileRow& row, const std::string& editedText) {
  std::string name(Trim(editedText));
  if (name.find('.') == std::string::npos && !row.extension.empty()) {
    name += "." + row.extension;
  }
  return name;
}

void FileOperations::RenameInList(int pane, const std::string& folder, const FileRow& row,
                                  const std::string& editedText) {
  if (row.name == ".." || host_.AboveComputerLevel(pane) || Trim(editedText).empty()) {
    host_.Refresh(pane);
    return;
  }
  renameEntry(pane, folder, row.fileName(), NameEditedInList(row, editedText));
}

void FileOperations::renameEntry(int pane, const std::string& folder, const std::string& oldName,
                                 const std::string& newName) {
  if (newName != oldName) {
    // A name is an entry of this folder, never a way into another.
    if (!IsEntryName(newName)) {
      prompter_.Ask(NotAnEntryNameText(newName), StandardButtons::kOk, {Question::kRunEnds, {}});
    } else if (const FileResult renamed = files_.Rename(folder + oldName, folder + newName);
               renamed != kDone) {
      showSystemError(renamed.error);
    }
  }
  host_.Refresh(1 - pane);
  host_.Refresh(pane);
}

std::optional<InputBoxRequest> FileOperations::MakeDirPrompt(int pane, const std::string& folder) {
  if (host_.AboveComputerLevel(pane)) return std::nullopt;
  return InputBoxRequest{"Make directory", "Base dir : " + folder, "", "", true};
}

void FileOperations::MakeDir(int pane, const std::string& folder, const std::string& answer) {
  const std::string name(Trim(answer));
  if (name.empty()) return;
  if (!IsEntryName(name)) {
    prompter_.Ask(NotAnEntryNameText(name), StandardButtons::kOk, {Question::kRunEnds, {}});
  } else if (const FileResult made = files_.MakeFolder(folder + name); made != kDone) {
    showSystemError(made.error);
  }
  host_.Refresh(pane);
}

std::string NotAnEntryNameText(const std::string& name) {
  return name + " can not be a name: a name is not \".\" or \"..\" and holds no \"/\".";
}

void FileOperations::showSystemError(int error) {
  prompter_.Ask(SystemErrorText(error), StandardButtons::kOk, {Question::kRunEnds, {}});
}

}  // namespace durnix
