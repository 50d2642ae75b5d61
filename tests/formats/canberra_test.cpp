// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/canberra.h"

#include <gtest/gtest.h>

#include "formats/byte_io.h"
#include "support/records.h"
#include "support/temp_dir.h"

namespace durnix {
namespace {

using test::RecordWithCounts;

TEST(CanberraWriter, HeaderLayoutAndMcaExtension) {
  test::TempDir dir;
  SpectrumRecord record = RecordWithCounts(test::SmoothCounts(256));
  record.FileName = dir.file("run.spc");
  record.SpecId = "  an identifier longer than sixteen  ";
  record.AcqDate = "06-Dec-2026";
  record.AcqTime = "09:17:05";
  ASSERT_EQ(WriteCanberra(record), kDone);
  EXPECT_EQ(record.FileName, dir.file("run.MCA"));
  const Bytes file = test::ReadWhole(record.FileName);
  ASSERT_EQ(file.size(), 512u + 4 * 256);
  EXPECT_EQ(file.substr(0, 6), std::string(6, '\0'));
  EXPECT_EQ(file.substr(6, 16), "  an identifier ");  // leading blanks kept, cut to 16
  EXPECT_EQ(file.substr(22, 12), std::string("06-Dec-2026\0", 12));
  EXPECT_EQ(file.substr(34, 11), "09:17:05   ");
  EXPECT_EQ(file.substr(45, 221), std::string(221, '\0'));
  EXPECT_EQ(bytes::i16le(file, 266), 256);
  EXPECT_EQ(bytes::i32le(file, 512), record.count(1));

  SpectrumRecord back;
  ASSERT_EQ(ReadCanberra(file, back), kDone);
  EXPECT_EQ(back.Counts, record.Counts);
  EXPECT_EQ(back.SpecId, "an identifier");
  EXPECT_EQ(back.AcqDate, "06-Dec-2026");
  EXPECT_EQ(back.AcqTime, "09:17:05");
}

TEST(CanberraReader, ChannelLimitsAndExactLength) {
  Bytes file;
  SpectrumRecord record;
  EXPECT_EQ(EncodeCanberra(RecordWithCounts(std::vector<std::int32_t>(255, 1)), file), kDoesNotFit);
  EXPECT_EQ(EncodeCanberra(RecordWithCounts(std::vector<std::int32_t>(8193, 1)), file),
            kDoesNotFit);
  ASSERT_EQ(EncodeCanberra(RecordWithCounts(std::vector<std::int32_t>(8192, 1)), file), kDone);
  EXPECT_EQ(ReadCanberra(file, record), kDone);
  EXPECT_EQ(record.ChannelCount, 8192);
  // Files of other lengths are other formats, whatever they hold at offset 266.
  EXPECT_EQ(ReadCanberra(file + "x", record), kNotThisFormat);
  EXPECT_EQ(ReadCanberra(file.substr(0, file.size() - 4), record), kNotThisFormat);
  ASSERT_EQ(EncodeCanberra(RecordWithCounts(std::vector<std::int32_t>(256, 1)), file), kDone);
  file[266] = static_cast<char>(255);
  file[267] = 0;
  EXPECT_EQ(ReadCanberra(file.substr(0, 512 + 4 * 255), record), kNotThisFormat);
}

}  // namespace
}  // namespace durnix
