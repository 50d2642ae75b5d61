// SPDX-License-Identifier: GPL-3.0-or-later
// The ASCII layouts are pinned by the golden corpus (tests/data/as1, tests/data/as2 and the
// conversions to them), whose conversions always carry a title; these cases reach the rest.
#include "formats/ascii.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "formats/catalogue.h"
#include "support/records.h"

namespace durnix {
namespace {

using test::RecordWithCounts;

TEST(AsciiWriter, EmptyTextsGiveOnlyTheEmptyLineAndBreaksInTextsAreBlanked) {
  SpectrumRecord record = RecordWithCounts(std::vector<std::int32_t>(256, 1));
  Bytes out;
  ASSERT_EQ(EncodeAS2(record, out), kDone);
  EXPECT_EQ(out.substr(0, 7), "\r\n 1 \r\n");

  // A title with a line break must not turn into a data line of its own.
  record.SpecId = std::string("first\r\n12 34\0x", 14);
  ASSERT_EQ(EncodeAS1(record, out), kDone);
  EXPECT_EQ(out.substr(0, 20), "REM first  12 34 x\r\n");
  SpectrumRecord back;
  ASSERT_EQ(ReadAS1(out, back), kDone);
  EXPECT_EQ(back.ChannelCount, 256);
}

TEST(AsciiRoundTrip, CountsAtThe32BitLimitsComeBack) {
  std::vector<std::int32_t> counts = test::SmoothCounts(256);
  counts[3] = -17;
  counts[4] = std::numeric_limits<std::int32_t>::min();
  counts[5] = std::numeric_limits<std::int32_t>::max();
  for (FormatCode code : {FMT_AS1, FMT_AS2}) {
    SpectrumRecord record = RecordWithCounts(counts);
    Bytes out;
    ASSERT_EQ(Format(code).encode(record, out), kDone);
    SpectrumRecord back;
    ASSERT_EQ(ParseFormat(Format(code), out, back), kDone);
    EXPECT_EQ(back.Counts, counts) << Format(code).displayName;
  }
}

// A text file may end in DOS padding but holds no other NUL; every AS2 line is a number that fits
// 32 bits. A file refused keeps the other fields and leaves no counts.
TEST(AsciiReader, PaddingNulsStrayTextAndCountsBeyond32Bits) {
  std::string lines;
  for (int i = 1; i <= 300; ++i) lines += std::to_string(i) + "\n";
  std::string binary = lines;
  binary[100] = '\0';
  using Read = Status (*)(ByteView, SpectrumRecord&);
  const std::tuple<Read, std::string, Status> cases[] = {
      {ReadAS2, lines + std::string(5, '\0') + "\x1A", kDone},
      {ReadAS2, binary, kNotThisFormat},
      {ReadAS2, lines + "5 counts\n", kNotThisFormat},
      {ReadAS2, "3000000000\n" + lines, kNotThisFormat},
      {ReadAS1, "no numbers here\n", kNotThisFormat}};
  for (const auto& [read, text, status] : cases) {
    SpectrumRecord record = RecordWithCounts({1, 2, 3});
    record.SpecId = "kept";
    record.CalGain = 2.5f;
    EXPECT_EQ(read(text, record), status) << text.substr(0, 12);
    EXPECT_EQ(record.ChannelCount, status == kDone ? 300 : 0) << text.substr(0, 12);
    EXPECT_EQ(record.Counts.size(), static_cast<std::size_t>(record.ChannelCount));
    if (status != kDone) {
      EXPECT_EQ(record.SpecId + " " + std::to_string(record.CalGain), "kept 2.500000");
    }
  }
}

}  // namespace
}  // namespace durnix
