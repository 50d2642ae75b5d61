// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/spt.h"

#include <gtest/gtest.h>

#include "formats/byte_io.h"
#include "support/records.h"

namespace durnix {
namespace {

using test::RecordWithCounts;

// A record of `tag` with `body`.
Bytes sptRecord(int tag, const Bytes& body) {
  Bytes r;
  ByteWriter w(r);
  w.i16le(static_cast<std::int16_t>(tag));
  w.i32le(static_cast<std::int32_t>(body.size()));
  w.text(body);
  return r;
}

Bytes subHeader(std::int16_t start, std::int16_t channels) {
  Bytes b;
  ByteWriter w(b);
  w.i16le(0);
  w.i16le(start);
  w.i16le(channels);
  return b;
}

Bytes firstRecord(double dateTime) {
  Bytes body;
  ByteWriter w(body);
  w.f64le(dateTime);
  w.zeros(120);
  return sptRecord(1023, body);
}

Bytes channelRecord(std::initializer_list<std::int32_t> counts, std::int16_t start = 0) {
  Bytes body = subHeader(start, static_cast<std::int16_t>(counts.size()));
  ByteWriter w(body);
  for (auto c : counts) w.i32le(c);
  return sptRecord(1014, body);
}

const Bytes kEnd = sptRecord(1022, "");

TEST(SptWriter, RecordSequenceAndTrimmedTexts) {
  SpectrumRecord record = RecordWithCounts({5, 6, 7});
  record.SpecId = "  New Oxford  ";
  record.AcqDate = " 06/12/2026 ";
  record.AcqTime = "09:17:05 ";
  record.StartCh = 3;
  record.CalOffset = 1.5f;
  record.CalGain = 0.1f;
  Bytes file;
  ASSERT_EQ(EncodeSpt(record, file), kDone);
  EXPECT_EQ(record.SpecId, "New Oxford");
  EXPECT_EQ(record.AcqDate, "06/12/2026");
  EXPECT_EQ(record.AcqTime, "09:17:05");

  std::vector<std::pair<int, std::int32_t>> tags;
  for (std::size_t p = 0; p < file.size();
       p += 6 + static_cast<std::size_t>(bytes::i32le(file, p + 2))) {
    tags.emplace_back(bytes::i16le(file, p), bytes::i32le(file, p + 2));
  }
  const std::vector<std::pair<int, std::int32_t>> expected = {
      {1023, 128}, {1015, 42}, {1016, 58}, {1017, 86}, {1018, 26}, {1019, 18},
      {1020, 14},  {1021, 2},  {2048, 30}, {2049, 22}, {1014, 18}, {1022, 0}};
  EXPECT_EQ(tags, expected);
  EXPECT_EQ(file.substr(6 + 8, 16), "Durnix v1.52    ");
  const std::size_t calibration = 6 + 128;
  EXPECT_EQ(file.substr(calibration + 6, 6), subHeader(3, 3));
  EXPECT_EQ(bytes::f64le(file, calibration + 16), 1.5);
  EXPECT_EQ(bytes::f64le(file, calibration + 24), static_cast<double>(0.1f));
  const std::size_t dateTime = calibration + 6 + 42;
  EXPECT_EQ(file.substr(dateTime + 12, 52), "09:17:05     06/12/2026   09:17:05     06/12/2026   ");

  SpectrumRecord back;
  ASSERT_EQ(ReadSpt(file, back), kDone);
  EXPECT_EQ(back.Counts, record.Counts);
  EXPECT_EQ(back.SpecId, "New Oxford");
  EXPECT_EQ(back.AcqDate, "06/12/2026");
  EXPECT_EQ(back.AcqTime, "09:17:05");
  EXPECT_EQ(back.StartCh, 3.0f);
  EXPECT_EQ(back.CalGain, 0.1f);
  EXPECT_EQ(back.CalOffset, 1.5f);
}

TEST(SptReader, RecordsInAnyOrderAndThePackedDateOfTheFirst) {
  Bytes values = subHeader(0, 0);
  ByteWriter(values).zeros(6);
  const Bytes file = firstRecord(261206.091705) + channelRecord({1, 2}) + sptRecord(2050, values) +
                     channelRecord({3, 4, 5}, 7) + kEnd;
  SpectrumRecord record;
  ASSERT_EQ(ReadSpt(file, record), kDone);
  EXPECT_EQ(record.AcqDate, "261206");
  EXPECT_EQ(record.AcqTime, "091705");
  EXPECT_EQ(record.Counts, (std::vector<std::int32_t>{3, 4, 5}));  // the second replaces the first
  EXPECT_EQ(record.StartCh, 7.0f);

  // Without a channel record there is no spectrum.
  ASSERT_EQ(ReadSpt(firstRecord(0) + kEnd, record), kDone);
  EXPECT_EQ(record.ChannelCount, 0);
  EXPECT_EQ(record.AcqDate, "0");
}

TEST(SptReader, WrongRecordsMakeTheFileUnreadable) {
  SpectrumRecord record;
  const Bytes head = firstRecord(0);
  Bytes settings = subHeader(0, 0);
  ByteWriter(settings).zeros(6);
  Bytes fourthTwo = settings;
  ByteWriter(fourthTwo).i16le(2);
  ByteWriter(settings).i16le(1);
  EXPECT_EQ(ReadSpt(head + sptRecord(1020, settings) + kEnd, record), kDone);
  EXPECT_EQ(ReadSpt(head + sptRecord(1020, fourthTwo) + kEnd, record), kNotThisFormat);
  EXPECT_EQ(ReadSpt(head + sptRecord(1015, Bytes(40, ' ')) + kEnd, record), kNotThisFormat);
  EXPECT_EQ(ReadSpt(head + sptRecord(1999, "") + kEnd, record), kNotThisFormat);
  EXPECT_EQ(ReadSpt(head + channelRecord({1}), record), kNotThisFormat);  // no end record
  EXPECT_EQ(ReadSpt(channelRecord({1}) + kEnd, record), kNotThisFormat);  // not 1023 first
  EXPECT_EQ(ReadSpt(head + head + kEnd, record), kNotThisFormat);
  EXPECT_EQ(ReadSpt(head + sptRecord(1014, subHeader(0, 0) + "12") + kEnd, record), kNotThisFormat);
  Bytes runsPast = head + sptRecord(1017, Bytes(86, ' '));
  runsPast.resize(runsPast.size() - 1);
  EXPECT_EQ(ReadSpt(runsPast, record), kNotThisFormat);
  record.StartCh = 40000;
  Bytes file;
  EXPECT_EQ(EncodeSpt(record, file), kDoesNotFit);
}

}  // namespace
}  // namespace durnix
