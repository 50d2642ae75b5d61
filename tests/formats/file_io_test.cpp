// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "formats/rbs.h"
#include "support/records.h"
#include "support/temp_dir.h"

namespace durnix {
namespace {

// Writes at most 100 bytes, then fails as a full disk does.
long failingWrite(int fd, const void* buf, std::size_t n) {
  static thread_local std::size_t written = 0;
  if (written >= 100) {
    written = 0;
    errno = ENOSPC;
    return -1;
  }
  const std::size_t part = std::min<std::size_t>(n, 100 - written);
  written += part;
  return ::write(fd, buf, part);
}

class FileIo : public ::testing::Test {
 protected:
  void TearDown() override { testing::SetWriteFunction(nullptr); }
  test::TempDir dir_;
};

TEST_F(FileIo, AFailedWriteLeavesTheOldFileAsItWas) {
  const std::string target = dir_.file("film.RBS");
  test::WriteWhole(target, "the user's old spectrum");
  testing::SetWriteFunction(failingWrite);
  EXPECT_EQ(WriteFileReplacing(target, std::string(5000, 'x')), kDoesNotFit);
  EXPECT_EQ(test::ReadWhole(target), "the user's old spectrum");
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 1);
}

TEST_F(FileIo, AFailedWriteOfANewFileLeavesNothing) {
  testing::SetWriteFunction(failingWrite);
  EXPECT_EQ(WriteFileReplacing(dir_.file("new.AS1"), std::string(5000, 'x')), kDoesNotFit);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 0);
}

TEST_F(FileIo, AWriterThatFailsThroughTheDiskKeepsTheOldFile) {
  SpectrumRecord record = test::RecordWithCounts(test::SmoothCounts(1024));
  record.FileName = dir_.file("film.chn");
  test::WriteWhole(dir_.file("film.RBS"), "old");
  testing::SetWriteFunction(failingWrite);
  EXPECT_EQ(WriteRBS(record), kDoesNotFit);
  EXPECT_EQ(test::ReadWhole(dir_.file("film.RBS")), "old");
}

TEST_F(FileIo, ReplacingAFileKeepsItsPermissionsAndNewFilesFollowTheUmask) {
  const std::string existing = dir_.file("a.AS1");
  test::WriteWhole(existing, "old");
  ASSERT_EQ(::chmod(existing.c_str(), 0640), 0);
  ASSERT_EQ(WriteFileReplacing(existing, "new"), kDone);
  EXPECT_EQ(test::ReadWhole(existing), "new");
  struct stat st {};
  ASSERT_EQ(::stat(existing.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  const mode_t mask = ::umask(022);
  ::umask(mask);
  ASSERT_EQ(WriteFileReplacing(dir_.file("b.AS1"), "fresh"), kDone);
  ASSERT_EQ(::stat(dir_.file("b.AS1").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0666u & ~mask);
}

TEST_F(FileIo, ProtectedTargetsAndMissingFoldersCannotBeCreated) {
  const std::string readOnly = dir_.file("kept.RBS");
  test::WriteWhole(readOnly, "precious");
  ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
  EXPECT_EQ(WriteFileReplacing(readOnly, "new"), kCannotCreate);
  EXPECT_EQ(test::ReadWhole(readOnly), "precious");
  EXPECT_EQ(WriteFileReplacing(dir_.file("missing/x.RBS"), "new"), kCannotCreate);
  ASSERT_EQ(::mkdir(dir_.file("folder.RBS").c_str(), 0755), 0);
  EXPECT_EQ(WriteFileReplacing(dir_.file("folder.RBS"), "new"), kCannotCreate);
}

TEST_F(FileIo, ALinkedTargetIsReplacedThroughTheLink) {
  const std::string real = dir_.file("real.SEN");
  test::WriteWhole(real, "old");
  ASSERT_EQ(::symlink(real.c_str(), dir_.file("link.SEN").c_str()), 0);
  ASSERT_EQ(WriteFileReplacing(dir_.file("link.SEN"), "new"), kDone);
  EXPECT_TRUE(std::filesystem::is_symlink(dir_.file("link.SEN")));
  EXPECT_EQ(test::ReadWhole(real), "new");
}

TEST_F(FileIo, ReadingGivesTheBytesOr53) {
  test::WriteWhole(dir_.file("x"), std::string("a\0b", 3));
  Bytes bytes;
  ASSERT_EQ(ReadFileBytes(dir_.file("x"), bytes), kDone);
  EXPECT_EQ(bytes, std::string("a\0b", 3));
  EXPECT_EQ(ReadFileBytes(dir_.file("none"), bytes), kCannotOpen);
  EXPECT_EQ(ReadFileBytes(dir_.path(), bytes), kCannotOpen);
  // A device without end is cut off at the size limit rather than read for ever.
  EXPECT_EQ(ReadFileBytes("/dev/zero", bytes), kNotThisFormat);
  EXPECT_TRUE(bytes.empty());
}

}  // namespace
}  // namespace durnix
