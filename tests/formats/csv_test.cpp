// SPDX-License-Identifier: GPL-3.0-or-later
// Spreadsheet files: the writer's layout, round trips with and without calibration, energies a
// spreadsheet changed, and lines the reader refuses.
#include "formats/csv.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>

#include "support/records.h"

namespace durnix {
namespace {

TEST(CsvWriter, LayoutRoundTripAndRefusals) {
  SpectrumRecord record = test::RecordWithCounts({0, 7, 123456});
  record.CalGain = 2.5f;
  record.CalOffset = -1.25f;
  record.StartCh = 4;
  Bytes out;
  ASSERT_EQ(EncodeCsv(record, out), kDone);
  EXPECT_EQ(out,
            "Channel,Energy (keV),Counts\r\n4,8.750000,0\r\n5,11.250000,7\r\n"
            "6,13.750000,123456\r\n");
  // A long calibrated spectrum keeps its calibration to the single's precision.
  SpectrumRecord wide = test::RecordWithCounts(test::SmoothCounts(16384));
  wide.CalGain = 0.182804f;
  wide.CalOffset = -0.035087f;
  for (const SpectrumRecord& sent : {record, wide}) {
    ASSERT_EQ(EncodeCsv(sent, out), kDone);
    SpectrumRecord again;
    ASSERT_EQ(ReadCsv(out, again), kDone);
    EXPECT_EQ(again.Counts, sent.Counts);
    EXPECT_EQ(again.StartCh, sent.StartCh);
    EXPECT_NEAR(again.CalGain, sent.CalGain, 1e-7);
    EXPECT_NEAR(again.CalOffset, sent.CalOffset, 1e-5);
    EXPECT_TRUE(CsvDropped(out).empty());
  }

  // Every line as printf writes it, over channels whose digits grow and energies from negative
  // to beyond a billion, and counts of every length.
  std::vector<std::int32_t> counts(2000);
  for (std::size_t i = 0; i < counts.size(); ++i) {
    counts[i] = i % 3 == 0 ? INT32_MAX - static_cast<std::int32_t>(i)
                           : static_cast<std::int32_t>(i * i % 100003);
  }
  SpectrumRecord stepping = test::RecordWithCounts(counts);
  stepping.StartCh = 7;
  stepping.CalGain = 1234567.9f;
  stepping.CalOffset = -25000000.5f;
  ASSERT_EQ(EncodeCsv(stepping, out), kDone);
  std::string expected = "Channel,Energy (keV),Counts\r\n";
  for (std::size_t i = 0; i < counts.size(); ++i) {
    char line[80];
    const long long channel = 7 + static_cast<long long>(i);
    std::snprintf(line, sizeof line, "%lld,%.6f,%d\r\n", channel,
                  static_cast<double>(stepping.CalOffset) +
                      static_cast<double>(stepping.CalGain) * static_cast<double>(channel),
                  counts[i]);
    expected += line;
  }
  EXPECT_EQ(out, expected);

  ASSERT_EQ(EncodeCsv(test::RecordWithCounts({1, 2}), out), kDone);
  EXPECT_EQ(out, "Channel,Counts\r\n0,1\r\n1,2\r\n");
  EXPECT_EQ(EncodeCsv(test::RecordWithCounts({}), out), kDoesNotFit);
  EXPECT_EQ(EncodeCsv(test::RecordWithCounts({3, -1}), out), kDoesNotFit);
}

TEST(CsvReader, SpreadsheetLinesAndRefusals) {
  SpectrumRecord record;
  // Letter case, blanks, LF line ends, a blank last line, another energy column name.
  const std::string edited = " channel , ENERGY [MeV] ,counts\n0, 1.0 ,5\n1,2.0,6\n2,3.5,7\n\n";
  ASSERT_TRUE(HasCsvSignature(edited));
  ASSERT_EQ(ReadCsv(edited, record), kDone);
  EXPECT_EQ(record.Counts, (std::vector<std::int32_t>{5, 6, 7}));
  EXPECT_FLOAT_EQ(record.CalGain, 1.25f);
  EXPECT_EQ(CsvDropped(edited),
            (std::vector<std::string>{"energies not on one line over the channels"}));
  std::string tooMany = "Channel,Counts\r\n";
  for (int i = 0; i <= kCsvMaxChannels; ++i) tooMany += std::to_string(i) + ",1\r\n";
  const std::pair<const char*, std::string> refused[] = {
      {"no channel", "Channel,Counts\n"},
      {"a channel left out", "Channel,Counts\n0,1\n2,2\n"},
      {"below 0", "Channel,Counts\n0,1\n1,-2\n"},
      {"not whole", "Channel,Counts\n0,1\n1,2.5\n"},
      {"beyond 32 bits", "Channel,Counts\n0,1\n1,3000000000\n"},
      {"a column too many", "Channel,Counts\n0,1,2\n"},
      {"a column missing", "Channel,Energy,Counts\n0,1\n"},
      {"before channel 0", "Channel,Counts\n-1,1\n"},
      {"not comma-separated", "Channel;Counts\n0;1\n"},
      {"columns swapped", "Counts,Channel\n0,1\n"},
      {"not the first line", "x\nChannel,Counts\n0,1\n"},
      {"too many channels", tooMany}};
  for (const auto& [what, bad] : refused) EXPECT_EQ(ReadCsv(bad, record), kNotThisFormat) << what;
}

}  // namespace
}  // namespace durnix
