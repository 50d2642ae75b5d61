// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/ascii.h"

#include <gtest/gtest.h>

#include "formats/catalogue.h"
#include "support/records.h"
#include "support/temp_dir.h"

namespace durnix {
namespace {

using test::RecordWithCounts;

std::string as2Lines(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) text += std::to_string(i + 1) + "\n";
  return text;
}

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

TEST(AsciiWriter, RefusesChannelCountsItsReaderWouldReject) {
  test::TempDir dir;
  for (int n : {0, 255, 16385}) {
    SpectrumRecord record =
        RecordWithCounts(std::vector<std::int32_t>(static_cast<std::size_t>(n), 1));
    record.FileName = dir.file("small.chn");
    EXPECT_EQ(WriteAS1(record), kDoesNotFit) << n;
    EXPECT_EQ(record.FileName, dir.file("small.AS1"));
    EXPECT_FALSE(LocalFiles().Exists(record.FileName)) << n;
    EXPECT_EQ(WriteAS2(record), kDoesNotFit) << n;
  }
  SpectrumRecord largest = RecordWithCounts(std::vector<std::int32_t>(16384, 3));
  largest.FileName = dir.file("large");
  EXPECT_EQ(WriteAS2(largest), kDone);
  EXPECT_EQ(largest.FileName, dir.file("large.AS2"));
}

TEST(AsciiRoundTrip, CountsComeBackWhateverTheirSign) {
  std::vector<std::int32_t> counts = test::SmoothCounts(1000);
  counts[3] = -17;
  counts[4] = -2147483647 - 1;
  counts[5] = 2147483647;
  SpectrumRecord record = RecordWithCounts(counts);
  record.SpecId = "REM lines are comments";
  record.AcqDate = "x";
  using Read = Status (*)(ByteView, SpectrumRecord&);
  using Encode = Status (*)(const SpectrumRecord&, Bytes&);
  const std::pair<Encode, Read> formats[] = {{EncodeAS1, ReadAS1}, {EncodeAS2, ReadAS2}};
  for (const auto& [encode, read] : formats) {
    Bytes out;
    ASSERT_EQ(encode(record, out), kDone);
    SpectrumRecord back;
    ASSERT_EQ(read(out, back), kDone);
    EXPECT_EQ(back.Counts, counts);
    EXPECT_EQ(back.ChannelCount, 1000);
    EXPECT_EQ(back.SpecId, "");  // the readers fill the spectrum only
  }
}

TEST(AsciiReader, TakesLinesInOrderAndSkipsCommentsAndLinesWithoutSeparator) {
  std::string text = "rem lower case comment\n'quoted comment\n\n17\n";
  for (int i = 0; i < 256; ++i) {
    // Channel numbers start at 100 and run backwards: only the order of the lines counts.
    text += std::to_string(400 - i) + (i % 2 ? "\t" : "  ") + std::to_string(i * 3) + "  \r\n";
    if (i == 10) text += "REM in the middle\r\n  '  \r\n";
  }
  SpectrumRecord record;
  ASSERT_EQ(ReadAS1(text, record), kDone);
  ASSERT_EQ(record.ChannelCount, 256);
  EXPECT_EQ(record.count(1), 0);
  EXPECT_EQ(record.count(2), 3);
  EXPECT_EQ(record.count(256), 765);
}

TEST(AsciiReader, ChannelCountsOutsideTheLimitsAreRejected) {
  SpectrumRecord record;
  std::string as1;
  for (int i = 0; i < 255; ++i) as1 += std::to_string(i) + " 5\n";
  EXPECT_EQ(ReadAS1(as1, record), kNotThisFormat);
  EXPECT_EQ(ReadAS1(as1 + "255 5\n", record), kDone);
  EXPECT_EQ(record.ChannelCount, 256);
  EXPECT_EQ(ReadAS2(as2Lines(16384), record), kDone);
  EXPECT_EQ(record.ChannelCount, 16384);
  EXPECT_EQ(ReadAS2(as2Lines(16385), record), kNotThisFormat);
  EXPECT_EQ(record.ChannelCount, 0);
  EXPECT_TRUE(record.Counts.empty());
}

TEST(AsciiReader, As2LinesMustEndInADigitAndHalvesRoundToEven) {
  SpectrumRecord record;
  std::string text = "12.5\n13.5\n-2.5\n1e3\n" + as2Lines(252);
  ASSERT_EQ(ReadAS2(text, record), kDone);
  EXPECT_EQ(record.count(1), 12);
  EXPECT_EQ(record.count(2), 14);
  EXPECT_EQ(record.count(3), -2);
  EXPECT_EQ(record.count(4), 1000);
  EXPECT_EQ(ReadAS2("12.5e\n" + as2Lines(300), record), kNotThisFormat);
  EXPECT_EQ(ReadAS2(as2Lines(300) + "5 counts\n", record), kNotThisFormat);
  // A count that does not fit 32 bits.
  EXPECT_EQ(ReadAS2("3000000000\n" + as2Lines(300), record), kNotThisFormat);
  EXPECT_EQ(ReadAS1("0 3000000000\n" + as2Lines(300), record), kNotThisFormat);
}

TEST(AsciiReader, BinaryFilesAreNotTextButDosPaddingIsAccepted) {
  SpectrumRecord record;
  const std::string text = as2Lines(300);
  EXPECT_EQ(ReadAS2(text + std::string(5, '\0') + "\x1A", record), kDone);
  EXPECT_EQ(record.ChannelCount, 300);
  std::string binary = text;
  binary[100] = '\0';
  EXPECT_EQ(ReadAS2(binary, record), kNotThisFormat);
}

TEST(AsciiReader, FailureKeepsTheOtherFieldsAndEmptiesTheSpectrum) {
  SpectrumRecord record = RecordWithCounts({1, 2, 3});
  record.SpecId = "kept";
  record.CalGain = 2.5f;
  EXPECT_EQ(ReadAS1("no numbers here\n", record), kNotThisFormat);
  EXPECT_EQ(record.SpecId, "kept");
  EXPECT_EQ(record.CalGain, 2.5f);
  EXPECT_TRUE(record.Counts.empty());
  EXPECT_EQ(record.ChannelCount, 0);
}

TEST(AsciiReader, MissingFileGives53) {
  SpectrumRecord record = RecordWithCounts({1});
  record.FileName = "/nonexistent/durnix/spectrum.as1";
  EXPECT_EQ(ReadAS1(record), kCannotOpen);
  EXPECT_EQ(ReadAS2(record), kCannotOpen);
  EXPECT_EQ(record.ChannelCount, 0);
}

}  // namespace
}  // namespace durnix
