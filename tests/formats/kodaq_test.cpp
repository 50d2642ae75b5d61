// SPDX-License-Identifier: GPL-3.0-or-later
// The KODAQ layout is pinned by the golden corpus (tests/data/kodaq and the conversions to KODAQ),
// whose conversions carry no negative counts; these cases write them.
#include "formats/kodaq.h"

#include <gtest/gtest.h>

#include "support/records.h"

namespace durnix {
namespace {

TEST(KodaqWriter, CountsAreSigned16BitWords) {
  std::vector<std::int32_t> counts(256, 3);
  counts[1] = -5;
  counts[2] = -32768;
  counts[3] = 32767;
  Bytes file;
  ASSERT_EQ(EncodeKodaq(test::RecordWithCounts(counts), file), kDone);
  EXPECT_EQ(file.substr(130, 6), std::string("\xFB\xFF\x00\x80\xFF\x7F", 6));
  for (std::int32_t beyond : {32768, -32769}) {
    counts[4] = beyond;
    EXPECT_EQ(EncodeKodaq(test::RecordWithCounts(counts), file), kDoesNotFit) << beyond;
  }
}

}  // namespace
}  // namespace durnix
