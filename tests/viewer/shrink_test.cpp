// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/shrink.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <fstream>
#include <numeric>

#include "support/temp_dir.h"

namespace durnix {
namespace {

using Counts = std::vector<std::int32_t>;

Resolution constant(float sigma) {
  return {Resolution::kConstant, sigma, 0, 0};
}

TEST(ShrinkTwoChannel, AddsPairsAndDropsAnOddLastChannel) {
  Counts out;
  EXPECT_EQ(TwoChannelAdding(Counts{1, 2, 3, 4}, out), ShrinkResult::kShrunk);
  EXPECT_EQ(out, (Counts{3, 7}));

  Counts odd(1023);
  std::iota(odd.begin(), odd.end(), 1);
  EXPECT_EQ(TwoChannelAdding(odd, out), ShrinkResult::kShrunk);
  EXPECT_EQ(ShrunkChannels(1023), 511);
  ASSERT_EQ(out.size(), 512u);  // round(511.5) = 512
  EXPECT_EQ(std::pair(out[510], out[511]), std::pair(1021 + 1022, 0));
  EXPECT_EQ(TwoChannelAdding(Counts(1021, 1), out), ShrinkResult::kShrunk);
  EXPECT_EQ(out.size(), 510u);  // round(510.5) = 510

  out = {9};
  EXPECT_EQ(TwoChannelAdding(Counts{INT_MAX, 1}, out), ShrinkResult::kTooLarge);
  EXPECT_EQ(out, Counts{9});
}

// The cases of tests/data/shrink/shrink.txt, worked out sample by sample by make_shrink.py.
struct ShrinkCase {
  std::string name;
  Resolution resolution;
  Counts counts;
  Counts expected;
};

std::vector<ShrinkCase> shrinkCases() {
  std::ifstream in(test::DataFile("shrink/shrink.txt"));
  std::vector<ShrinkCase> cases;
  for (std::string word; in >> word;) {
    if (word == "case") {
      cases.emplace_back();
      in >> cases.back().name;
      continue;
    }
    ShrinkCase& c = cases.back();
    if (word == "resolution") {
      std::string kind;
      in >> kind >> c.resolution.a >> c.resolution.b >> c.resolution.c;
      c.resolution.kind = kind == "constant" ? Resolution::kConstant
                          : kind == "linear" ? Resolution::kLinear
                                             : Resolution::kQuadratic;
    } else if (word == "channels" || word == "entries") {
      std::size_t n = 0;
      in >> n;
      (word == "channels" ? c.counts : c.expected).assign(n, 0);
    } else {
      std::size_t entry = 0;
      std::int32_t value = 0;
      in >> entry >> value;
      (word == "in" ? c.counts : c.expected).at(entry - 1) = value;
    }
  }
  return cases;
}

TEST(ShrinkGaussian, GivesWhatEverySampleAddsUpToOrChangesNothing) {
  const std::vector<ShrinkCase> cases = shrinkCases();
  ASSERT_EQ(cases.size(), 7u);
  for (const ShrinkCase& c : cases) {
    SCOPED_TRACE(c.name);
    Counts out;
    std::vector<int> entries;  // as the progress is told them
    const auto progress = [&](int i) { entries.push_back(i); };
    ASSERT_EQ(GaussianShrink(c.counts, c.resolution, out, progress), ShrinkResult::kShrunk);
    EXPECT_EQ(out, c.expected);
    ASSERT_EQ(entries.size(), c.counts.size());
    EXPECT_EQ(entries.back(), static_cast<int>(entries.size()));
  }

  const Counts counts(20, 100);
  Counts out = {7};
  EXPECT_EQ(GaussianShrink(counts, {Resolution::kLinear, 0, 0, 0}, out), ShrinkResult::kUnchanged);
  EXPECT_EQ(GaussianShrink(counts, {Resolution::kQuadratic, 0, 0, 0}, out),
            ShrinkResult::kUnchanged);
  EXPECT_EQ(GaussianShrink(counts, constant(0), out), ShrinkResult::kInvalid);
  EXPECT_EQ(GaussianShrink(counts, constant(-1), out), ShrinkResult::kInvalid);
  // sigma = 10 - entry: 0 at entry 10.
  EXPECT_EQ(GaussianShrink(counts, {Resolution::kLinear, -1, 10, 0}, out), ShrinkResult::kInvalid);
  // A negative radicand from entry 3 on.
  const Resolution quadratic{Resolution::kQuadratic, -1, 0, 4};
  EXPECT_TRUE(std::isnan(quadratic.sigmaAt(3)));
  EXPECT_EQ(GaussianShrink(counts, quadratic, out), ShrinkResult::kInvalid);
  // So wide that a single-precision step of 0.1 would be lost.
  EXPECT_EQ(GaussianShrink(counts, constant(1e6f), out), ShrinkResult::kInvalid);
  // Wider than the spectrum of 20 channels, for every channel or from entry 20 on (sigma 21).
  EXPECT_EQ(GaussianShrink(counts, constant(20.5f), out), ShrinkResult::kInvalid);
  EXPECT_EQ(GaussianShrink(counts, {Resolution::kLinear, 1, 1, 0}, out), ShrinkResult::kInvalid);
  // Samples of about 8.6e8, ten of them to one entry.
  EXPECT_EQ(GaussianShrink(Counts{INT_MAX, 0}, constant(1), out), ShrinkResult::kTooLarge);
  // A single sample beyond 32 bits.
  EXPECT_EQ(GaussianShrink(Counts{INT_MAX, 0}, constant(0.001f), out), ShrinkResult::kTooLarge);
  EXPECT_EQ(out, Counts{7});
  EXPECT_EQ(GaussianShrink(counts, constant(20), out), ShrinkResult::kShrunk);  // as wide as it

  // The answers to the resolution questions must be numbers.
  const std::pair<const char*, float> numbers[] = {
      {" 2.5 ", 2.5f}, {"-1e1", -10.0f}, {".5", 0.5f}, {"", 0.0f}};
  for (const auto& [text, value] : numbers) {
    float v = -1;
    EXPECT_TRUE(ParseResolutionValue(text, v) && v == value) << '"' << text << "\" gave " << v;
  }
  float v = -1;
  for (const char* text : {"abc", "3x", "1e", ".", "-", "1e40", "1,5"}) {
    EXPECT_FALSE(ParseResolutionValue(text, v)) << text;
  }
}

}  // namespace
}  // namespace durnix
