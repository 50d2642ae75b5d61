// SPDX-License-Identifier: GPL-3.0-or-later
// The Maestro layout is pinned by the golden corpus (tests/data/chn and the conversions to CHN);
// these cases reach what its files do not.
#include "formats/chn.h"

#include <gtest/gtest.h>

#include "support/records.h"

namespace durnix {
namespace {

// Reading over an earlier record keeps the fields the format has none for; a time of hours alone
// loses its blank minutes and seconds; a negative channel count is refused and empties the
// spectrum.
TEST(ChnReader, EarlierFieldsHoursAloneAndNegativeChannelCounts) {
  SpectrumRecord written = test::RecordWithCounts(test::SmoothCounts(511));
  Bytes file;
  ASSERT_EQ(EncodeChn(written, file), kDone);
  file.replace(24, 4, "12  ");
  file.replace(6, 2, "  ");
  SpectrumRecord record;
  record.SpecId = "kept";
  ASSERT_EQ(ReadChn(file, record), kDone);
  EXPECT_EQ(record.SpecId, "kept");
  EXPECT_EQ(record.AcqTime, "12");
  file.replace(30, 2, "\xFF\xFF");
  EXPECT_EQ(ReadChn(file, record), kNotThisFormat);
  EXPECT_TRUE(record.Counts.empty());
  EXPECT_EQ(record.SpecId, "kept");
}

}  // namespace
}  // namespace durnix
