// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/file_operations.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "shell/folder_tree.h"
#include "support/memory_file_system.h"
#include "support/scripted.h"

namespace durnix {
namespace {

using test::ScriptedPrompter;
using Failing = test::MemoryFileSystem::Failing;
using Names = std::vector<std::string>;
using Panes = std::vector<int>;
using Entries = std::vector<std::pair<std::string, int>>;

constexpr auto kOk = StandardButtons::kOk;
constexpr auto kYesNo = StandardButtons::kYesNo;

class Host : public OperationHost {
 public:
  explicit Host(FileSystem& files) : files_(files) {}
  void Refresh(int pane) override { refreshes.push_back(pane); }
  bool UsesTrash() override { return trash; }
  Status MoveToTrash(const std::string& path, int& error) override {
    trashed.push_back(path);
    if (trashError != 0) {
      error = trashError;
      return kCannotCreate;
    }
    const FileResult removal = RemoveEntry(files_, path);
    error = removal.error;
    return removal;
  }
  // Each report as "filesDone/filesTotal bytesDone/bytesTotal current".
  bool Progress(const CopyProgress& p) override {
    progress.push_back(std::to_string(p.filesDone) + "/" + std::to_string(p.filesTotal) + " " +
                       std::to_string(p.bytesDone) + "/" + std::to_string(p.bytesTotal) + " " +
                       p.current);
    return static_cast<int>(progress.size()) != cancelAt;
  }
  void EndProgress() override { ++ends; }
  // Stop is asked for at the look numbered `stopAt` (from 1).
  bool Stopped() override { return ++looks == stopAt; }

  Panes refreshes;
  Names trashed, progress;
  int cancelAt = 0, ends = 0, trashError = 0, looks = 0, stopAt = 0;
  bool trash = true;

 private:
  FileSystem& files_;
};

// Answers every overwrite question with Overwrite and notes the messages.
class Overwriting : public Prompter {
 public:
  int Ask(const std::string& prompt, StandardButtons, const Asking& about) override {
    messages.push_back(prompt);
    reasons.push_back(about.reason);
    return kAnswerOk;
  }
  int AskExtended(const std::string&, int, const Asking&) override { return kAnswerOverwrite; }
  Names messages, reasons;
};

// Plain files, by name.
Entries Plain(const Names& names) {
  Entries entries;
  for (const std::string& name : names) entries.emplace_back(name, 32);
  return entries;
}

class Operations : public ::testing::Test {
 protected:
  OperationPanes panes(Entries entries, Names otherNames = {}, std::string target = "/b/") {
    OperationPanes p;
    p.folders = {"/a/", std::move(target)};
    for (const auto& [name, attributes] : entries) p.selection.add(name, attributes, 0);
    p.otherNames = std::move(otherNames);
    return p;
  }
  OperationResult copy(const OperationPanes& p, bool move = false) {
    const OperationResult result = ops_.Copy(p, move);
    prompter_.verify();
    return result;
  }
  OperationResult remove(const OperationPanes& p) {
    const OperationResult result = ops_.Delete(p);
    prompter_.verify();
    return result;
  }
  void add(const std::string& folder, const Names& names, const std::string& bytes) {
    for (const std::string& name : names) files_.addFile(folder + name, bytes);
  }

