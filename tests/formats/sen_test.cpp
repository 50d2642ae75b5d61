// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/sen.h"

#include <gtest/gtest.h>

#include "formats/byte_io.h"
#include "support/records.h"
#include "support/temp_dir.h"

namespace durnix {
namespace {

using test::RecordWithCounts;

TEST(SenWriter, TextsAreCutAtTheirWidthAndValuesKeptWhenNotZero) {
  SpectrumRecord record = RecordWithCounts(std::vector<std::int32_t>(2048, 9));
  record.Version = "VERSION 2.0 beta";
  record.SpecId = std::string(90, 'x');
  record.LiveTime = " 873.5 ";
  record.RealTime = "900";
  record.Phi = -1;
  record.Geometry = 2;
  Bytes file;
  ASSERT_EQ(EncodeSEN(record, file), kDone);
  ASSERT_EQ(file.size(), 4421u);
  EXPECT_EQ(file.substr(4, 11), "VERSION 2.0");
  EXPECT_EQ(file.substr(23, 80), std::string(80, 'x'));
  EXPECT_EQ(file.substr(103, 1), "/");  // the identifier does not spill over
  EXPECT_EQ(file.substr(215, 10), "873.5/900 ");
  EXPECT_EQ(bytes::f32le(file, 203), -1.0f);
  EXPECT_EQ(bytes::i16le(file, 307), 2);
  EXPECT_EQ(bytes::f32le(file, 321 + 4 * 1023), 9.0f);  // only the first 1024 channels
}

TEST(SenRoundTrip, HeaderAndCountsComeBack) {
  SpectrumRecord record = RecordWithCounts(test::SmoothCounts(512));
  record.Version = "VERSION 1.3";
  record.SpecId = "Au 20nm";
  record.AcqDate = "06-Dec-26";
  record.AcqTime = "09:17:05";
  record.LiveTime = "873.5";
  record.RealTime = "900";
  record.BeamMeV = 2.275f;
  record.ChargeUC = 10;
  record.CalGain = 2.0371f;
  record.CalOffset = 42.5f;
  record.Theta = 10;
  record.Phi = 170;
  record.Omega = 7;
  record.Correction = 0.9f;
  record.Fwhm = 15;
  record.Geometry = 0;
  record.AtomicNo = 2;
  record.Mass = 4.0026f;  // not carried by the format
  Bytes file;
  ASSERT_EQ(EncodeSEN(record, file), kDone);
  SpectrumRecord back;
  ASSERT_EQ(ReadSEN(file, back), kDone);
  ASSERT_EQ(back.ChannelCount, 1024);
  EXPECT_TRUE(std::equal(record.Counts.begin(), record.Counts.end(), back.Counts.begin()));
  EXPECT_EQ(back.count(1024), 0);
  EXPECT_EQ(back.Version, "VERSION 1.3");
  EXPECT_EQ(back.SpecId, "Au 20nm" + std::string(73, ' '));  // taken whole, blanks included
  EXPECT_EQ(back.AcqDate, "06-Dec-26");
  EXPECT_EQ(back.AcqTime, "09:17:05");
  EXPECT_EQ(back.LiveTime, "873.5");
  EXPECT_EQ(back.RealTime, "900");
  EXPECT_EQ(back.BeamMeV, 2.275f);
  EXPECT_EQ(back.Correction, 0.9f);
  EXPECT_EQ(back.Omega, 7.0f);
  EXPECT_EQ(back.Mass, 0.0f);
  EXPECT_EQ(back.AtomicNo, 2);
}

TEST(SenReader, LiveTimeWithoutSlashGivesRealTimeZero) {
  Bytes file;
  SpectrumRecord record = RecordWithCounts({1});
  ASSERT_EQ(EncodeSEN(record, file), kDone);
  file.replace(215, 80, "873.5" + std::string(75, ' '));
  file.replace(103, 80, std::string(80, ' '));
  SpectrumRecord back;
  back.AcqDate = "stale";
  ASSERT_EQ(ReadSEN(file, back), kDone);
  EXPECT_EQ(back.LiveTime, "873.5");
  EXPECT_EQ(back.RealTime, "0");
  EXPECT_EQ(back.AcqDate, "");
  EXPECT_EQ(back.AcqTime, "");
}

TEST(SenReader, ChannelCountAndTrailingMarkerMustAgree) {
  Bytes file;
  ASSERT_EQ(EncodeSEN(RecordWithCounts({1, 2}), file), kDone);
  SpectrumRecord record;
  Bytes wrong = file;
  wrong[4417] = 9;
  EXPECT_EQ(ReadSEN(wrong, record), kNotThisFormat);
  EXPECT_EQ(ReadSEN(file.substr(0, 4000), record), kNotThisFormat);
  EXPECT_EQ(ReadSEN(file.substr(0, 300), record), kNotThisFormat);
  // A file of 16 channels with its marker where 16 channels end.
  Bytes small = file.substr(0, 321 + 64);
  small[311] = 16;
  small[312] = 0;
  ByteWriter(small).i32le(16 * 4 + 8);
  ASSERT_EQ(ReadSEN(small, record), kDone);
  EXPECT_EQ(record.ChannelCount, 16);
  EXPECT_EQ(record.count(2), 2);
  // A negative count of channels, and a channel value beyond 32 bits.
  Bytes negative = file;
  negative[312] = '\x80';
  EXPECT_EQ(ReadSEN(negative, record), kNotThisFormat);
  Bytes huge = file;
  huge.replace(321, 4, "\x00\x00\x80\x4F", 4);  // 4.29e9
  EXPECT_EQ(ReadSEN(huge, record), kNotThisFormat);
}

TEST(SenFiles, WriterNamesTheFile) {
  test::TempDir dir;
  SpectrumRecord record = RecordWithCounts({1, 2, 3});
  record.FileName = dir.file("a.b.rbs");
  ASSERT_EQ(WriteSEN(record), kDone);
  EXPECT_EQ(record.FileName, dir.file("a.SEN"));
  EXPECT_EQ(test::ReadWhole(record.FileName).size(), 4421u);
}

}  // namespace
}  // namespace durnix
