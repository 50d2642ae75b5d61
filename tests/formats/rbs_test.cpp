// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/rbs.h"

#include <gtest/gtest.h>

#include <limits>

#include "formats/byte_io.h"
#include "support/records.h"
#include "support/temp_dir.h"

namespace durnix {
namespace {

using test::RecordWithCounts;

// Assembles RBS files record by record for the reader's tests.
class RbsBuilder {
 public:
  RbsBuilder() {
    ByteWriter w(bytes_);
    w.u32be(5);
    w.u32be(0);
    w.u32be(kRbsMagic);
    w.u32be(0x00010000);
    w.u32be(0xEFDDEDEB);
  }
  // A record of `type` with `data` (padded to whole words) and a correct check word; `words`
  // overrides the length word.
  RbsBuilder& record(std::uint32_t type, const Bytes& data, std::int64_t words = -1) {
    Bytes r;
    ByteWriter w(r);
    w.u32be(0);
    w.u32be(type);
    w.text(data);
    while (r.size() % 4) w.u8(0);
    w.patchU32be(0, static_cast<std::uint32_t>(
                        words >= 0 ? words : static_cast<std::int64_t>(r.size() / 4 + 1)));
    w.u32be(RbsCheckWord(r));
    bytes_ += r;
    return *this;
  }
  RbsBuilder& raw(const Bytes& b) {
    bytes_ += b;
    return *this;
  }
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
};

Bytes be32(std::initializer_list<std::int64_t> values) {
  Bytes b;
  ByteWriter w(b);
  for (auto v : values) w.u32be(static_cast<std::uint32_t>(v));
  return b;
}

Bytes beSingles(std::initializer_list<float> values) {
  Bytes b;
  ByteWriter w(b);
  for (auto v : values) w.f32be(v);
  return b;
}

std::uint32_t wordAt(const Bytes& b, std::size_t at) {
  return bytes::u32be(b, at);
}

// Offset of the first record of `type` after the header, or npos.
std::size_t findRecord(const Bytes& file, std::uint32_t type) {
  for (std::size_t p = 20; p + 8 <= file.size(); p += 4 * wordAt(file, p)) {
    if (wordAt(file, p + 4) == type) return p;
    if (wordAt(file, p) == 0) break;
  }
  return std::string::npos;
}

TEST(RbsCheckWord, AllWordsOfEveryWrittenRecordSumToZero) {
  SpectrumRecord record = RecordWithCounts(test::SmoothCounts(3000));
  record.SpecId = "sum";
  record.RumpComment = "comment";
  Bytes file;
  ASSERT_EQ(EncodeRBS(record, file), kDone);
  EXPECT_EQ(wordAt(file, 16), 0xEFDDEDEBu);
  int records = 0;
  for (std::size_t p = 0; p < file.size(); p += 4 * wordAt(file, p), ++records) {
    std::uint32_t sum = 0;
    for (std::size_t at = p; at < p + 4 * wordAt(file, p); at += 4) sum += wordAt(file, at);
    EXPECT_EQ(sum, 0u) << "record at " << p;
  }
  EXPECT_EQ(records, 14);  // header, 1, 2, 257, 258, 259, 272, 273, 274, 288, 16, three data
  const std::size_t program = findRecord(file, 2);
  ASSERT_NE(program, std::string::npos);
  EXPECT_EQ(wordAt(file, program), 11u);
  EXPECT_EQ(wordAt(file, program + 40), 0xF3561AF5u);
  EXPECT_EQ(file.substr(program + 12, 25), "PC-RUMP data file [v 1.0]");
}

TEST(RbsCheckWord, SumWithALowZeroByteIsNegatedNotComplemented) {
  // Words summing to 0x00000100: the negation is 0xFFFFFF00.
  EXPECT_EQ(RbsCheckWord(be32({0x80, 0x80})), 0xFFFFFF00u);
  EXPECT_EQ(RbsCheckWord(be32({0})), 0u);
  EXPECT_EQ(RbsCheckWord(be32({5, 0, kRbsMagic, 0x00010000})), 0xEFDDEDEBu);
}

TEST(RbsWriter, DifferenceCodingUsesOneThreeOrSevenBytes) {
  const std::vector<std::int32_t> counts = {1000, 1127,  1000, 1128, 1000,       33767,
                                            1000, 33768, 1000, 0,    2000000000, 1999999999};
  Bytes file;
  ASSERT_EQ(EncodeRBS(RecordWithCounts(counts), file), kDone);
  const std::size_t data = findRecord(file, 17);
  ASSERT_NE(data, std::string::npos);
  const std::string expected =
      std::string("\x00\x00\x03\xE8", 4) +  // channel 1 whole
      "\x7F"
      "\x81" +  // +127, -127
      std::string("\x80\x00\x80", 3) +
      "\x80\xFF\x80" +                                                   // +128, -128
      std::string("\x80\x7F\xFF", 3) + std::string("\x80\x80\x01", 3) +  // +32767, -32767
      std::string("\x80\x80\x00\x00\x00\x83\xE8", 7) +                   // 33768 whole
      std::string("\x80\x80\x00\x00\x00\x03\xE8", 7) +                   // -32768 step: 1000 whole
      std::string("\x80\xFC\x18", 3) +                                   // -1000
      std::string("\x80\x80\x00\x77\x35\x94\x00", 7) +                   // 0 -> 2000000000
      "\xFF";                                                            // -1
  EXPECT_EQ(file.substr(data + 8, expected.size()), expected);
  EXPECT_EQ(wordAt(file, data), 3 + (expected.size() + 3) / 4);
  SpectrumRecord back;
  ASSERT_EQ(ReadRBS(file, back), kDone);
  EXPECT_EQ(back.Counts, counts);
}

TEST(RbsWriter, RefusesCountsThatTheSevenByteFormCannotHold) {
  Bytes file;
  EXPECT_EQ(EncodeRBS(RecordWithCounts({0, -40000}), file), kDoesNotFit);
  EXPECT_EQ(EncodeRBS(RecordWithCounts({0, std::numeric_limits<std::int32_t>::max()}), file),
            kDoesNotFit);
  // Steps within reach of three bytes keep negative counts; the first channel may be anything.
  EXPECT_EQ(EncodeRBS(RecordWithCounts({-2147483647 - 1, -2147483647 - 1 + 30000}), file), kDone);
  EXPECT_EQ(EncodeRBS(RecordWithCounts({-5, -40}), file), kDone);
}

TEST(RbsWriter, SmallIntegersAreWholeSignedWords) {
  SpectrumRecord record = RecordWithCounts({1, 2, 3});
  record.Geometry = -1;
  record.AtomicNo = 200;
  record.ChargeState = -3;
  Bytes file;
  ASSERT_EQ(EncodeRBS(record, file), kDone);
  const std::size_t beam = findRecord(file, 273);
  const std::size_t geometry = findRecord(file, 288);
  EXPECT_EQ(wordAt(file, beam + 12), 200u);
  EXPECT_EQ(wordAt(file, beam + 20), 0xFFFFFFFDu);
  EXPECT_EQ(wordAt(file, geometry + 8), 0xFFFFFFFFu);
  SpectrumRecord back;
  ASSERT_EQ(ReadRBS(file, back), kDone);
  EXPECT_EQ(back.Geometry, -1);
  EXPECT_EQ(back.AtomicNo, 200);
  EXPECT_EQ(back.ChargeState, -3);
  EXPECT_STREQ(GeometryText(back.Geometry), "No Geom");
}

TEST(RbsWriter, LargeSpectraAreSplitIntoRecordsOf1024Channels) {
  std::vector<std::int32_t> counts = test::SmoothCounts(2500);
  // The second block jumps too much for differences to save space.
  for (int i = 1024; i < 2048; ++i) counts[static_cast<std::size_t>(i)] = (i % 2) ? 5000000 : 0;
  Bytes file;
  ASSERT_EQ(EncodeRBS(RecordWithCounts(counts), file), kDone);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> data;  // type, length
  for (std::size_t p = findRecord(file, 16); p < file.size(); p += 4 * wordAt(file, p)) {
    if (wordAt(file, p + 4) != 16) data.emplace_back(wordAt(file, p + 4), wordAt(file, p));
  }
  ASSERT_EQ(data.size(), 3u);
  EXPECT_EQ(data[0].first, 17u);
  EXPECT_EQ(data[1], std::make_pair(19u, 3u + 1024u));
  EXPECT_EQ(data[2].first, 17u);
  // Every block starts with the whole count of its first channel.
  const std::size_t third = file.size() - 4 * data[2].second;
  EXPECT_EQ(bytes::i32be(file, third + 8), counts[2048]);
  SpectrumRecord back;
  ASSERT_EQ(ReadRBS(file, back), kDone);
  EXPECT_EQ(back.Counts, counts);
}

TEST(RbsRoundTrip, EveryHeaderFieldComesBack) {
  SpectrumRecord record = RecordWithCounts(test::SmoothCounts(1024));
  record.SpecId = "  Au 20nm on Si ";
  record.AcqDate = "06-Dec-26";
  record.AcqTime = "09:17:05";
  record.RealTime = "900";
  record.LiveTime = "873.5";
  record.CalGain = 2.0371f;
  record.CalOffset = 42.5f;
  record.StartCh = 1;
  record.BeamMeV = 2;
  record.ChargeState = 1;
  record.Mass = 4.0026f;
  record.AtomicNo = 2;
  record.ChargeUC = 20;
  record.CurrentNA = 12.5f;
  record.Fwhm = 15;
  record.Correction = 0.98f;
  record.Geometry = 1;
  record.Theta = 10;
  record.Phi = 170;
  record.Psi = 3;
  record.Omega = 4;
  record.RumpComment = "thin film";
  record.KodaqId = "not carried";
  Bytes file;
  ASSERT_EQ(EncodeRBS(record, file), kDone);
  SpectrumRecord back;
  ASSERT_EQ(ReadRBS(file, back), kDone);
  SpectrumRecord expected = record;
  expected.SpecId = "Au 20nm on Si";
  expected.Version = "1.00";
  expected.KodaqId = "";
  EXPECT_EQ(back, expected);
}

TEST(RbsReader, ReadsDataSpreadOverRecordsOfEveryEncoding) {
  std::vector<std::int32_t> expected;
  Bytes singles, integers, diffs;
  {
    ByteWriter s(singles), i(integers);
    for (int k = 0; k < 1024; ++k) {
      s.f32be(static_cast<float>(k) + 0.5f);  // halves go to the even neighbour
      expected.push_back(k % 2 ? k + 1 : k);
    }
    for (int k = 0; k < 1024; ++k) {
      i.i32be(-k);
      expected.push_back(-k);
    }
    i.i32be(99999);  // a value beyond the block: not read
  }
  diffs = be32({7}) + "\x01\x7F\x81" + std::string("\x80\x80\x00\x00\x00\x00\x05", 7) +
          std::string(1, '\0');
  for (int v : {7, 8, 135, 8, 5, 5}) expected.push_back(v);
  const Bytes spread = RbsBuilder()
                           .record(16, be32({0, 2054}))
                           .record(18, singles)
                           .record(999, "unknown records are stepped over")
                           .record(19, integers)
                           .record(20, diffs)
                           .bytes();
  SpectrumRecord record;
  ASSERT_EQ(ReadRBS(spread, record), kDone);
  EXPECT_EQ(record.ChannelCount, 2054);
  EXPECT_EQ(record.Counts, expected);
}

TEST(RbsReader, OneRecordMayHoldTheWholeSpectrum) {
  Bytes integers;
  ByteWriter w(integers);
  for (int k = 0; k < 1500; ++k) w.i32be(k);
  SpectrumRecord record;
  ASSERT_EQ(ReadRBS(RbsBuilder().record(16, be32({1, 1500})).record(17, integers).bytes(), record),
            kDone);
  EXPECT_EQ(record.count(1500), 1499);
  // The same record followed by another data record must hold exactly 1024 values.
  EXPECT_EQ(ReadRBS(RbsBuilder()
                        .record(16, be32({1, 1500}))
                        .record(17, integers)
                        .record(19, integers.substr(0, 4 * 476))
                        .bytes(),
                    record),
            kDone);
  EXPECT_EQ(record.count(1500), 475);
}

TEST(RbsReader, HeaderRecordsFillTheirFields) {
  Bytes text257 = be32({5}) + "  id  ";
  const Bytes file = RbsBuilder()
                         .record(1, be32({4}) + "note")
                         .record(257, be32({3}) + "abc")
                         .record(258, be32({9}) + " 12 / 34 ")
                         .record(259, be32({5}) + "today")
                         .record(272, beSingles({1.5f}))
                         // Version 1.0a adds a fifth calibration value.
                         .record(274, beSingles({2.0f, 3.0f, 4.0f, 5.0f, 6.0f}))
                         .record(289, be32({0}) + beSingles({1, 2, 3, 4}))
                         .bytes();
  SpectrumRecord record;
  record.AcqTime = "stale";
  ASSERT_EQ(ReadRBS(file, record), kDone);
  EXPECT_EQ(record.RumpComment, "note");
  EXPECT_EQ(record.SpecId, "abc");
  EXPECT_EQ(record.LiveTime, "12");
  EXPECT_EQ(record.RealTime, "34");
  EXPECT_EQ(record.AcqDate, "today");
  EXPECT_EQ(record.AcqTime, "");
  EXPECT_EQ(record.Correction, 1.5f);
  EXPECT_EQ(record.CalGain, 2.0f);
  EXPECT_EQ(record.Fwhm, 5.0f);
  EXPECT_EQ(record.Geometry, 0);
  EXPECT_EQ(record.Omega, 4.0f);
  EXPECT_EQ(record.Version, "1.00");
  EXPECT_EQ(record.ChannelCount, 0);  // no spectrum records: a spectrum of 0 channels

  // A text of length 0 leaves its field as it was.
  record.SpecId = "kept";
  ASSERT_EQ(ReadRBS(RbsBuilder().record(257, be32({0})).bytes(), record), kDone);
  EXPECT_EQ(record.SpecId, "kept");
}

TEST(RbsReader, BrokenRecordsAreRejectedNotPadded) {
  SpectrumRecord record;
  const Bytes good = RbsBuilder().record(16, be32({1, 2})).record(17, be32({5, 6})).bytes();
  ASSERT_EQ(ReadRBS(good, record), kDone);
  // A length word of 0 must not loop for ever.
  EXPECT_EQ(ReadRBS(RbsBuilder().raw(be32({0, 272, 0})).bytes(), record), kNotThisFormat);
  // Calibration needs four values.
  EXPECT_EQ(ReadRBS(RbsBuilder().record(274, beSingles({1, 2, 3})).bytes(), record),
            kNotThisFormat);
  // A record running past the end of the file.
  EXPECT_EQ(ReadRBS(good.substr(0, good.size() - 4), record), kNotThisFormat);
  // Data without a type-16 record, an encoding of 3, fewer values than channels.
  EXPECT_EQ(ReadRBS(RbsBuilder().record(17, be32({1})).bytes(), record), kNotThisFormat);
  EXPECT_EQ(ReadRBS(RbsBuilder().record(16, be32({3, 1})).bytes(), record), kNotThisFormat);
  EXPECT_EQ(ReadRBS(RbsBuilder().record(16, be32({1, 3})).record(17, be32({1, 2})).bytes(), record),
            kNotThisFormat);
  // A small integer outside 16 bits.
  EXPECT_EQ(
      ReadRBS(RbsBuilder().record(288, be32({40000}) + beSingles({0, 0, 0, 0})).bytes(), record),
      kNotThisFormat);
  // Invalid whole values in the seven-byte form.
  EXPECT_EQ(ReadRBS(RbsBuilder()
                        .record(16, be32({2, 2}))
                        .record(17, be32({0}) + std::string("\x80\x80\x00\x7F\xFF\xFF\xFF", 7))
                        .bytes(),
                    record),
            kNotThisFormat);
  // Wrong magic or type, too short, too long.
  Bytes wrongMagic = good;
  wrongMagic[8] = 0x11;
  EXPECT_EQ(ReadRBS(wrongMagic, record), kNotThisFormat);
  EXPECT_EQ(ReadRBS(good.substr(0, 3), record), kNotThisFormat);
  EXPECT_EQ(ReadRBS(good + Bytes(kRbsMaxFileBytes, '\0'), record), kNotThisFormat);
  // A file up to the size limit is read; zero padding after the last record ends it.
  Bytes padded = good;
  padded.resize(kRbsMaxFileBytes, '\0');
  EXPECT_EQ(ReadRBS(padded, record), kDone);
  EXPECT_EQ(ReadRBS(good + "\0\0\0", record), kDone);
  EXPECT_EQ(ReadRBS(good + "xyz", record), kNotThisFormat);
  // A type-0 record ends the records, whatever follows.
  EXPECT_EQ(ReadRBS(good + be32({3, 0, 0}) + "junk", record), kDone);
}

TEST(RbsReader, PixeAndNraFilesGiveThreeAndKeepTheRecord) {
  for (std::uint32_t type : {290u, 291u}) {
    SpectrumRecord record = RecordWithCounts({4, 5});
    record.SpecId = "before";
    const Bytes file = RbsBuilder()
                           .record(257, be32({5}) + "after")
                           .record(16, be32({1, 1}))
                           .record(17, be32({9}))
                           .record(type, be32({0}))
                           .bytes();
    EXPECT_EQ(ReadRBS(file, record), kPixeOrNra);
    EXPECT_EQ(record.SpecId, "before");
    EXPECT_TRUE(record.Counts.empty());
  }
}

TEST(RbsVersion, HexDigitsReadAsABinaryMajorAndADecimalMinor) {
  EXPECT_EQ(RbsVersionText(0, 1, 0, 0), "1.00");
  EXPECT_EQ(RbsVersionText(1, 1, 0, 5), "3.05");
  EXPECT_EQ(RbsVersionText(0, 0x10, 0x1, 0x2), "2.12");
  EXPECT_EQ(RbsVersionText(0, 2, 0xA0, 0), "2.00");  // the minor digits begin with a letter
}

TEST(RbsFiles, WriterNamesTheFileAndReaderReadsIt) {
  test::TempDir dir;
  SpectrumRecord record = RecordWithCounts(test::SmoothCounts(512));
  record.FileName = dir.file("run.01.chn");
  ASSERT_EQ(WriteRBS(record), kDone);
  EXPECT_EQ(record.FileName, dir.file("run.RBS"));
  SpectrumRecord back;
  back.FileName = record.FileName;
  ASSERT_EQ(ReadRBS(back), kDone);
  EXPECT_EQ(back.Counts, record.Counts);
  back.FileName = dir.file("missing.RBS");
  EXPECT_EQ(ReadRBS(back), kCannotOpen);
}

}  // namespace
}  // namespace durnix
