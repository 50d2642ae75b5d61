// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/folder_tree.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "formats/local_file_system.h"
#include "support/memory_file_system.h"
#include "support/temp_dir.h"

namespace durnix {
namespace {

namespace fs = std::filesystem;
using test::ReadWhole;
using test::TempDir;
using test::WriteWhole;

TEST(FolderTree, ReadsFoldersBeforeTheirEntriesAndStopsAtLinkLoops) {
  TempDir dir;
  LocalFileSystem files;
  const std::string root = dir.file("run");
  fs::create_directories(root + "/sub/deeper");
  WriteWhole(root + "/x.rbs", "abc");
  WriteWhole(root + "/sub/y", "hello");
  ASSERT_EQ(::mkfifo((root + "/pipe").c_str(), 0600), 0);
  fs::create_directories(dir.file("elsewhere"));
  WriteWhole(dir.file("elsewhere/z"), "0123456789");
  fs::create_directory_symlink(dir.file("elsewhere"), root + "/sub/link");

  FolderTree tree;
  ASSERT_EQ(ReadTree(files, root, tree), TreeRead::kComplete);
  // By name in each folder; the pipe is left out; the link to a folder outside is followed.
  const std::vector<std::pair<std::string, std::size_t>> expected = {
      {"sub", 5},        {"sub/deeper", 2}, {"sub/link", 4},
      {"sub/link/z", 4}, {"sub/y", 5},      {"x.rbs", 6}};
  std::vector<std::pair<std::string, std::size_t>> read;
  for (const auto& item : tree.items) read.emplace_back(item.path, item.end);
  EXPECT_EQ(read, expected);
  EXPECT_EQ(std::tuple(tree.files, tree.bytes), std::tuple(3, 18));  // files, bytes

  // A link back to the tree, or to a folder above it, is a loop, even beside a second one.
  fs::create_directory_symlink(root, root + "/sub/back");
  EXPECT_EQ(ReadTree(files, root, tree), TreeRead::kLoop);
  fs::remove(root + "/sub/back");
  fs::create_directory_symlink(dir.path(), root + "/up");
  fs::create_directory_symlink(dir.path(), root + "/up2");
  EXPECT_EQ(ReadTree(files, root, tree), TreeRead::kLoop);
  EXPECT_EQ(ReadTree(files, dir.file("missing"), tree), TreeRead::kUnreadable);

  EXPECT_EQ(std::tuple(PathWithin("/a/b", "/a/b/c"), PathWithin("/a/b/", "/a/b"),
                       PathWithin("/a/b", "/a/bc"), PathWithin("/a/b/c", "/a/b")),
            std::tuple(true, true, false, false));
}

TEST(FolderTree, OneFolderUnderTwoNamesIsSeenThroughTheLink) {
  TempDir dir;
  LocalFileSystem files;
  fs::create_directories(dir.file("data/run"));
  fs::create_directories(dir.file("other"));
  fs::create_directory_symlink(dir.file("data"), dir.file("alias"));
  const std::string data = dir.file("data/"), alias = dir.file("alias/");
  EXPECT_TRUE(SameFolder(files, data, alias));
  EXPECT_TRUE(SameFolder(files, data, data));
  EXPECT_FALSE(SameFolder(files, data, dir.file("other/")));

  FolderTree tree;
  ASSERT_EQ(ReadTree(files, dir.file("data"), tree), TreeRead::kComplete);
  EXPECT_TRUE(TreeHoldsFolder(files, dir.file("data"), tree, dir.file("alias/run/")));
  EXPECT_TRUE(TreeHoldsFolder(files, dir.file("data"), tree, alias));
  EXPECT_FALSE(TreeHoldsFolder(files, dir.file("data"), tree, dir.path() + "/"));
  // No probe is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("data")), fs::directory_iterator()), 1);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);
}

TEST(FolderTree, RemovalNeverGoesThroughALinkAndKeepsWhatStays) {
  TempDir dir;
  LocalFileSystem files;
  fs::create_directories(dir.file("outside"));
  WriteWhole(dir.file("outside/keep"), "precious");
  fs::create_directories(dir.file("gone/locked"));
  WriteWhole(dir.file("gone/locked/a"), "a");
  fs::permissions(dir.file("gone/locked"), fs::perms::owner_read | fs::perms::owner_exec);
  fs::create_directory_symlink(dir.file("outside"), dir.file("gone/link"));
  EXPECT_EQ(RemoveEntry(files, dir.file("gone")), kDone);
  EXPECT_FALSE(fs::exists(dir.file("gone")));
  EXPECT_EQ(ReadWhole(dir.file("outside/keep")), "precious");
  const FileResult again = RemoveEntry(files, dir.file("gone"));
  EXPECT_NE(again, kDone);
  EXPECT_EQ(again.error, ENOENT);

  // After a move: the moved files go, a skipped one keeps its folder, a link goes as a link.
  test::MemoryFileSystem memory;
  memory.addFile("/m/a", Bytes{'1'});
  memory.addFile("/m/sub/b", Bytes{'2'});
  memory.addFile("/m/sub/kept", Bytes{'3'});
  memory.addFile("/m/empty/c", Bytes{'4'});
  FolderTree tree;
  ASSERT_EQ(ReadTree(memory, "/m", tree), TreeRead::kComplete);
  // a, empty, empty/c, sub, sub/b, sub/kept
  ASSERT_EQ(tree.items.size(), 6u);
  EXPECT_EQ(RemoveMovedTree(memory, "/m", tree, {true, false, true, false, true, false}), kDone);
  EXPECT_EQ(memory.namesIn("/m"), std::vector<std::string>{"sub"});
  EXPECT_EQ(memory.namesIn("/m/sub"), std::vector<std::string>{"kept"});

  fs::create_directories(dir.file("moved"));
  WriteWhole(dir.file("moved/f"), "f");
  fs::create_directory_symlink(dir.file("outside"), dir.file("moved/link"));
  ASSERT_EQ(ReadTree(files, dir.file("moved"), tree), TreeRead::kComplete);
  // f, link, link/keep: all copied
  ASSERT_EQ(tree.items.size(), 3u);
  EXPECT_EQ(RemoveMovedTree(files, dir.file("moved"), tree, {true, false, true}), kDone);
  EXPECT_FALSE(fs::exists(dir.file("moved")));
  EXPECT_EQ(ReadWhole(dir.file("outside/keep")), "precious");
}

}  // namespace
}  // namespace durnix
