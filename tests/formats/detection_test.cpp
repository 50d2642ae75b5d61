// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/detection.h"

#include <gtest/gtest.h>

#include "formats/ascii.h"
#include "formats/byte_io.h"
#include "formats/catalogue.h"
#include "formats/rbs.h"
#include "support/records.h"
#include "support/temp_dir.h"

namespace durnix {
namespace {

using test::RecordWithCounts;

std::string detect(ByteView bytes, SpectrumRecord& record, Status& status) {
  std::string name = "stale";
  status = DetectAndRead(bytes, record, name);
  return name;
}

TEST(Detection, EveryWrittenFormatIsRecognisedAsItself) {
  for (const FormatInfo& format : FormatCatalogue()) {
    if (!format.writable()) continue;
    SpectrumRecord source = RecordWithCounts(test::SmoothCounts(1024));
    source.FileName = "/data/film." + std::string(format.extension);
    source.AcqDate = "06-Dec-26";
    Bytes file;
    ASSERT_EQ(format.encode(source, file), kDone) << format.displayName;
    SpectrumRecord record;
    record.FileName = source.FileName;
    Status status = 0;
    EXPECT_EQ(detect(file, record, status), format.displayName);
    EXPECT_EQ(status, kDone) << format.displayName;
    EXPECT_EQ(record.Counts, source.Counts) << format.displayName;
  }
}

TEST(Detection, AnAs1FileIsNeverTakenForAs2) {
  // Every AS1 line ends in a digit, so AS2 would read it too: AS1 is tried first.
  std::string text;
  for (int i = 0; i < 300; ++i) text += std::to_string(i) + " " + std::to_string(i % 7) + "\n";
  SpectrumRecord record;
  Status status = 0;
  EXPECT_EQ(detect(text, record, status), "ASCII with channel (AS1)");
  EXPECT_EQ(record.count(2), 1);
}

TEST(Detection, As1ScreenPassesOnTheFirstNonZeroSecondColumn) {
  std::string text;
  for (int i = 0; i < 299; ++i) text += std::to_string(i) + " 0\n";
  EXPECT_FALSE(ScreenAS1(text));
  EXPECT_TRUE(ScreenAS1(text + "299 4\n"));
  SpectrumRecord record;
  Status status = 0;
  EXPECT_EQ(detect(text + "299 4\n", record, status), "ASCII with channel (AS1)");
  EXPECT_EQ(record.count(300), 4);
}

TEST(Detection, ZeroFilesCommentFilesAndForeignFilesAreUnknown) {
  SpectrumRecord record = RecordWithCounts({1});
  Status status = 0;
  std::string zeros;
  for (int i = 0; i < 400; ++i) zeros += "0\r\n";
  EXPECT_EQ(detect(zeros, record, status), "");
  EXPECT_EQ(status, kUnknownFormat);
  EXPECT_EQ(detect("REM only\r\n' comments\r\n\r\nrem here\r\n", record, status), "");
  EXPECT_EQ(status, kUnknownFormat);
  EXPECT_EQ(detect("", record, status), "");
  EXPECT_EQ(status, kUnknownFormat);
  // A screen that passes does not make the file ASCII: too few lines for the reader.
  EXPECT_EQ(detect("0 5\n1 6\n", record, status), "");
  EXPECT_EQ(status, kUnknownFormat);
  EXPECT_TRUE(record.Counts.empty());
}

TEST(Detection, PixeRbsFilesStopDetection) {
  Bytes file;
  ASSERT_EQ(EncodeRBS(RecordWithCounts({1, 2}), file), kDone);
  // Turn the type-16 record into a PIXE record: same length, so the file stays well formed.
  std::size_t at = 20;
  while (bytes::u32be(file, at + 4) != 16) at += 4 * bytes::u32be(file, at);
  file[at + 6] = 0x01;
  file[at + 7] = 0x22;  // type 290
  SpectrumRecord record;
  Status status = 0;
  EXPECT_EQ(detect(file, record, status), "");
  EXPECT_EQ(status, kPixeOrNra);
}

TEST(Detection, FilesOnDiskAreReadOnceAndMissingOnesGive53) {
  test::TempDir dir;
  SpectrumRecord record = RecordWithCounts(test::SmoothCounts(256));
  record.FileName = dir.file("film");
  ASSERT_EQ(WriteAS2(record), kDone);
  SpectrumRecord back;
  back.FileName = record.FileName;
  std::string name;
  EXPECT_EQ(DetectAndRead(back, name), kDone);
  EXPECT_EQ(name, "ASCII without channel (AS2)");
  back.FileName = dir.file("vanished.RBS");
  EXPECT_EQ(DetectAndRead(back, name), kCannotOpen);
  EXPECT_EQ(name, "");
  back.FileName = dir.path();  // a folder cannot be opened as a file
  EXPECT_EQ(DetectAndRead(back, name), kCannotOpen);
}

}  // namespace
}  // namespace durnix