  test::MemoryFileSystem files_;
  ScriptedPrompter prompter_;
  Host host_{files_};
  FileOperations ops_{files_, prompter_, host_};
};

std::string Exists(const std::string& name) {
  return "File " + name + " is already exist. Overwrite it ?";
}
std::string Sure(int entries) {
  return " " + std::to_string(entries) + " files will be deleted. Are you sure ?";
}
std::string Folder(const std::string& name, const char* is = "a directory and maybe not empty") {
  return name + " is " + is + ".\r\nContinue ?";
}

TEST_F(Operations, CopyStopsBeforeItBeginsWithNothingToDo) {
  files_.addFile("/a/f.rbs", "new");
  files_.addFolder("/b");
  prompter_.expect(kNothingSelected, kOk, kAnswerOk);
  EXPECT_EQ(copy(panes({})).end, RunEnd::kNothing);
  EXPECT_EQ(host_.refreshes, Panes{0});
  host_.refreshes.clear();
  EXPECT_EQ(copy(panes({{"..", 16}}), true).end, RunEnd::kNothing);
  EXPECT_EQ(copy(panes(Plain({"f.rbs"}), {}, "/a/"), true).end, RunEnd::kNothing);
  EXPECT_TRUE(host_.refreshes.empty());
  // The next Copy copies: nothing of the move was left behind.
  EXPECT_EQ(copy(panes(Plain({"f.rbs"}))).done, 1);
  EXPECT_TRUE(files_.hasFile("/a/f.rbs"));
  EXPECT_EQ(files_.bytesOf("/b/f.rbs"), "new");
  EXPECT_EQ(host_.refreshes, (Panes{1, 0}));
}

TEST_F(Operations, OverwriteQuestionsAndTheirAllAnswers) {
  const Names four = {"f1", "f2", "f3", "f4"};
  add("/b/", four, "old");
  add("/a/", four, "new");
  const auto all = panes(Plain(four), {"F1", "f2", "f3", "f4"});  // case is ignored
  prompter_.expectExtended(Exists("f1"), kSetOverwriteMany, kAnswerOverwrite)
      .expectExtended(Exists("f2"), kSetOverwriteMany, kAnswerSkip)
      .expectExtended(Exists("f3"), kSetOverwriteMany, kAnswerOverwriteAll);
  EXPECT_EQ(copy(all).done, 3);
  EXPECT_EQ(files_.bytesOf("/b/f2"), "old");
  EXPECT_EQ(files_.bytesOf("/b/f4"), "new");
  EXPECT_EQ(host_.refreshes, (Panes{1, 1, 1, 0}));

  add("/b/", four, "old");
  prompter_.expectExtended(Exists("f1"), kSetOverwriteMany, kAnswerSkipAll);
  EXPECT_EQ(copy(all).done, 0);
  EXPECT_EQ(files_.bytesOf("/b/f1"), "old");

  // Cancel ends the run; what was done stays done.
  host_.refreshes.clear();
  prompter_.expectExtended(Exists("f1"), kSetOverwriteMany, kAnswerOverwrite)
      .expectExtended(Exists("f2"), kSetOverwriteMany, kAnswerCancel);
  const OperationResult cancelled = copy(all, true);
  EXPECT_EQ(cancelled.end, RunEnd::kCancelled);
  EXPECT_EQ(cancelled.done, 1);
  EXPECT_FALSE(files_.hasFile("/a/f1"));
  EXPECT_EQ(files_.bytesOf("/b/f1"), "new");
  EXPECT_EQ(files_.bytesOf("/b/f2"), "old");
  EXPECT_TRUE(files_.hasFile("/a/f2"));
  EXPECT_EQ(host_.refreshes, (Panes{1, 0}));

  // Older: only a source later than its target is copied (memory files get later times as made).
  add("/a/", {"older"}, "new");
  add("/b/", {"older", "newer"}, "old");
  add("/a/", {"newer", "equal"}, "new");
  // A source as new as its target is not later: the target stays.
  add("/b/", {"equal"}, "old");
  ASSERT_EQ(files_.SetModified("/b/equal", files_.modifiedOf("/a/equal")), kDone);
  prompter_.expectExtended(Exists("older"), kSetOverwriteMany, kAnswerOverwriteAllOlder);
  const Names three = {"older", "newer", "equal"};
  EXPECT_EQ(copy(panes(Plain(three), three)).done, 1);
  EXPECT_EQ(files_.bytesOf("/b/older"), "old");
  EXPECT_EQ(files_.bytesOf("/b/equal"), "old");
  EXPECT_EQ(files_.bytesOf("/b/newer"), "new");
  // One file asks with the one-item set; No keeps the target.
  prompter_.expectExtended(Exists("f2"), kSetOverwriteLast, kAnswerNo);
  EXPECT_EQ(copy(panes(Plain({"f2"}), {"f2"})).done, 0);
  EXPECT_EQ(files_.bytesOf("/b/f2"), "old");
}

TEST_F(Operations, AFailureAtAnyWriteLosesNothing) {
  const std::pair<std::string, std::string> sources[] = {
      {"f1", "one"}, {"f2", "two"}, {"d1/x", "x"}, {"d1/sub/y", "y"}, {"d2/z", "z"}};
  for (const bool move : {false, true}) {
    bool failed = true;
    for (int n = 1; failed; ++n) {
      ASSERT_LT(n, 40);
      test::MemoryFileSystem files;
      for (const auto& [name, bytes] : sources) files.addFile("/a/" + name, bytes);
      files.addFile("/b/f2", "old two", true);
      files.addFile("/b/d2/z", "old z");
      files.failWrite(n, ENOSPC);
      Overwriting prompter;
      Host host(files);
      OperationPanes p = panes({{"d1", 16}, {"d2", 16}, {"f1", 32}, {"f2", 32}}, {"d2", "f2"});
      const OperationResult result = FileOperations(files, prompter, host).Copy(p, move);
      failed = result.end == RunEnd::kFailed;
      if (failed) {
        EXPECT_EQ(prompter.messages, Names{kCopyFailed});
        EXPECT_EQ(prompter.reasons, Names{"No space left on device"});
      }
      for (const auto& [name, bytes] : sources) {
        if (!move || files.hasFile("/a/" + name)) {
          EXPECT_EQ(files.bytesOf("/a/" + name), bytes) << n << " " << name;
        } else {
          EXPECT_EQ(files.bytesOf("/b/" + name), bytes) << n << " moved " << name;
        }
      }
      const Bytes f2 = files.bytesOf("/b/f2"), z = files.bytesOf("/b/d2/z");
      EXPECT_TRUE(f2 == "old two" || f2 == "two") << n;
      FileEntry target;
      ASSERT_EQ(files.Stat("/b/f2", target), kDone);
      EXPECT_EQ(target.readOnly, f2 == "old two") << n;  // a copy takes the source's
      EXPECT_TRUE(z == "old z" || z == "z") << n;
      if (!failed) {
        EXPECT_EQ(files.namesIn("/a").empty(), move) << n;
        EXPECT_EQ(files.bytesOf("/b/d1/sub/y"), "y");
        EXPECT_EQ(f2, "two");
      }
    }
  }
}

// A Stop asked for while a selection of plain files is moved, copied or dropped ends the run
// before the next entry.
TEST_F(Operations, StopEndsASelectionOfFilesBetweenTwoEntries) {
  for (const char* name : {"f1", "f2", "f3"}) files_.addFile(std::string("/a/") + name, name);
  files_.addFolder("/b");
  host_.stopAt = 2;
  const OperationResult moved = copy(panes(Plain({"f1", "f2", "f3"})), true);
  EXPECT_EQ(moved.end, RunEnd::kCancelled);
  EXPECT_EQ(moved.done, 1);
  EXPECT_EQ(files_.namesIn("/b/"), Names{"f1"});
  EXPECT_EQ(files_.namesIn("/a/"), (Names{"f2", "f3"}));
  host_.looks = 0;
  host_.stopAt = 1;
  EXPECT_EQ(copy(panes(Plain({"f2", "f3"}))).done, 0);
  EXPECT_EQ(files_.namesIn("/b/"), Names{"f1"});
  host_.looks = 0;
  host_.stopAt = 2;
  const OperationResult dropped = ops_.Drop({1, "/b/", {"f1"}, {"/a/f2", "/a/f3"}, false});
  EXPECT_EQ(dropped.end, RunEnd::kCancelled);
  EXPECT_EQ(files_.namesIn("/b/"), (Names{"f1", "f2"}));
}

TEST_F(Operations, FoldersAreCopiedWithProgressQuestionsAndCancel) {
  files_.addFile("/a/dir/a.rbs", "abc");
  files_.addFile("/a/dir/sub/b.rbs", "hello");
  files_.addFile("/b/dir/sub/b.rbs", "old");
  prompter_.expectExtended(Exists("dir/sub/b.rbs"), kSetOverwriteLast, kAnswerOverwrite);
  EXPECT_EQ(copy(panes({{"dir", 16}}, {"dir"})).done, 1);
  EXPECT_EQ(files_.bytesOf("/b/dir/a.rbs"), "abc");
  EXPECT_EQ(files_.bytesOf("/b/dir/sub/b.rbs"), "hello");
  // Start (the folder counted), two files, end.
  EXPECT_EQ(host_.progress,
            (Names{"0/2 0/8 dir", "0/2 0/8 dir/a.rbs", "1/2 3/8 dir/sub/b.rbs", "2/2 8/8 "}));
  EXPECT_EQ(host_.ends, 1);

  // Cancelled before its first file, a move leaves everything where it was, and says so; a copy
  // cancelled part way tells how many files it copied.
  host_.progress.clear();
  host_.cancelAt = 2;
  prompter_.expect("Move cancelled: 0 of 2 files copied", kOk, kAnswerOk);
  EXPECT_EQ(copy(panes({{"dir", 16}}, {"dir"}), true).end, RunEnd::kCancelled);
  EXPECT_EQ(files_.namesIn("/a/dir"), (Names{"a.rbs", "sub"}));
  EXPECT_EQ(host_.ends, 2);
  host_.progress.clear();
  host_.cancelAt = 3;
  files_.addFolder("/c");
  prompter_.expect("Copy cancelled: 1 of 2 files copied", kOk, kAnswerOk);
  EXPECT_EQ(copy(panes({{"dir", 16}}, {}, "/c/")).end, RunEnd::kCancelled);
  EXPECT_EQ(files_.bytesOf("/c/dir/a.rbs"), "abc");
  EXPECT_TRUE(files_.namesIn("/c/dir/sub").empty());
  host_.cancelAt = 0;

  // Into itself: refused.
  prompter_.expect("dir can not be copied into itself !!", kOk, kAnswerOk);
  EXPECT_EQ(copy(panes({{"dir", 16}}, {}, "/a/dir/sub/")).end, RunEnd::kFailed);
  EXPECT_EQ(files_.namesIn("/a/dir/sub"), Names{"b.rbs"});

  // A move merges into the folder there: a skipped file stays with its folder; a folder whose
  // name is free is moved whole.
  files_.addFile("/a/other/c", "c");
  prompter_.expectExtended(Exists("dir/a.rbs"), kSetOverwriteMany, kAnswerOverwrite)
      .expectExtended(Exists("dir/sub/b.rbs"), kSetOverwriteMany, kAnswerSkip);
  EXPECT_EQ(copy(panes({{"dir", 16}, {"other", 16}}, {"dir"}), true).done, 2);
  EXPECT_EQ(files_.namesIn("/a"), Names{"dir"});
  EXPECT_EQ(files_.namesIn("/a/dir"), Names{"sub"});
  EXPECT_EQ(files_.bytesOf("/b/other/c"), "c");
}

TEST_F(Operations, DeleteAsksByKindAndAttributeNumber) {
  files_.addFile("/a/n.rbs", "n");
  prompter_.expect(Sure(1), kYesNo, kAnswerYes);
  EXPECT_EQ(remove(panes(Plain({"n.rbs"}))).done, 1);
  EXPECT_EQ(host_.trashed, Names{"/a/n.rbs"});
  EXPECT_EQ(host_.refreshes, Panes{0});

  files_.addFile("/a/dir/x", "x");
  prompter_.expectExtended(Folder("dir"), kSetDeleteLast, kAnswerDelete);
  EXPECT_EQ(remove(panes({{"dir", 16}})).done, 1);
  EXPECT_FALSE(files_.Exists("/a/dir"));

  // Several entries: the count, then each kind; an All answer holds for its kind.
  const Entries many = {{"r.rbs", 33}, {"ro", 17},  {"dot", 18}, {"dir", 16},
                        {"ro2", 19},   {"sys", 20}, {"odd", 56}, {"f", 48}};
  files_.addFile("/a/r.rbs", "r", true);
  for (std::size_t i = 1; i < many.size(); ++i) files_.addFile("/a/" + many[i].first + "/x", "x");
  prompter_.expect(Sure(8), kYesNo, kAnswerYes)
      .expectExtended("/a/r.rbs is not a normal file. Delete it ?", kSetDeleteMany, kAnswerDelete)
      .expectExtended(Folder("ro"), kSetDeleteMany, kAnswerDeleteAll)
      .expectExtended(Folder("ro", "a read only directory"), kSetDeleteMany, kAnswerSkip)
      .expectExtended(Folder("dot", "a hidden directory"), kSetDeleteMany, kAnswerDelete)
      .expectExtended(Folder("ro2", "a read only directory"), kSetDeleteMany, kAnswerDeleteAll);
  EXPECT_EQ(remove(panes(many)).done, 7);
  EXPECT_EQ(files_.namesIn("/a"), Names{"ro"});

  // Other numbers are skipped unless Delete was already the answer; No stops before anything.
  files_.addFile("/a/odd/x", "x");
  prompter_.expectExtended(Folder("odd"), kSetDeleteLast, kAnswerDelete);
  EXPECT_EQ(remove(panes({{"odd", 56}})).done, 0);
  prompter_.expect(Sure(2), kYesNo, kAnswerNo);
  EXPECT_EQ(remove(panes({{"odd", 56}, {"ro", 16}})).end, RunEnd::kNothing);
  EXPECT_EQ(files_.namesIn("/a"), (Names{"odd", "ro"}));

  // Where no trash takes an entry, it is removed for good only after a question; No keeps it.
  host_.trashError = EXDEV;
  host_.trashed.clear();
  files_.addFile("/a/ro/x", "x");
  prompter_.expect(Sure(2), kYesNo, kAnswerYes)
      .expectExtended(Folder("odd"), kSetDeleteMany, kAnswerDeleteAll)
      .expectExtended(Folder("odd", "a system directory"), kSetDeleteMany, kAnswerDelete)
      .expect(std::string("/a/odd") + kNoTrash, kYesNo, kAnswerNo)
      .expect(std::string("/a/ro") + kNoTrash, kYesNo, kAnswerYes);
  EXPECT_EQ(remove(panes({{"odd", 20}, {"ro", 16}})).done, 1);
  EXPECT_EQ(host_.trashed, (Names{"/a/odd", "/a/ro"}));
  EXPECT_EQ(files_.namesIn("/a"), Names{"odd"});
  EXPECT_EQ(prompter_.questions().back().reason, "Invalid cross-device link");

  // A failure to remove ends the run with the system's reason.
  files_.fail(Failing::kRemove, "/a/odd/x", EROFS);
  prompter_.expectExtended(Folder("odd"), kSetDeleteLast, kAnswerDelete)
      .expect(std::string("/a/odd") + kNoTrash, kYesNo, kAnswerYes)
      .expect(kDeleteFailed, kOk, kAnswerOk);
  EXPECT_EQ(remove(panes({{"odd", 16}})).end, RunEnd::kFailed);
  EXPECT_EQ(prompter_.questions().back().reason, "Read-only file system");
  EXPECT_TRUE(files_.hasFile("/a/odd/x"));

  // Without a trash nothing is asked.
  host_.trash = false;
  host_.trashed.clear();
  files_.addFile("/a/gone", "g");
  prompter_.expect(Sure(1), kYesNo, kAnswerYes);
  EXPECT_EQ(remove(panes(Plain({"gone"}))).done, 1);
  EXPECT_TRUE(host_.trashed.empty());
  EXPECT_FALSE(files_.Exists("/a/gone"));
}

// The boxes' texts are checked where the window shows them (tests/forms/file_commands_test.cpp).
TEST_F(Operations, RenameMakeDirAndTheExtensionRule) {
  files_.addFile("/a/data.rbs", "d");
  files_.addFile("/a/taken", "t");
  prompter_.expect(kNothingSelected, kOk, kAnswerOk);
  EXPECT_FALSE(ops_.RenamePrompt(0, "/a/", "..", 1));
  ops_.Rename(0, "/a/", "data.rbs", "  run.rbs ");
  EXPECT_TRUE(files_.hasFile("/a/run.rbs"));
  EXPECT_EQ(host_.refreshes, (Panes{1, 0}));
  prompter_.expect("File exists", kOk, kAnswerOk);
  ops_.Rename(0, "/a/", "run.rbs", "taken");
  EXPECT_TRUE(files_.hasFile("/a/run.rbs"));

  // In the list: the extension stays unless the new name brings one; failures are told.
  ops_.RenameInList(1, "/a/", MakeRow("run.rbs", 32, 1, 0, ","), " run1 ");
  EXPECT_TRUE(files_.hasFile("/a/run1.rbs"));
  ops_.RenameInList(1, "/a/", MakeRow("run1.rbs", 32, 1, 0, ","), "run1.txt");
  EXPECT_TRUE(files_.hasFile("/a/run1.txt"));
  EXPECT_EQ(NameEditedInList(MakeRow("old.dir", 16, 0, 0, ","), "new"), "new.dir");
  EXPECT_EQ(NameEditedInList(MakeRow("readme", 32, 0, 0, ","), "notes"), "notes");
  host_.refreshes.clear();
  ops_.RenameInList(1, "/a/", MakeRow("..", 16, 0, 0, ","), "up");
  EXPECT_EQ(host_.refreshes, Panes{1});
  prompter_.expect("No such file or directory", kOk, kAnswerOk);
  ops_.RenameInList(1, "/a/", MakeRow("gone.rbs", 32, 1, 0, ","), "x");
  prompter_.verify();

  ops_.MakeDir(0, "/a/", "   ");
  prompter_.expect("File exists", kOk, kAnswerOk);
  ops_.MakeDir(0, "/a/", " run1.txt");
  prompter_.verify();
}

TEST_F(Operations, DropsFromOutsideAndALargeSelection) {
  files_.addFile("/b/f.rbs", "b");
  files_.addFile("/x/f.rbs", "x");
  files_.addFile("/x/.hidden", "h");
  files_.addFile("/x/dir/y", "y");
  DropRequest drop{1, "/b/", {"f.rbs"}, {"/b/f.rbs", "/x/f.rbs", "/x/.hidden", "/x/dir/"}, true};
  prompter_.expectExtended(Exists("/x/f.rbs"), kSetOverwriteMany, kAnswerOverwrite)
      .expectExtended("File /x/.hidden is not a normal file. Delete it anyway ?", kSetDeleteMany,
                      kAnswerNo);
  EXPECT_EQ(ops_.Drop(drop).done, 2);
  prompter_.verify();
  EXPECT_EQ(files_.bytesOf("/b/f.rbs"), "x");
  EXPECT_EQ(files_.bytesOf("/b/dir/y"), "y");
  EXPECT_EQ(files_.namesIn("/x"), Names{".hidden"});
  EXPECT_EQ(files_.namesIn("/b"), (Names{".hidden", "dir", "f.rbs"}));
  EXPECT_EQ(host_.refreshes, (Panes{1, 1, 1}));

  // 20000 selected files, nothing there yet: no question, one refresh of each pane at the end.
  host_.refreshes.clear();
  Names many;
  for (int i = 0; i < Selection::kMaxEntries; ++i) many.push_back("s" + std::to_string(i));
  add("/a/", many, "s");
  EXPECT_EQ(copy(panes(Plain(many))).done, Selection::kMaxEntries);
  EXPECT_EQ(files_.namesIn("/b").size(), 3u + Selection::kMaxEntries);
  EXPECT_EQ(host_.refreshes, (Panes{1, 0}));
}

TEST_F(Operations, FailuresToRemoveMakeRenameOrLockAreTold) {
  // A move copied everything but the source cannot be removed: the copy and the source stay.
  files_.addFile("/a/m.rbs", "m");
  files_.addFile("/a/d/x", "x");
  files_.addFolder("/b");
  files_.fail(Failing::kRemove, "/a/m.rbs", EBUSY);
  files_.fail(Failing::kRemove, "/a/d/x", EBUSY);
  prompter_.expect(kDeleteFailed, kOk, kAnswerOk);
  EXPECT_EQ(copy(panes(Plain({"m.rbs"})), true).end, RunEnd::kFailed);
  EXPECT_EQ(prompter_.questions().back().reason, "Device or resource busy");
  EXPECT_EQ(files_.bytesOf("/a/m.rbs"), "m");
  EXPECT_EQ(files_.bytesOf("/b/m.rbs"), "m");
  prompter_.expect(kDeleteFailed, kOk, kAnswerOk);
  EXPECT_EQ(copy(panes({{"d", 16}}), true).end, RunEnd::kFailed);
  EXPECT_EQ(files_.bytesOf("/a/d/x"), "x");
  EXPECT_EQ(files_.bytesOf("/b/d/x"), "x");

  // A folder that cannot be made, or a failed rename.
  files_.addFile("/a/e/y", "y");
  files_.fail(Failing::kMakeFolder, "/b/e", EACCES);
  prompter_.expect(kCopyFailed, kOk, kAnswerOk);
  EXPECT_EQ(copy(panes({{"e", 16}})).end, RunEnd::kFailed);
  EXPECT_EQ(files_.namesIn("/b"), (Names{"d", "m.rbs"}));
  files_.fail(Failing::kRename, "/a/m.rbs", EACCES);
  prompter_.expect("Permission denied", kOk, kAnswerOk);
  ops_.Rename(0, "/a/", "m.rbs", "n.rbs");
  prompter_.verify();
  EXPECT_TRUE(files_.hasFile("/a/m.rbs"));

  // A read-only entry that cannot be made writable: told, and nothing else changes.
  files_.addFile("/a/r.rbs", "new");
  files_.addFile("/b/r.rbs", "old", true);
  files_.fail(Failing::kSetReadOnly, "/b/r.rbs", EPERM);
  prompter_.expectExtended(Exists("r.rbs"), kSetOverwriteLast, kAnswerOverwrite)
      .expect(kCopyFailed, kOk, kAnswerOk);
  EXPECT_EQ(copy(panes(Plain({"r.rbs"}), {"r.rbs"})).end, RunEnd::kFailed);
  EXPECT_EQ(prompter_.questions().back().reason, "Operation not permitted");
  EXPECT_EQ(files_.bytesOf("/b/r.rbs"), "old");
  FileEntry entry;
  ASSERT_EQ(files_.Stat("/b/r.rbs", entry), kDone);
  EXPECT_TRUE(entry.readOnly);
  host_.trashed.clear();
  prompter_.expect(Sure(1), kYesNo, kAnswerYes)
      .expectExtended("/b/r.rbs is not a normal file. Delete it ?", kSetDeleteLast, kAnswerDelete)
      .expect(kDeleteFailed, kOk, kAnswerOk);
  OperationPanes inB = panes({{"r.rbs", 33}});
  inB.active = 1;
  EXPECT_EQ(remove(inB).end, RunEnd::kFailed);
  EXPECT_TRUE(host_.trashed.empty());
  EXPECT_EQ(files_.bytesOf("/b/r.rbs"), "old");
}

TEST_F(Operations, CopiesKeepTheReadOnlyMarkAndTheTimesOfFilesAndFolders) {
  const std::time_t then = 1000000000;
  files_.addFile("/a/ro", "new", true);
  files_.addFile("/b/ro", "old", true);
  files_.addFile("/a/dir/sub/g", "g");
  ASSERT_EQ(files_.SetModified("/a/ro", then), kDone);
  ASSERT_EQ(files_.SetModified("/a/dir/sub", then + 1), kDone);
  ASSERT_EQ(files_.SetModified("/a/dir", then + 2), kDone);
  // A read-only target is replaced and is read-only again.
  prompter_.expectExtended(Exists("ro"), kSetOverwriteMany, kAnswerOverwrite);
  EXPECT_EQ(copy(panes({{"ro", 33}, {"dir", 16}}, {"ro"})).done, 2);
  EXPECT_EQ(files_.bytesOf("/b/ro"), "new");
  FileEntry entry;
  ASSERT_EQ(files_.Stat("/b/ro", entry), kDone);
  EXPECT_TRUE(entry.readOnly);
  EXPECT_EQ(entry.modified, then);
  EXPECT_EQ(files_.modifiedOf("/b/dir/sub"), then + 1);
  EXPECT_EQ(files_.modifiedOf("/b/dir"), then + 2);
}

}  // namespace
}  // namespace durnix
