// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/spm.h"

#include <gtest/gtest.h>

#include "formats/byte_io.h"
#include "support/records.h"

namespace durnix {
namespace {

using test::RecordWithCounts;

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
