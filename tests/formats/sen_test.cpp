// SPDX-License-Identifier: GPL-3.0-or-later
// The SENRAS layout is pinned by the golden corpus (tests/data/sen and the conversions to SEN);
// these cases reach what its files do not.
#include "formats/sen.h"

#include <gtest/gtest.h>

#include "support/records.h"

namespace durnix {
namespace {

TEST(SenWriter, LiveAndRealTimesAreTrimmedAroundTheSlash) {
  SpectrumRecord record = test::RecordWithCounts({1});
  record.LiveTime = " 873.5 ";
  record.RealTime = " 900";
  Bytes file;
  ASSERT_EQ(EncodeSEN(record, file), kDone);
  EXPECT_EQ(file.substr(215, 10), "873.5/900 ");
}

TEST(SenReader, AHeaderCutShortOrANegativeChannelCountIsRefused) {
  Bytes file;
  ASSERT_EQ(EncodeSEN(test::RecordWithCounts({1, 2}), file), kDone);
  SpectrumRecord record;
  ASSERT_EQ(ReadSEN(file, record), kDone);
  EXPECT_EQ(ReadSEN(file.substr(0, 300), record), kNotThisFormat);
  file[312] = '\x80';
  EXPECT_EQ(ReadSEN(file, record), kNotThisFormat);
}

}  // namespace
}  // namespace durnix
