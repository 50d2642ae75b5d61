// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/local_file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <map>

#include "support/temp_dir.h"

namespace durnix {
namespace {

class LocalDisk : public ::testing::Test {
 protected:
  // The names in the test's folder, sorted.
  std::vector<std::string> names() const {
    std::vector<std::string> all;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      all.push_back(entry.path().filename().string());
    }
    std::sort(all.begin(), all.end());
    return all;
  }

  // Writes (or creates) `path` in a child process that may write files of 100 bytes at most, as
  // a full disk would let it; returns the status it gave and its error number.
  std::pair<Status, int> onFullDisk(bool create, const std::string& path, const Bytes& bytes) {
    int pipeFds[2];
    EXPECT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit small{100, 100};
      ::setrlimit(RLIMIT_FSIZE, &small);
      const FileResult result =
          create ? files_.CreateFile(path, bytes) : files_.WriteFile(path, bytes);
      const int answer[2] = {result.status, result.error};
      (void)!::write(pipeFds[1], answer, sizeof answer);
      ::_exit(0);
    }
    int answer[2] = {-1, -1};
    ::close(pipeFds[1]);
    EXPECT_EQ(::read(pipeFds[0], answer, sizeof answer), static_cast<ssize_t>(sizeof answer));
    ::close(pipeFds[0]);
    ::waitpid(child, nullptr, 0);
    return {static_cast<Status>(answer[0]), answer[1]};
  }

  // The permission bits of `path`, or ~0 when it cannot be examined.
  static mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : ~mode_t{0};
  }

  test::TempDir dir_;
  LocalFileSystem files_;
};

TEST_F(LocalDisk, ReadingGivesTheBytesOr53AndNeverWaitsOnAPipe) {
  test::WriteWhole(dir_.file("x"), std::string("a\0b", 3));
  Bytes bytes;
  ASSERT_EQ(files_.ReadFile(dir_.file("x"), bytes), kDone);
  EXPECT_EQ(bytes, std::string("a\0b", 3));
  EXPECT_EQ(files_.ReadFile(dir_.file("x"), bytes, 2), kNotThisFormat);  // beyond the limit
  const FileResult missing = files_.ReadFile(dir_.file("none"), bytes);
  EXPECT_EQ(missing, kCannotOpen);
  EXPECT_EQ(SystemErrorText(missing.error), "No such file or directory");
  EXPECT_EQ(files_.ReadFile(dir_.path(), bytes), kCannotOpen);
  // Pipes, devices and sockets are not read at all: a pipe without a writer would wait for ever.
  ASSERT_EQ(::mkfifo(dir_.file("f.CHN").c_str(), 0644), 0);
  const FileResult pipe = files_.ReadFile(dir_.file("f.CHN"), bytes);
  EXPECT_EQ(pipe, kCannotOpen);
  EXPECT_EQ(SystemErrorText(pipe.error), "Not a regular file");
  EXPECT_EQ(files_.ReadFile("/dev/zero", bytes), kCannotOpen);
  EXPECT_TRUE(bytes.empty());
}

TEST_F(LocalDisk, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
  const std::string target = dir_.file("film.RBS");
  test::WriteWhole(target, "the user's old spectrum");
  for (bool unnamed : {true, false}) {
    files_.setUnnamedTemporaries(unnamed);
    const auto [status, error] = onFullDisk(false, target, std::string(5000, 'x'));
    EXPECT_EQ(std::make_pair(status, error), std::make_pair(kCannotCreate, EFBIG)) << unnamed;
    EXPECT_EQ(test::ReadWhole(target), "the user's old spectrum");
    const auto [created, createError] = onFullDisk(true, dir_.file("new.AS1"), "x");
    EXPECT_EQ(created, kDone) << createError;
    EXPECT_EQ(onFullDisk(true, dir_.file("big.AS1"), std::string(5000, 'x')).first, kCannotCreate);
    EXPECT_EQ(names(), (std::vector<std::string>{"film.RBS", "new.AS1"})) << unnamed;
    std::filesystem::remove(dir_.file("new.AS1"));
  }
}

