// SPDX-License-Identifier: GPL-3.0-or-later
// Names that a broken or hostile server lists ("../x", "a/b", ".", a NUL): left out of every
// listing, refused by Rename and Make Dir, and never a way out of a folder that is copied, moved
// or deleted.

#include <gtest/gtest.h>

#include "shell/file_list.h"
#include "shell/file_operations.h"
#include "shell/folder_tree.h"
#include "support/memory_file_system.h"
#include "support/scripted.h"

namespace durnix {
namespace {

class Host : public OperationHost {
 public:
  explicit Host(FileSystem& files) : files_(files) {}
  void Refresh(int) override {}
  Status MoveToTrash(const std::string& path, int& error) override {
    const FileResult removal = RemoveEntry(files_, path);
    error = removal.error;
    return removal;
  }

 private:
  FileSystem& files_;
};

class EntryNames : public ::testing::Test {
 protected:
  // The folder /a/f holds data.rbs and is listed with names that lead to /a/x and to /keep.
  void SetUp() override {
    files_.addFile("/a/f/data.rbs", "d");
    files_.addFile("/a/x", "beside");
    files_.addFile("/keep/k", "elsewhere");
    files_.addFolder("/b");
    files_.plantName("/a/f", "../x");
    files_.plantName("/a/f", "../../keep", EntryKind::kFolder);
    files_.plantName("/a/f", "a/b");
  }
  OperationPanes folderF() {
    OperationPanes p;
    p.folders = {"/a/", "/b/"};
    p.selection.add("f", kAttrFolder, 0);
    return p;
  }
  // Nothing outside the folder and its copy changed; /b holds `inB`.
  void expectOutsideUntouched(const std::vector<std::string>& inB = {"f"}) {
    EXPECT_EQ(files_.bytesOf("/a/x"), "beside");
    EXPECT_EQ(files_.bytesOf("/keep/k"), "elsewhere");
    EXPECT_EQ(files_.namesIn("/b"), inB);
    EXPECT_EQ(files_.namesIn("/keep"), std::vector<std::string>{"k"});
  }

  test::MemoryFileSystem files_;
  test::ScriptedPrompter prompter_;
  Host host_{files_};
  FileOperations ops_{files_, prompter_, host_};
};

TEST_F(EntryNames, AListingLeavesOutNamesThatAreNoEntriesAndCountsThem) {
  files_.plantName("/a/f", "..", EntryKind::kFolder);
  files_.plantName("/a/f", "");
  files_.plantName("/a/f", std::string("n\0l", 3));
  std::vector<FileRow> rows;
  long long bytes = 0;
  ASSERT_EQ(ListFolderRows(files_, "/a/f/", "*.*", false, ",", rows, bytes), kDone);
  std::vector<std::string> names;
  for (const FileRow& row : rows) names.push_back(row.name);
  EXPECT_EQ(names, (std::vector<std::string>{"..", "data.rbs"}));
  EXPECT_EQ(files_.SkippedNames(), 6);
  EXPECT_EQ(SkippedNamesText(6, "/a/f/"),
            "6 entries of /a/f/ are not shown: a name that holds \"/\" or NUL, or is empty, \".\" "
            "or \"..\", can not be used.");
  std::vector<FileEntry> entries;
  ASSERT_EQ(files_.ListFolder("/b", entries), kDone);
  EXPECT_EQ(files_.SkippedNames(), 0);
}

TEST_F(EntryNames, CopyDeleteAndMoveOfTheFolderStayInsideIt) {
  EXPECT_EQ(ops_.Copy(folderF(), false).end, RunEnd::kFinished);
  prompter_.verify();
  EXPECT_EQ(files_.namesIn("/b/f"), std::vector<std::string>{"data.rbs"});
  expectOutsideUntouched();

  // The copy, listed with names that lead out of it, is deleted alone.
  OperationPanes inB = folderF();
  inB.folders = {"/b/", "/a/"};
  files_.addFile("/b/f/own", "o");
  files_.plantName("/b/f", "../../a/x");
  files_.plantName("/b/f", "../../keep", EntryKind::kFolder);
  prompter_.expectExtended("f is a directory and maybe not empty.\r\nContinue ?", kSetDeleteLast,
                           kAnswerDelete);
  EXPECT_EQ(ops_.Delete(inB).done, 1);
  prompter_.verify();
  expectOutsideUntouched({});

  EXPECT_EQ(ops_.Copy(folderF(), true).end, RunEnd::kFinished);
  prompter_.verify();
  EXPECT_TRUE(files_.hasFile("/b/f/data.rbs"));
  EXPECT_FALSE(files_.hasFile("/a/f/data.rbs"));
  expectOutsideUntouched();
}

TEST_F(EntryNames, RenameAndMakeDirRefuseThem) {
  for (const std::string name : {"a/../b", "..", "../x", "."}) {
    prompter_.expect(NotAnEntryNameText(name), StandardButtons::kOk, kAnswerOk);
    ops_.MakeDir(0, "/a/f/", name);
    prompter_.expect(NotAnEntryNameText(name), StandardButtons::kOk, kAnswerOk);
    ops_.Rename(0, "/a/f/", "data.rbs", name);
    prompter_.verify();
  }
  EXPECT_EQ(NotAnEntryNameText("a/../b"),
            "a/../b can not be a name: a name is not \".\" or \"..\" and holds no \"/\".");
  EXPECT_EQ(files_.namesIn("/a"), (std::vector<std::string>{"f", "x"}));
  EXPECT_EQ(files_.namesIn("/a/f"), std::vector<std::string>{"data.rbs"});
  EXPECT_EQ(files_.namesIn("/"), (std::vector<std::string>{"a", "b", "keep"}));
}

}  // namespace
}  // namespace durnix
