// SPDX-License-Identifier: GPL-3.0-or-later
// IEC 61455 spectra: a file another program wrote (its values read off the file's text with a
// short script: the counts of lines 59 on, five to a line after the channel number), the
// writer's layout, round trips and refusals.
#include "formats/iec61455.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <tuple>

#include "formats/text_rules.h"
#include "support/records.h"
#include "support/temp_dir.h"

namespace durnix {
namespace {

using test::Texts;

const std::string kSample =
    std::string(DURNIX_REAL_SAMPLES_DIR) + "/multi/becquerel_hpge_dummy_test_01.iec";

TEST(IecReader, FileOfAnotherProgram) {
  if (!std::filesystem::exists(kSample)) GTEST_SKIP() << "no real samples";
  const std::string bytes = test::ReadWhole(kSample);
  SpectrumRecord record;
  ASSERT_EQ(ReadIec(bytes, record), kDone);
  EXPECT_EQ(Texts(record), std::make_tuple("Dummy data No real sample used Test case 1",
                                           "09/12/2021", "10:54:31", "3564.00", "3600.00"));
  EXPECT_FLOAT_EQ(record.CalOffset, -1.55656e-2f);
  EXPECT_FLOAT_EQ(record.CalGain, 0.8f);
  ASSERT_EQ(record.ChannelCount, 2048);
  const std::pair<std::size_t, std::int32_t> some[] = {
      {0, 40680}, {4, 41720}, {1000, 45200}, {2040, 2}};
  for (const auto& [channel, count] : some) EXPECT_EQ(record.Counts[channel], count) << channel;
  EXPECT_EQ(std::accumulate(record.Counts.begin(), record.Counts.end(), 0LL), 74305419);
  EXPECT_EQ(IecDropped(bytes),
            (std::vector<std::string>{"quadratic calibration term -2.97939e-08", "FWHM calibration",
                                      "second date 08/25/21 11:34:36"}));

  // Written and read again, everything the record holds comes back.
  Bytes written;
  ASSERT_EQ(EncodeIec(record, written), kDone);
  SpectrumRecord again;
  ASSERT_EQ(ReadIec(written, again), kDone);
  EXPECT_EQ(again.Counts, record.Counts);
  EXPECT_EQ(Texts(again), Texts(record));
  EXPECT_FLOAT_EQ(again.CalOffset, record.CalOffset);
  EXPECT_FLOAT_EQ(again.CalGain, record.CalGain);
  EXPECT_TRUE(IecDropped(written).empty());
  // The header keeps the other program's layout: 58 lines of 68 characters before the counts.
  EXPECT_EQ(written.substr(70, 70), bytes.substr(70, 70));
  EXPECT_EQ(written.substr(70 * 58, 62), bytes.substr(70 * 58, 62));
}

TEST(IecWriter, LayoutAndRefusals) {
  SpectrumRecord record = test::RecordWithCounts({0, 7, 2147483520, 5, 6, 9});
  Texts(record) = std::make_tuple("Au on Si\r\nrun 2", "06-Dec-26", "09:17", "873.5", "900");
  record.CalGain = 2.5f;
  record.CalOffset = -1.25f;
  Bytes out;
  ASSERT_EQ(EncodeIec(record, out), kDone);
  const auto line = [](std::string text) {
    text.resize(64, ' ');
    return "A004" + text + "\r\n";
  };
  std::string expected = line("DURNIX") + line("      873.50      900.00     6") +
                         line("12/06/26 09:17:00 12/06/26 09:17:00") +
                         line("-1.25000000E+00 2.50000000E+00 0.00000000E+00 0.00000000E+00") +
                         line(" 0.00000000E+00 0.00000000E+00 0.00000000E+00 0.00000000E+00") +
                         line(std::string(50, ' ') + "Au on Si run 2");
  for (int i = 0; i < 4; ++i) expected += line("");
  for (int i = 10; i < 46; ++i) {
    expected += line(" 0.000000000E+00 0.000000000E+00 0.000000000E+00 0.000000000E+00");
  }
  for (int i = 46; i < 58; ++i) expected += line("");
  expected +=
      "A004     0         0         72147483520         5         6\r\n"
      "A004     5         9         0         0         0         0\r\n";
  EXPECT_EQ(out, expected);
  // A count of ten digits fills its column and touches the one before; it reads back all the same.
  SpectrumRecord again;
  ASSERT_EQ(ReadIec(out, again), kDone);
  EXPECT_EQ(again.Counts, record.Counts);

  // Times too long for their 12 columns in two decimals take an exponent and keep to their
  // fields; the line still reads back.
  const std::pair<const char*, const char*> longTimes[] = {
      {"2.0777213e+21", "2.077721E+21"}, {"1000000000", "1.000000E+09"},
      {"-999999999.5", "-1.00000E+09"},  {"1e300", "1.00000E+300"},
      {"-1.5e-300", "       -0.00"},     {"999999999.99", "999999999.99"}};
  for (const auto& [time, field] : longTimes) {
    std::get<4>(Texts(record)) = time;
    ASSERT_EQ(EncodeIec(record, out), kDone) << time;
    EXPECT_EQ(out.substr(70 + 4, 30), std::string("      873.50") + field + "     6") << time;
    ASSERT_EQ(ReadIec(out, again), kDone) << time;
    EXPECT_EQ(again.Counts, record.Counts) << time;
    EXPECT_EQ(std::get<3>(Texts(again)), "873.50") << time;
    EXPECT_EQ(std::get<4>(Texts(again)), Trim(field)) << time;
  }
  EXPECT_EQ(EncodeIec(test::RecordWithCounts({}), out), kDoesNotFit);
  EXPECT_EQ(EncodeIec(test::RecordWithCounts({3, -1}), out), kDoesNotFit);
}

TEST(IecReader, RefusesWhatIsNotWhole) {
  SpectrumRecord record = test::RecordWithCounts({1, 2, 3, 4, 5, 6, 7});
  Bytes good;
  ASSERT_EQ(EncodeIec(record, good), kDone);
  const std::size_t counts = good.find("A004     0");
  const std::pair<const char*, std::string> cases[] = {
      {"a count missing", good.substr(0, counts + 62)},
      {"a count below 0", std::string(good).replace(counts + 14, 6, "    -2")},
      {"a count not whole", std::string(good).replace(counts + 14, 6, "   2.5")},
      {"channels out of order", std::string(good).replace(counts + 62 + 9, 1, "6")},
      {"no channel", std::string(good).replace(70 + 30, 4, "   0")},
      {"too many channels", std::string(good).replace(70 + 28, 6, " 40000")},
      {"a line without the tag", std::string(good).replace(counts, 4, "A005")},
      {"the header cut short", good.substr(0, 70 * 20)},
      {"not the first line", "x\r\n" + good},
  };
  for (const auto& [what, bytes] : cases) {
    EXPECT_EQ(ReadIec(bytes, record), kNotThisFormat) << what;
    EXPECT_TRUE(record.Counts.empty()) << what;
  }
  ASSERT_EQ(ReadIec(good, record), kDone);
  EXPECT_EQ(record.Counts, (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6, 7}));
}

}  // namespace
}  // namespace durnix