TEST_F(LocalDisk, TemporaryFilesOfKilledRunsGoAtTheNextWriteThere) {
  // What a run killed between naming its temporary file and renaming it leaves, beside a
  // temporary file that a live run holds, and names that only look alike.
  test::WriteWhole(dir_.file(".durnix-Ab12Cd"), "stale");
  test::WriteWhole(dir_.file(".durnix-Live00"), "in use");
  test::WriteWhole(dir_.file(".durnix-Ab12Cde"), "the user's");
  test::WriteWhole(dir_.file(".durnix-Ab-2Cd"), "the user's");
  std::filesystem::create_directory(dir_.file(".durnix-Folder"));
  const int held = ::open(dir_.file(".durnix-Live00").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);

  for (bool unnamed : {true, false}) {
    LocalFileSystem files;  // a later run
    files.setUnnamedTemporaries(unnamed);
    test::WriteWhole(dir_.file(".durnix-Zz9Yy8"), "stale");
    ASSERT_EQ(files.WriteFile(dir_.file("film.AS1"), "replaced"), kDone);
    ASSERT_EQ(files.CreateFile(dir_.file(unnamed ? "a.AS1" : "b.AS1"), "new"), kDone);
    EXPECT_FALSE(std::filesystem::exists(dir_.file(".durnix-Ab12Cd")));
    EXPECT_FALSE(std::filesystem::exists(dir_.file(".durnix-Zz9Yy8"))) << unnamed;
    EXPECT_EQ(test::ReadWhole(dir_.file(".durnix-Live00")), "in use");
    EXPECT_EQ(test::ReadWhole(dir_.file(".durnix-Ab12Cde")), "the user's");
    EXPECT_EQ(test::ReadWhole(dir_.file("film.AS1")), "replaced");
  }
  ::close(held);
  EXPECT_EQ(names(),
            (std::vector<std::string>{".durnix-Ab-2Cd", ".durnix-Ab12Cde", ".durnix-Folder",
                                      ".durnix-Live00", "a.AS1", "b.AS1", "film.AS1"}));
}

TEST_F(LocalDisk, NewFilesNeverReplaceAndReplacedFilesKeepTheirModes) {
  const std::string existing = dir_.file("a.AS1");
  test::WriteWhole(existing, "old");
  const FileResult refused = files_.CreateFile(existing, "new");
  EXPECT_EQ(refused, kCannotCreate);
  EXPECT_EQ(refused.error, EEXIST);
  EXPECT_EQ(test::ReadWhole(existing), "old");

  ASSERT_EQ(::chmod(existing.c_str(), 0640), 0);
  ASSERT_EQ(files_.WriteFile(existing, "new"), kDone);
  EXPECT_EQ(test::ReadWhole(existing), "new");
  EXPECT_EQ(modeOf(existing), 0640u);

  const mode_t mask = ::umask(022);
  ::umask(mask);
  for (bool unnamed : {true, false}) {
    files_.setUnnamedTemporaries(unnamed);
    const std::string fresh = dir_.file(unnamed ? "b.AS1" : "c.AS1");
    ASSERT_EQ(files_.WriteFile(fresh, "fresh"), kDone);
    EXPECT_EQ(modeOf(fresh), 0666u & ~mask);
  }
  EXPECT_EQ(names(), (std::vector<std::string>{"a.AS1", "b.AS1", "c.AS1"}));
}

TEST_F(LocalDisk, ProtectedTargetsAndMissingFoldersCannotBeWritten) {
  const std::string readOnly = dir_.file("kept.RBS");
  test::WriteWhole(readOnly, "precious");
  ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
  ASSERT_EQ(::mkdir(dir_.file("folder.RBS").c_str(), 0755), 0);
  ASSERT_EQ(::mkfifo(dir_.file("pipe.RBS").c_str(), 0644), 0);
  // A read-only target is refused even for root.
  for (const char* name : {"kept.RBS", "missing/x.RBS", "folder.RBS", "pipe.RBS"}) {
    EXPECT_EQ(files_.WriteFile(dir_.file(name), "new"), kCannotCreate) << name;
  }
  EXPECT_EQ(test::ReadWhole(readOnly), "precious");
}

TEST_F(LocalDisk, LinksAreFollowedOnlyWhenTheirOwnerMayBeTrusted) {
  const std::string real = dir_.file("real.SEN");
  test::WriteWhole(real, "old");
  ASSERT_EQ(::symlink(real.c_str(), dir_.file("link.SEN").c_str()), 0);
  ASSERT_EQ(files_.WriteFile(dir_.file("link.SEN"), "new"), kDone);
  EXPECT_TRUE(std::filesystem::is_symlink(dir_.file("link.SEN")));
  EXPECT_EQ(test::ReadWhole(real), "new");

  if (::geteuid() != 0) GTEST_SKIP() << "a link of another user can only be planted by root";
  // A link that another user put beside the target, leading to a file of ours, is not followed.
  constexpr uid_t kNobody = 65534;
  ASSERT_EQ(::symlink(real.c_str(), dir_.file("planted.SEN").c_str()), 0);
  ASSERT_EQ(::lchown(dir_.file("planted.SEN").c_str(), kNobody, kNobody), 0);
  EXPECT_EQ(files_.WriteFile(dir_.file("planted.SEN"), "taken over"), kCannotCreate);
  EXPECT_EQ(test::ReadWhole(real), "new");
  // A file of another user keeps its owner and group when it is replaced.
  ASSERT_EQ(::chown(real.c_str(), kNobody, kNobody), 0);
  ASSERT_EQ(files_.WriteFile(real, "newer"), kDone);
  struct stat st {};
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(std::make_pair(st.st_uid, st.st_gid), std::make_pair(kNobody, kNobody));
  // Its own link is followed again.
  EXPECT_EQ(files_.WriteFile(dir_.file("planted.SEN"), "by its owner"), kDone);
}

