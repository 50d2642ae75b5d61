// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/arithmetic.h"

#include <gtest/gtest.h>

#include <climits>

#include "formats/catalogue.h"
#include "support/memory_file_system.h"
#include "support/records.h"
#include "support/scripted.h"

namespace durnix {
namespace {

using Counts = std::vector<std::int32_t>;

TEST(ArithmeticFactor, ZeroNegativeEmptyOrTextCountAsOne) {
  EXPECT_EQ(MultiplicationFactor("0"), 1.0f);
  EXPECT_EQ(MultiplicationFactor("-2"), 1.0f);
  EXPECT_EQ(MultiplicationFactor(""), 1.0f);
  EXPECT_EQ(MultiplicationFactor("abc"), 1.0f);
  EXPECT_EQ(MultiplicationFactor(" 0.5"), 0.5f);
  EXPECT_EQ(MultiplicationFactor("2.5x"), 2.5f);
  EXPECT_EQ(FactorText(MultiplicationFactor("-2")), "1");
  EXPECT_EQ(FactorText(0.5f), "0.5");
}

TEST(ArithmeticSubtract, NegativeResultsBecomeZero) {
  Counts view = {4, 7, 100};
  EXPECT_TRUE(SubtractSpectrum(view, {4, 7, 100}, 2));
  EXPECT_EQ(view, (Counts{0, 0, 0}));
  view = {10, 0};
  EXPECT_TRUE(SubtractSpectrum(view, {5, INT_MAX}, 0.5));  // 7.5 -> 8; far below 0 -> 0
  EXPECT_EQ(view, (Counts{8, 0}));
  view = {0};
  EXPECT_TRUE(SubtractSpectrum(view, {INT_MAX}, 3));  // below the 32-bit range, still 0
  EXPECT_EQ(view, (Counts{0}));
  view = {INT_MAX, 1};
  EXPECT_FALSE(SubtractSpectrum(view, {-1, 0}, 1));
  EXPECT_EQ(view, (Counts{INT_MAX, 1}));
}

TEST(ArithmeticCompare, ScalesTheSecondSpectrum) {
  Counts second = {3, 5, -3};
  EXPECT_TRUE(ScaleCompared(second, 0.5));  // 1.5 -> 2, 2.5 -> 2, -1.5 -> -2
  EXPECT_EQ(second, (Counts{2, 2, -2}));
  second = {1, 2000000000};
  EXPECT_FALSE(ScaleCompared(second, 2));
  EXPECT_EQ(second, (Counts{1, 2000000000}));
}

class ArithmeticLoad : public ::testing::Test {
 protected:
  void put(const std::string& path, FormatCode format, Counts counts) {
    SpectrumRecord record = test::RecordWithCounts(std::move(counts));
    Bytes bytes;
    ASSERT_EQ(Format(format).encode(record, bytes), kDone);
    files_.addFile(path, bytes);
  }
  test::MemoryFileSystem files_;
  test::ScriptedPrompter prompter_;
  Counts counts_ = {99};
};

TEST_F(ArithmeticLoad, ReadsByDetection) {
  files_.addFolder("/d");
  put("/d/a.rbs", FMT_RBS, {1, 2, 0x1234567});
  EXPECT_EQ(LoadSecondSpectrum(files_, "/d/a.rbs", counts_, prompter_), kDone);
  EXPECT_EQ(counts_, (Counts{1, 2, 0x1234567}));
  prompter_.verify();
}

TEST_F(ArithmeticLoad, FailuresAreToldInTheViewersWords) {
  files_.addFolder("/d");
  files_.addFile("/d/t.txt", "nothing to see\n");
  prompter_.expect("/D/T.TXT has unknown format !!", StandardButtons::kOk, kAnswerOk);
  EXPECT_EQ(LoadSecondSpectrum(files_, "/d/t.txt", counts_, prompter_), kUnknownFormat);
  EXPECT_TRUE(counts_.empty());
  const std::string retry = "Disk is not ready or /D/GONE.RBS is not found !! Retry ?";
  prompter_.expect(retry, StandardButtons::kYesNo, kAnswerYes)
      .expect(retry, StandardButtons::kYesNo, kAnswerNo);
  EXPECT_EQ(LoadSecondSpectrum(files_, "/d/gone.rbs", counts_, prompter_), kCannotOpen);
  prompter_.verify();
}

}  // namespace
}  // namespace durnix
