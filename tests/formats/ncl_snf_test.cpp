// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/ncl_snf.h"

#include <gtest/gtest.h>

#include "formats/byte_io.h"
#include "support/records.h"

namespace durnix {
namespace {

using test::RecordWithCounts;

TEST(NclSnfWriters, ExactlyOneThousandTwentyFourChannels) {
  std::vector<std::int32_t> counts = test::SmoothCounts(2048);
  Bytes ncl, snf;
  ASSERT_EQ(EncodeNcl(RecordWithCounts(counts), ncl), kDone);
  ASSERT_EQ(EncodeSnf(RecordWithCounts(counts), snf), kDone);
  ASSERT_EQ(ncl.size(), 4096u);
  ASSERT_EQ(snf.size(), 4096u);
  EXPECT_EQ(bytes::i32le(ncl, 4 * 1023), counts[1023]);
  EXPECT_EQ(bytes::f32le(snf, 4 * 1023), static_cast<float>(counts[1023]));

  ASSERT_EQ(EncodeNcl(RecordWithCounts({7, 8}), ncl), kDone);
  EXPECT_EQ(ncl.substr(0, 12), std::string("\x07\0\0\0\x08\0\0\0\0\0\0\0", 12));
  EXPECT_EQ(ncl.substr(8), std::string(4088, '\0'));
}

TEST(NclSnfWriters, RefuseCountsTheirReadersWouldReject) {
  Bytes file;
  EXPECT_EQ(EncodeNcl(RecordWithCounts({1, -1}), file), kDoesNotFit);
  EXPECT_EQ(EncodeSnf(RecordWithCounts({1, -1}), file), kDoesNotFit);
  EXPECT_EQ(EncodeSnf(RecordWithCounts({2147483647}), file), kDoesNotFit);
  EXPECT_EQ(EncodeSnf(RecordWithCounts({2147483520}), file), kDone);
  // Channels beyond the 1024th are dropped, whatever they hold.
  std::vector<std::int32_t> counts(1025, 1);
  counts[1024] = -1;
  EXPECT_EQ(EncodeNcl(RecordWithCounts(counts), file), kDone);
}

TEST(NclReader, NegativeValuesLengthAndSnfNamesAreRefused) {
  Bytes file;
  ASSERT_EQ(EncodeNcl(RecordWithCounts(test::SmoothCounts(1024)), file), kDone);
  SpectrumRecord record;
  record.FileName = "/data/run.ncl";
  EXPECT_EQ(ReadNcl(file, record), kDone);
  EXPECT_EQ(record.ChannelCount, 1024);
  EXPECT_EQ(ReadNcl(file + "four", record), kNotThisFormat);
  record.FileName = "/data/run.SnF";
  EXPECT_EQ(ReadNcl(file, record), kNotThisFormat);
  EXPECT_EQ(ReadNcl(record), kNotThisFormat);  // by its name alone, before opening
  record.FileName = "/data/run.ncl";
  file.replace(400, 4, std::string("\xFF\xFF\xFF\xFF", 4));
  EXPECT_EQ(ReadNcl(file, record), kNotThisFormat);
}

TEST(SnfReader, SinglesRoundHalfToEvenAndMustNotBeNegative) {
  Bytes file(4096, '\0');
  const auto withValue = [&](float value) {
    Bytes b = file;
    Bytes v;
    ByteWriter(v).f32le(value);
    b.replace(0, 4, v);
    SpectrumRecord record;
    const Status status = ReadSnf(b, record);
    return status == kDone ? record.count(1) : -999;
  };
  EXPECT_EQ(withValue(2.5f), 2);
  EXPECT_EQ(withValue(3.5f), 4);
  EXPECT_EQ(withValue(-0.4f), 0);
  EXPECT_EQ(withValue(-0.6f), -999);
  EXPECT_EQ(withValue(3e9f), -999);
  SpectrumRecord record;
  EXPECT_EQ(ReadSnf(file.substr(0, 4092), record), kNotThisFormat);
}

}  // namespace
}  // namespace durnix