TEST_F(LocalDisk, ListingsGiveTheAttributeNumbersOfThisPlatform) {
  test::WriteWhole(dir_.file("film.rbs"), "xy");
  test::WriteWhole(dir_.file("kept.rbs"), "x");
  ASSERT_EQ(::chmod(dir_.file("kept.rbs").c_str(), 0444), 0);
  test::WriteWhole(dir_.file(".profile"), "x");
  ASSERT_EQ(::mkdir(dir_.file("data").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir(dir_.file(".cache").c_str(), 0755), 0);
  ASSERT_EQ(::symlink("nowhere", dir_.file("broken").c_str()), 0);
  ASSERT_EQ(::symlink(dir_.file("film.rbs").c_str(), dir_.file("link.rbs").c_str()), 0);
  std::vector<FileEntry> entries;
  ASSERT_EQ(files_.ListFolder(dir_.path(), entries), kDone);
  // Links are followed; a broken one is a system entry; there is no "." and "..".
  std::map<std::string, FileEntry> byName;
  for (const FileEntry& entry : entries) byName[entry.name] = entry;
  std::string listed;
  for (const auto& [name, e] : byName) listed += name + "=" + std::to_string(e.attributes) + " ";
  EXPECT_EQ(listed, ".cache=18 .profile=34 broken=4 data=16 film.rbs=32 kept.rbs=33 link.rbs=32 ");
  EXPECT_EQ(byName["film.rbs"].bytes, 2);
  FileEntry null;
  ASSERT_EQ(files_.Stat("/dev/null", null), kDone);
  EXPECT_EQ(null.attributes & kAttrSystem, kAttrSystem);
  EXPECT_EQ(files_.Stat(dir_.file("missing"), null), kCannotOpen);
  EXPECT_EQ(files_.ListFolder(dir_.file("film.rbs"), entries), kCannotOpen);
}

TEST_F(LocalDisk, FolderOperationsNeverReplaceAnEntry) {
  ASSERT_EQ(files_.MakeFolder(dir_.file("sub")), kDone);
  const FileResult taken = files_.MakeFolder(dir_.file("sub"));
  EXPECT_EQ(taken, kCannotCreate);
  EXPECT_EQ(taken.error, EEXIST);
  test::WriteWhole(dir_.file("sub/a.RBS"), "spectrum");
  ASSERT_EQ(files_.Copy(dir_.file("sub/a.RBS"), dir_.file("b.RBS"), false), kDone);
  EXPECT_EQ(files_.Copy(dir_.file("sub/a.RBS"), dir_.file("b.RBS"), false), kCannotCreate);
  EXPECT_EQ(files_.Rename(dir_.file("b.RBS"), dir_.file("sub/a.RBS")), kCannotCreate);
  EXPECT_EQ(files_.Remove(dir_.file("sub")), kCannotCreate);  // not empty
  ASSERT_EQ(files_.Remove(dir_.file("sub/a.RBS")), kDone);
  ASSERT_EQ(files_.Remove(dir_.file("sub")), kDone);
  EXPECT_EQ(names(), std::vector<std::string>{"b.RBS"});
  EXPECT_EQ(test::ReadWhole(dir_.file("b.RBS")), "spectrum");
}

TEST_F(LocalDisk, WriteBitsAndTimesAreSetAndCopiesKeepThem) {
  const std::string file = dir_.file("n.rbs");
  test::WriteWhole(file, "n");
  ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
  // The write bits come back to those who may read, within the umask.
  for (const auto& [readOnly, mode] : {std::pair{true, 0400u}, std::pair{false, 0600u}}) {
    ASSERT_EQ(files_.SetReadOnly(file, readOnly), kDone);
    EXPECT_EQ(modeOf(file), mode) << readOnly;
  }
  const std::time_t then = 1000000000;
  ASSERT_EQ(files_.SetModified(file, then), kDone);
  ASSERT_EQ(files_.MakeFolder(dir_.file("d")), kDone);
  ASSERT_EQ(files_.Copy(file, dir_.file("d/copy"), false), kDone);
  ASSERT_EQ(files_.SetModified(dir_.file("d"), then + 1), kDone);
  for (const auto& [name, when] : {std::pair{"d/copy", then}, std::pair{"d", then + 1}}) {
    FileEntry entry;
    ASSERT_EQ(files_.Stat(dir_.file(name), entry), kDone);
    EXPECT_EQ(entry.modified, when) << name;
  }
  EXPECT_EQ(files_.SetReadOnly(dir_.file("none"), true), kCannotOpen);
  EXPECT_EQ(files_.SetModified(dir_.file("none"), then), kCannotOpen);
}

}  // namespace
}  // namespace durnix
