// SPDX-License-Identifier: GPL-3.0-or-later
// The NUCLEUS and Hypra layouts are pinned by the golden corpus (tests/data/ncl, tests/data/snf and
// the conversions to them); these cases reach what its files do not.
#include "formats/ncl_snf.h"

#include <gtest/gtest.h>

#include "support/records.h"

namespace durnix {
namespace {

TEST(NclSnfWriters, ChannelsBeyondThe1024thAreDroppedWhateverTheyHold) {
  std::vector<std::int32_t> counts(1025, 1);
  counts[1024] = -1;
  Bytes file;
  EXPECT_EQ(EncodeNcl(test::RecordWithCounts(counts), file), kDone);
  EXPECT_EQ(EncodeSnf(test::RecordWithCounts(counts), file), kDone);
}

TEST(NclReader, FilesNamedSnfInAnyCaseAreRefusedBeforeTheyAreOpened) {
  Bytes file;
  ASSERT_EQ(EncodeNcl(test::RecordWithCounts({1}), file), kDone);
  SpectrumRecord record;
  record.FileName = "/data/run.ncl";
  EXPECT_EQ(ReadNcl(file, record), kDone);
  record.FileName = "/data/run.SnF";
  EXPECT_EQ(ReadNcl(file, record), kNotThisFormat);
  // No such file: refused by its name alone.
  EXPECT_EQ(ReadNcl(record, LocalFiles()), kNotThisFormat);
}

}  // namespace
}  // namespace durnix
