// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/trash.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <regex>

#include "support/temp_dir.h"

namespace durnix {
namespace {

namespace fs = std::filesystem;

mode_t modeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

// The Path= and DeletionDate= values of an info file.
std::pair<std::string, std::string> infoOf(const std::string& path) {
  const std::string text = test::ReadWhole(path);
  std::smatch m;
  EXPECT_TRUE(
      std::regex_match(text, m, std::regex("\\[Trash Info\\]\nPath=(.*)\nDeletionDate=(.*)\n")))
      << text;
  return m.size() == 3 ? std::make_pair(m[1].str(), m[2].str()) : std::make_pair("", "");
}

TEST(Trash, PathsAreEscapedByteByByte) {
  EXPECT_EQ(EscapedTrashPath("/a b/\xC3\xBC~-._%/x "), "/a%20b/%C3%BC~-._%25/x%20");
  std::tm local{};
  ASSERT_NE(::strptime("2026-12-07 09:05:03", "%Y-%m-%d %H:%M:%S", &local), nullptr);
  local.tm_isdst = -1;
  EXPECT_EQ(TrashInfoText("/r/a b", std::mktime(&local)),
            "[Trash Info]\nPath=/r/a%20b\nDeletionDate=2026-12-07T09:05:03\n");
}

TEST(Trash, EntriesGoIntoTheDataHomeWithTheirInfo) {
  test::TempDir dir;
  const std::string real = fs::canonical(dir.path()).string();
  fs::create_directories(dir.file("work/dir/sub"));
  fs::create_directories(dir.file("cwd"));
  test::WriteWhole(dir.file("work/trail "), "1");
  const std::string uber = "\u00FCber \u00E9.rbs";  // \xC3\xBC and \xC3\xA9 in UTF-8
  test::WriteWhole(dir.file("work/" + uber), "2");
  test::WriteWhole(dir.file("work/dir/sub/x"), "3");
  const std::string home = dir.file("home/.local/share");  // not there yet
  const Trash trash(home, ::getuid());
  const std::string before = fs::current_path().string();
  fs::current_path(dir.file("cwd"));
  int error = -1;

  EXPECT_EQ(trash.Put(dir.file("work/trail "), error), kDone);
  EXPECT_EQ(error, 0);
  for (const char* folder : {"", "/files", "/info"})
    EXPECT_EQ(modeOf(home + "/Trash" + folder), 0700u) << folder;
  EXPECT_FALSE(fs::exists(dir.file("work/trail ")));
  EXPECT_EQ(test::ReadWhole(home + "/Trash/files/trail "), "1");
  const auto [path, date] = infoOf(home + "/Trash/info/trail .trashinfo");
  EXPECT_EQ(path, EscapedTrashPath(real) + "/work/trail%20");
  EXPECT_TRUE(std::regex_match(date, std::regex("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d")));

  EXPECT_EQ(trash.Put(dir.file("work/" + uber), error), kDone);
  EXPECT_EQ(infoOf(home + "/Trash/info/" + uber + ".trashinfo").first,
            EscapedTrashPath(real) + "/work/%C3%BCber%20%C3%A9.rbs");

  // A second entry of one name gets a name of its own; a folder goes whole.
  test::WriteWhole(dir.file("work/trail "), "again");
  EXPECT_EQ(trash.Put(dir.file("work/trail "), error), kDone);
  EXPECT_EQ(test::ReadWhole(home + "/Trash/files/trail "), "1");
  EXPECT_EQ(test::ReadWhole(home + "/Trash/files/trail .2"), "again");
  EXPECT_EQ(infoOf(home + "/Trash/info/trail .2.trashinfo").first,
            EscapedTrashPath(real) + "/work/trail%20");
  EXPECT_EQ(trash.Put(dir.file("work/dir/"), error), kDone);
  EXPECT_EQ(test::ReadWhole(home + "/Trash/files/dir/sub/x"), "3");
  EXPECT_TRUE(fs::is_empty(dir.file("work")));

  // What is not there cannot go, and leaves no info behind.
  EXPECT_EQ(trash.Put(dir.file("work/none"), error), kCannotCreate);
  EXPECT_EQ(error, ENOENT);
  EXPECT_FALSE(fs::exists(home + "/Trash/info/none.trashinfo"));

  // The user's trash follows $XDG_DATA_HOME, else $HOME (a relative value counts for nothing);
  // the folder the program runs in gets nothing.
  const std::string savedHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
  const char* oldXdg = std::getenv("XDG_DATA_HOME");
  const std::string savedXdg = oldXdg != nullptr ? oldXdg : "";
  ::setenv("HOME", dir.file("user").c_str(), 1);
  ::setenv("XDG_DATA_HOME", "relative", 1);
  test::WriteWhole(dir.file("work/y"), "y");
  EXPECT_EQ(Trash::ForUser().Put(dir.file("work/y"), error), kDone);
  EXPECT_EQ(test::ReadWhole(dir.file("user/.local/share/Trash/files/y")), "y");
  ::setenv("XDG_DATA_HOME", dir.file("xdg").c_str(), 1);
  test::WriteWhole(dir.file("work/z"), "z");
  EXPECT_EQ(Trash::ForUser().Put(dir.file("work/z"), error), kDone);
  EXPECT_EQ(test::ReadWhole(dir.file("xdg/Trash/files/z")), "z");
  ::setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
  if (oldXdg == nullptr) ::unsetenv("XDG_DATA_HOME");
  ::setenv("HOME", savedHome.c_str(), 1);
  EXPECT_TRUE(fs::is_empty(dir.file("cwd")));
  fs::current_path(before);
}

}  // namespace
}  // namespace durnix
