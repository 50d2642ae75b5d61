// SPDX-License-Identifier: GPL-3.0-or-later
// Detection of every file of the golden corpus is pinned by its "AUTO" reads; these cases reach
// empty input and the file system.
#include "formats/detection.h"

#include <gtest/gtest.h>

#include "formats/ascii.h"
#include "support/memory_file_system.h"
#include "support/records.h"

namespace durnix {
namespace {

TEST(Detection, AnEmptyFileIsUnknownAndLeavesNoSpectrum) {
  SpectrumRecord record = test::RecordWithCounts({1});
  std::string name = "stale";
  EXPECT_EQ(DetectAndRead(ByteView(), record, name), kUnknownFormat);
  EXPECT_EQ(name, "");
  EXPECT_TRUE(record.Counts.empty());
}

TEST(Detection, FilesAreReadThroughTheFileSystemAndMissingOnesGive53) {
  test::MemoryFileSystem files;
  Bytes as2;
  ASSERT_EQ(EncodeAS2(test::RecordWithCounts(test::SmoothCounts(256)), as2), kDone);
  files.addFile("/d/film", as2);
  SpectrumRecord record;
  record.FileName = "/d/film";
  std::string name;
  EXPECT_EQ(DetectAndRead(record, name, files), kDone);
  EXPECT_EQ(name, "ASCII without channel (AS2)");
  for (const char* path : {"/d/vanished.RBS", "/d"}) {  // a folder cannot be opened as a file
    record.FileName = path;
    EXPECT_EQ(DetectAndRead(record, name, files), kCannotOpen) << path;
    EXPECT_EQ(name, "") << path;
    EXPECT_TRUE(record.Counts.empty()) << path;
  }
}

}  // namespace
}  // namespace durnix
