// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/gv_spc.h"

#include <gtest/gtest.h>

#include "formats/byte_io.h"
#include "support/records.h"
#include "support/temp_dir.h"

namespace durnix {
namespace {

using test::RecordWithCounts;

void putI16(Bytes& file, std::size_t at, std::int16_t value) {
  Bytes b;
  ByteWriter(b).i16le(value);
  file.replace(at, 2, b);
}

TEST(GvSpcWriter, LayoutOfRecordsAndPaddingToWholeRecords) {
  SpectrumRecord record = RecordWithCounts(test::SmoothCounts(1000));
  record.FileName = "/data/run.01.SPC";
  record.SpecId = "Alcatraz";
  record.AcqDate = "1999-12-31";
  record.AcqTime = "13:41:07";
  record.RealTime = "905.42";
  record.LiveTime = "900";
  record.StartCh = 2;
  record.CalOffset = 0.5f;
  record.CalGain = 0.375f;
  Bytes file;
  ASSERT_EQ(EncodeGvSpc(record, file), kDone);
  // 1000 channels fill 32 records of 32 channels, the last one padded with zeros.
  ASSERT_EQ(file.size(), 39u * 128 + 4 * 1024);
  using namespace bytes;
  EXPECT_EQ(i16le(file, 0), 1);
  EXPECT_EQ(i16le(file, 2), 1);
  EXPECT_EQ(i16le(file, 8), 2);
  EXPECT_EQ(i16le(file, 10), 3);
  EXPECT_EQ(i16le(file, 34), 5);
  EXPECT_EQ(i16le(file, 54), 40 + 32 - 1);
  EXPECT_EQ(i16le(file, 56), 40 + 32 - 1);
  EXPECT_EQ(file.substr(58, 2), "  ");
  EXPECT_EQ(i16le(file, 60), 40);
  EXPECT_EQ(i16le(file, 62), 32);
  EXPECT_EQ(i16le(file, 64), 1024);
  EXPECT_EQ(i16le(file, 66), 2);
  EXPECT_EQ(i16le(file, 88), 2);
  EXPECT_EQ(f32le(file, 90), 905.42f);
  EXPECT_EQ(f32le(file, 94), 900.0f);
  EXPECT_EQ(file.substr(128, 38), "run.01.SPC      31-DEC-990  13:41:07  ");
  EXPECT_EQ(file.substr(256, 10), "Alcatraz  ");
  EXPECT_EQ(f32le(file, 4 * 128 + 20), 0.5f);
  EXPECT_EQ(f32le(file, 4 * 128 + 24), 0.375f);
  EXPECT_EQ(i32le(file, 39 * 128), record.count(1));
  EXPECT_EQ(i32le(file, 39 * 128 + 4 * 1023), 0);

  SpectrumRecord back;
  ASSERT_EQ(ReadGvSpc(file, back), kDone);
  EXPECT_EQ(back.ChannelCount, 1024);
  EXPECT_TRUE(std::equal(record.Counts.begin(), record.Counts.end(), back.Counts.begin()));
  EXPECT_EQ(back.SpecId, "Alcatraz");
  EXPECT_EQ(back.AcqDate, "31-DEC-99");
  EXPECT_EQ(back.AcqTime, "13:41:07  ");
  EXPECT_EQ(back.RealTime, "905.42");
  EXPECT_EQ(back.LiveTime, "900");
  EXPECT_EQ(back.StartCh, 2.0f);
}

TEST(GvSpcWriter, LargeSpectraAndTheChannelLimits) {
  Bytes file;
  SpectrumRecord record = RecordWithCounts(test::SmoothCounts(16384));
  record.AcqDate = "06-Dec-26";
  ASSERT_EQ(EncodeGvSpc(record, file), kDone);
  EXPECT_EQ(bytes::i16le(file, 62), 512);
  EXPECT_EQ(file.substr(128 + 16, 12), "06-DEC-261  ");
  SpectrumRecord back;
  ASSERT_EQ(ReadGvSpc(file, back), kDone);
  EXPECT_EQ(back.Counts, record.Counts);
  EXPECT_EQ(back.AcqDate, "06-DEC-2026");

  EXPECT_EQ(EncodeGvSpc(RecordWithCounts(std::vector<std::int32_t>(254, 1)), file), kDoesNotFit);
  ASSERT_EQ(EncodeGvSpc(RecordWithCounts(std::vector<std::int32_t>(255, 1)), file), kDone);
  EXPECT_EQ(bytes::i16le(file, 64), 256);
  std::vector<std::int32_t> tooMany(16385, 1);
  SpectrumRecord over = RecordWithCounts(tooMany);
  EXPECT_EQ(EncodeGvSpc(over, file), kDoesNotFit);
}

TEST(GvSpcWriter, OnlyTheLastExtensionIsReplaced) {
  test::TempDir dir;
  SpectrumRecord record = RecordWithCounts(std::vector<std::int32_t>(256, 1));
  record.FileName = dir.file("run.01.chn");
  ASSERT_EQ(WriteGvSpc(record), kDone);
  EXPECT_EQ(record.FileName, dir.file("run.01.SPC"));
}

// A file laid out as GammaVision itself writes it: record 2 an extension header, acquisition
// details in record 3, the sample description in record 4, calibration in record 6, data from
// record 22.
Bytes realLayout(int dataType) {
  Bytes file(21 * 128 + 4 * 256, '\0');
  putI16(file, 0, 1);
  putI16(file, 2, static_cast<std::int16_t>(dataType));
  putI16(file, 8, 3);
  putI16(file, 10, 4);
  putI16(file, 34, 6);
  putI16(file, 60, 22);
  putI16(file, 62, 8);
  putI16(file, 64, 256);
  putI16(file, 128, 111);
  file.replace(256 + 16, 22, "17-SEP-121  13:41:07  ");
  file.replace(384, 128, "Alcatraz14" + std::string(118, ' '));
  return file;
}

TEST(GvSpcReader, FollowsTheRecordNumbersOfTheHeader) {
  Bytes file = realLayout(1);
  file.replace(21 * 128, 4, std::string("\x07\x00\x00\x00", 4));
  SpectrumRecord record;
  ASSERT_EQ(ReadGvSpc(file, record), kDone);
  EXPECT_EQ(record.ChannelCount, 256);
  EXPECT_EQ(record.count(1), 7);
  EXPECT_EQ(record.AcqDate, "17-SEP-2012");
  EXPECT_EQ(record.AcqTime, "13:41:07  ");
  EXPECT_EQ(record.SpecId, "Alcatraz14");

  // A record number beyond the reach of 16-bit positions, or beyond the file.
  for (std::size_t field : {8u, 10u, 34u, 60u}) {
    Bytes wrong = file;
    putI16(wrong, field, 257);
    EXPECT_EQ(ReadGvSpc(wrong, record), kNotThisFormat) << field;
    putI16(wrong, field, 0);
    EXPECT_EQ(ReadGvSpc(wrong, record), kNotThisFormat) << field;
    putI16(wrong, field, 30);
    EXPECT_EQ(ReadGvSpc(wrong, record), kNotThisFormat) << field;
  }
}

TEST(GvSpcReader, SinglesAreRoundedAndTheHeaderChecked) {
  Bytes file = realLayout(5);
  Bytes values;
  ByteWriter w(values);
  w.f32le(2.5f);
  w.f32le(3.5f);
  w.f32le(-2.5f);
  file.replace(21 * 128, values.size(), values);
  file.replace(256 + 16, 12, "17-MAY-010  ");
  SpectrumRecord record;
  ASSERT_EQ(ReadGvSpc(file, record), kDone);
  EXPECT_EQ(record.count(1), 2);
  EXPECT_EQ(record.count(2), 4);
  EXPECT_EQ(record.count(3), -2);
  EXPECT_EQ(record.AcqDate, "17-MAY-01");

  const std::pair<std::size_t, std::int16_t> breaks[] = {
      {0, 2}, {2, 2}, {62, 9}, {64, 254}, {64, 16416}};
  for (const auto& [at, value] : breaks) {
    Bytes wrong = file;
    putI16(wrong, at, value);
    EXPECT_EQ(ReadGvSpc(wrong, record), kNotThisFormat) << at << " = " << value;
  }
  EXPECT_EQ(ReadGvSpc(file.substr(0, file.size() - 1), record), kNotThisFormat);
}

}  // namespace
}  // namespace durnix
