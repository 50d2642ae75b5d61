// SPDX-License-Identifier: GPL-3.0-or-later
// The RBS layout is pinned by the golden corpus (tests/data/rbs and the conversions to RBS); these
// cases reach what its files cannot: reading over an earlier record, files near the size limit,
// hostile record lengths, data records with values to spare, and the version texts.
#include "formats/rbs.h"

#include <gtest/gtest.h>

#include <limits>

#include "formats/byte_io.h"
#include "support/records.h"

namespace durnix {
namespace {

using test::RecordWithCounts;

Bytes be32(std::initializer_list<std::uint32_t> values) {
  Bytes b;
  ByteWriter w(b);
  for (auto v : values) w.u32be(v);
  return b;
}

// A record of `type` holding `data` (padded to whole words), closed by its check word.
Bytes rec(std::uint32_t type, Bytes data) {
  while (data.size() % 4) data += '\0';
  const Bytes r = be32({static_cast<std::uint32_t>(data.size() / 4 + 3), type}) + data;
  return r + be32({RbsCheckWord(r)});
}

const Bytes kHeader = be32({5, 0, kRbsMagic, 0x00010000, 0xEFDDEDEB});

// Reading starts from the caller's record: fields the file has no record for stay, a text of
// length 0 leaves its field, a date without "/" clears the time. A PIXE or NRA file gives 3 and
// leaves the record as it was, but for its spectrum.
TEST(RbsReader, ReadsIntoTheCallersRecord) {
  SpectrumRecord record = RecordWithCounts({4, 5});
  record.SpecId = "kept";
  record.AcqTime = "stale";
  ASSERT_EQ(ReadRBS(kHeader + rec(257, be32({0})) + rec(259, be32({5}) + "today"), record), kDone);
  EXPECT_EQ(record.SpecId + "|" + record.AcqDate + "|" + record.AcqTime, "kept|today|");
  EXPECT_EQ(record.ChannelCount, 0);
  for (std::uint32_t type : {290u, 291u}) {
    record = RecordWithCounts({4, 5});
    record.SpecId = "before";
    const Bytes file = kHeader + rec(257, be32({5}) + "after") + rec(16, be32({1, 1})) +
                       rec(17, be32({9})) + rec(type, be32({0}));
    EXPECT_EQ(ReadRBS(file, record), kPixeOrNra);
    EXPECT_EQ(record.SpecId, "before");
    EXPECT_TRUE(record.Counts.empty());
  }
}

TEST(RbsReader, EveryDataRecordButTheLastHolds1024Values) {
  Bytes values;
  ByteWriter w(values);
  for (int k = 0; k < 1500; ++k) w.i32be(k);
  SpectrumRecord record;
  const Bytes file =
      kHeader + rec(16, be32({1, 1500})) + rec(17, values) + rec(19, values.substr(0, 4 * 476));
  ASSERT_EQ(ReadRBS(file, record), kDone);
  EXPECT_EQ(std::vector({record.count(1024), record.count(1025), record.count(1500)}),
            (std::vector<std::int32_t>{1023, 0, 475}));  // channels 1024, 1025 and 1500
}

TEST(RbsReader, FilesAtTheSizeLimitAndHostileRecords) {
  const Bytes good = kHeader + rec(16, be32({1, 2})) + rec(17, be32({5, 6}));
  Bytes wrongMagic = good;
  wrongMagic[8] = 0x11;
  Bytes padded = good;
  padded.resize(kRbsMaxFileBytes, '\0');
  const std::pair<Bytes, Status> cases[] = {
      {good, kDone},
      {kHeader + be32({0, 272, 0}), kNotThisFormat},  // a length word of 0 must not loop for ever
      {kHeader + rec(288, be32({40000, 0, 0, 0, 0})), kNotThisFormat},  // geometry beyond 16 bits
      {wrongMagic, kNotThisFormat},
      {good.substr(0, 3), kNotThisFormat},
      {padded, kDone},  // zero padding after the last record ends the records
      {padded + Bytes(1, '\0'), kNotThisFormat},
      {good + Bytes(3, '\0'), kDone},
      {good + "xyz", kNotThisFormat}};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SpectrumRecord record;
    EXPECT_EQ(ReadRBS(cases[i].first, record), cases[i].second) << "case " << i;
  }
}

TEST(RbsWriter, TheFirstCountOfADataRecordIsWrittenWhole) {
  constexpr std::int32_t lowest = std::numeric_limits<std::int32_t>::min();
  const std::vector<std::int32_t> counts = {lowest, lowest + 30000};
  Bytes file;
  ASSERT_EQ(EncodeRBS(RecordWithCounts(counts), file), kDone);
  SpectrumRecord back;
  ASSERT_EQ(ReadRBS(file, back), kDone);
  EXPECT_EQ(back.Counts, counts);
}

TEST(RbsTexts, VersionDigitsReadAsABinaryMajorAndADecimalMinor) {
  EXPECT_EQ(RbsVersionText(1, 1, 0, 5), "3.05");
  EXPECT_EQ(RbsVersionText(0, 0x10, 0x1, 0x2), "2.12");
  EXPECT_EQ(RbsVersionText(0, 2, 0xA0, 0), "2.00");  // the minor digits begin with a letter
  EXPECT_STREQ(GeometryText(-1), "No Geom");
}

}  // namespace
}  // namespace durnix
