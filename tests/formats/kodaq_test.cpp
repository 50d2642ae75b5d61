// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/kodaq.h"

#include <gtest/gtest.h>

#include "formats/byte_io.h"
#include "support/records.h"

namespace durnix {
namespace {

using test::RecordWithCounts;

TEST(KodaqWriter, ItemsOfAKodaqSpectrumAreKept) {
  SpectrumRecord record = RecordWithCounts(std::vector<std::int32_t>(512, 3));
  record.Counts[1] = -5;
  record.KodaqId = "ID01";
  record.KodaqMem = "mem7";
  record.SpecId = "Si(Li) PIXE";
  record.AcqDate = "06DEC26";
  record.AcqTime = "09:17:05";
  Bytes file;
  ASSERT_EQ(EncodeKodaq(record, file), kDone);
  ASSERT_EQ(file.size(), 128u + 2 * 512);
  EXPECT_EQ(file.substr(0, 16), "ID01Si(Li) PIXE ");
  EXPECT_EQ(file.substr(16, 8), std::string(8, '\0'));
  EXPECT_EQ(file.substr(24, 4), "512 ");
  EXPECT_EQ(file.substr(28, 25), std::string("\0"
                                             "06DEC26"
                                             "\0\0\0\0\0"
                                             "09:17:05"
                                             "mem7",
                                             25));
  EXPECT_EQ(file.substr(62, 3), "ADC");
  EXPECT_EQ(file.substr(130, 2), "\xFB\xFF");
  SpectrumRecord back;
  ASSERT_EQ(ReadKodaq(file, back), kDone);
  EXPECT_EQ(back.Counts, record.Counts);
  EXPECT_EQ(back.KodaqId, "ID01");
  EXPECT_EQ(back.KodaqMem, "mem7");
  EXPECT_EQ(back.SpecId, "Si(Li) PIXE ");  // untrimmed
}

TEST(KodaqWriter, SpectraFromOtherFormatsGetItemsThatReadBack) {
  SpectrumRecord record = RecordWithCounts(std::vector<std::int32_t>(8192, 1));
  record.KodaqId = "left";  // from an earlier file, without a memory item
  Bytes file;
  ASSERT_EQ(EncodeKodaq(record, file), kDone);
  EXPECT_EQ(file.substr(0, 4), std::string(4, '\0'));
  EXPECT_EQ(file.substr(24, 4), "8192");
  EXPECT_EQ(file.substr(49, 4), "MEM1");
  SpectrumRecord back;
  ASSERT_EQ(ReadKodaq(file, back), kDone);
  EXPECT_EQ(back.KodaqMem, "MEM1");
}

TEST(KodaqWriter, CountsAndChannelCountsOutsideTheFormatAreRefused) {
  Bytes file;
  EXPECT_EQ(EncodeKodaq(RecordWithCounts(std::vector<std::int32_t>(256, 40000)), file),
            kDoesNotFit);
  EXPECT_EQ(EncodeKodaq(RecordWithCounts(std::vector<std::int32_t>(256, -32769)), file),
            kDoesNotFit);
  EXPECT_EQ(EncodeKodaq(RecordWithCounts(std::vector<std::int32_t>(256, 32767)), file), kDone);
  EXPECT_EQ(EncodeKodaq(RecordWithCounts(std::vector<std::int32_t>(255, 1)), file), kDoesNotFit);
  EXPECT_EQ(EncodeKodaq(RecordWithCounts(std::vector<std::int32_t>(8193, 1)), file), kDoesNotFit);
}

TEST(KodaqReader, ChannelTextAndMemoryItem) {
  Bytes file;
  ASSERT_EQ(EncodeKodaq(RecordWithCounts(std::vector<std::int32_t>(1024, 2)), file), kDone);
  SpectrumRecord record;
  const auto withText = [&](std::string_view channels, std::string_view memory) {
    Bytes b = file;
    b.replace(24, 4, channels);
    b.replace(49, 4, memory);
    return ReadKodaq(b, record);
  };
  EXPECT_EQ(withText("1024", "MEM1"), kDone);
  EXPECT_EQ(record.ChannelCount, 1024);
  EXPECT_EQ(withText(" 512", "mem."), kDone);
  EXPECT_EQ(record.ChannelCount, 512);
  EXPECT_EQ(withText("abcd", "MEM1"), kNotThisFormat);
  EXPECT_EQ(withText("1024", "XEM1"), kNotThisFormat);
  EXPECT_TRUE(record.Counts.empty());
  EXPECT_EQ(withText("2048", "MEM1"), kNotThisFormat);  // more channels than the file holds
}

}  // namespace
}  // namespace durnix
