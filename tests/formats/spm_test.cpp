// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/spm.h"

#include <gtest/gtest.h>

#include "formats/byte_io.h"
#include "support/records.h"

namespace durnix {
namespace {

using test::RecordWithCounts;

TEST(SpmWriter, HeaderLayoutAndRoundTrip) {
  SpectrumRecord record = RecordWithCounts(test::SmoothCounts(512));
  record.SpecId = "Old Oxford spectrum";
  record.AcqDate = " 6-Dec-26";
  record.AcqTime = "9:17";
  Bytes file;
  ASSERT_EQ(EncodeSpm(record, file), kDone);
  ASSERT_EQ(file.size(), 512u + 4 * 512);
  EXPECT_EQ(file.substr(0, 8), std::string("\0\0\0\xFF\0\0\0\0", 8));
  EXPECT_EQ(file.substr(8, 14), "Old Oxford spe");
  EXPECT_EQ(file.substr(22, 24), std::string(" 6-Dec-26  \0" "9:17       ", 23) + '\0');
  EXPECT_EQ(bytes::i16le(file, 266), 512);
  SpectrumRecord back;
  ASSERT_EQ(ReadSpm(file, back), kDone);
  EXPECT_EQ(back.Counts, record.Counts);
  EXPECT_EQ(back.SpecId, "Old Oxford spe");
  EXPECT_EQ(back.AcqDate, "6-Dec-26");
  EXPECT_EQ(back.AcqTime, "9:17");
}

TEST(SpmReader, MarkAndChannelCountAreChecked) {
  Bytes file;
  ASSERT_EQ(EncodeSpm(RecordWithCounts(std::vector<std::int32_t>(256, 5)), file), kDone);
  SpectrumRecord record;
  EXPECT_EQ(ReadSpm(file, record), kDone);
  // PCA files carry the same mark; longer files are read too.
  EXPECT_EQ(ReadSpm(file + "trailing", record), kDone);
  Bytes unmarked = file;
  unmarked[3] = '\xFE';
  EXPECT_EQ(ReadSpm(unmarked, record), kNotThisFormat);
  EXPECT_EQ(ReadSpm(file.substr(0, file.size() - 1), record), kNotThisFormat);
  EXPECT_EQ(EncodeSpm(RecordWithCounts(std::vector<std::int32_t>(255, 1)), file), kDoesNotFit);
  EXPECT_EQ(EncodeSpm(RecordWithCounts(std::vector<std::int32_t>(8193, 1)), file), kDoesNotFit);
}

}  // namespace
}  // namespace durnix
