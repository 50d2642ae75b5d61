// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/chn.h"

#include <gtest/gtest.h>

#include "formats/byte_io.h"
#include "support/records.h"

namespace durnix {
namespace {

using test::RecordWithCounts;

SpectrumRecord chnRecord(int channels) {
  SpectrumRecord record = RecordWithCounts(test::SmoothCounts(channels));
  record.AcqDate = "17-MAY-2001";
  record.AcqTime = "9:05:07 PM";
  record.RealTime = "20.02";
  record.LiveTime = "900";
  record.StartCh = 3;
  record.CalOffset = -1.5f;
  record.CalGain = 0.25f;
  return record;
}

TEST(ChnWriter, UnrecognisedTextsAndSixCharacterTimesAndZeroGain) {
  SpectrumRecord record = chnRecord(1024);
  record.AcqDate = "1999-12-31";
  record.AcqTime = "noon";
  record.CalGain = 0;
  Bytes file;
  ASSERT_EQ(EncodeChn(record, file), kDone);
  EXPECT_EQ(file.substr(16, 12), std::string("31Dec99\0noon", 12));
  EXPECT_EQ(file.substr(6, 2), "no");
  EXPECT_EQ(record.CalGain, 1.0f);  // the record shows what was written
  EXPECT_EQ(bytes::f32le(file, 32 + 4 * 1024 + 8), 1.0f);

  record.AcqDate = "yesterday";
  record.AcqTime = "12:30 ";  // six characters: no seconds
  ASSERT_EQ(EncodeChn(record, file), kDone);
  EXPECT_EQ(file.substr(16, 8), std::string("yesterd\0", 8));
  EXPECT_EQ(file.substr(6, 2), std::string(2, '\0'));
  EXPECT_EQ(file.substr(24, 4), "1230");
  SpectrumRecord back;
  ASSERT_EQ(ReadChn(file, back), kDone);
  EXPECT_EQ(back.AcqTime, "12:30");
}

TEST(ChnWriter, RefusesWhatItsReaderWouldReject) {
  Bytes file;
  SpectrumRecord record = chnRecord(510);
  EXPECT_EQ(EncodeChn(record, file), kDoesNotFit);
  record = chnRecord(16385);
  record.ChannelCount = static_cast<std::int16_t>(16385);
  EXPECT_EQ(EncodeChn(record, file), kDoesNotFit);
  record = chnRecord(16384);
  EXPECT_EQ(EncodeChn(record, file), kDone);
  record.RealTime = "1e9";  // 5e10 ticks
  EXPECT_EQ(EncodeChn(record, file), kDoesNotFit);
  record.RealTime = "0";
  record.StartCh = 40000;
  EXPECT_EQ(EncodeChn(record, file), kDoesNotFit);
}

TEST(ChnReader, RoundTripAndTheUncalibratedGain) {
  SpectrumRecord record = chnRecord(2048);
  Bytes file;
  ASSERT_EQ(EncodeChn(record, file), kDone);
  SpectrumRecord back;
  back.SpecId = "kept";
  ASSERT_EQ(ReadChn(file, back), kDone);
  EXPECT_EQ(back.Counts, record.Counts);
  EXPECT_EQ(back.AcqDate, "17May01");
  EXPECT_EQ(back.AcqTime, "21:05:07");
  EXPECT_EQ(back.RealTime, "20.02");
  EXPECT_EQ(back.LiveTime, "900");
  EXPECT_EQ(back.StartCh, 3.0f);
  EXPECT_EQ(back.CalGain, 0.25f);
  EXPECT_EQ(back.CalOffset, -1.5f);
  EXPECT_EQ(back.SpecId, "kept");

  // A gain of exactly 1.0 marks an uncalibrated spectrum.
  file.replace(32 + 4 * 2048 + 8, 4, std::string("\x00\x00\x80\x3F", 4));
  ASSERT_EQ(ReadChn(file, back), kDone);
  EXPECT_EQ(back.CalGain, 0.0f);
}

TEST(ChnReader, TimeFieldsLoseTheirMissingEnd) {
  Bytes file;
  SpectrumRecord record = chnRecord(511);
  ASSERT_EQ(EncodeChn(record, file), kDone);
  SpectrumRecord back;
  const auto timeOf = [&](std::string_view hhmm, std::string_view ss) {
    file.replace(24, 4, hhmm);
    file.replace(6, 2, ss);
    EXPECT_EQ(ReadChn(file, back), kDone);
    return back.AcqTime;
  };
  EXPECT_EQ(timeOf("1230", std::string(2, '\0')), "12:30");
  EXPECT_EQ(timeOf("1230", "45"), "12:30:45");
  EXPECT_EQ(timeOf("    ", "  "), " ");
  EXPECT_EQ(timeOf(std::string(4, '\0'), std::string(2, '\0')), std::string(1, '\0'));
  EXPECT_EQ(timeOf("12  ", "  "), "12");
}

TEST(ChnReader, ChannelCountsAndFileTypeAreChecked) {
  Bytes file;
  SpectrumRecord record = chnRecord(511);
  ASSERT_EQ(EncodeChn(record, file), kDone);
  SpectrumRecord back;
  EXPECT_EQ(ReadChn(file, back), kDone);
  for (std::int16_t channels : {std::int16_t{510}, std::int16_t{16385}, std::int16_t{-1}}) {
    Bytes wrong = file;
    wrong.replace(
        30, 2, std::string{static_cast<char>(channels & 0xFF), static_cast<char>(channels >> 8)});
    EXPECT_EQ(ReadChn(wrong, back), kNotThisFormat) << channels;
    EXPECT_TRUE(back.Counts.empty());
  }
  Bytes wrongType = file;
  wrongType[0] = 0;
  EXPECT_EQ(ReadChn(wrongType, back), kNotThisFormat);
  // The calibration must be there; the rest of the trailer need not.
  EXPECT_EQ(ReadChn(file.substr(0, 32 + 4 * 511 + 12), back), kDone);
  EXPECT_EQ(ReadChn(file.substr(0, 32 + 4 * 511 + 11), back), kNotThisFormat);
}

}  // namespace
}  // namespace durnix
