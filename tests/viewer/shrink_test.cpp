// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/shrink.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <numeric>

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
  EXPECT_EQ(out[510], 1021 + 1022);
  EXPECT_EQ(out[511], 0);
  EXPECT_EQ(TwoChannelAdding(Counts(1021, 1), out), ShrinkResult::kShrunk);
  EXPECT_EQ(out.size(), 510u);  // round(510.5) = 510

  out = {9};
  EXPECT_EQ(TwoChannelAdding(Counts{INT_MAX, 1}, out), ShrinkResult::kTooLarge);
  EXPECT_EQ(out, Counts{9});
}

TEST(ShrinkGaussian, SpreadsOneChannelAsTheSingleLoopDoes) {
  Counts counts(200, 0);
  counts[100] = 1000;  // entry 101: target 51, x from 98 to 104
  Counts out;
  int calls = 0;
  int lastEntry = 0;
  EXPECT_EQ(GaussianShrink(counts, constant(1), out,
                           [&](int i) {
                             ++calls;
                             lastEntry = i;
                           }),
            ShrinkResult::kShrunk);
  EXPECT_EQ(calls, 200);
  EXPECT_EQ(lastEntry, 200);
  ASSERT_EQ(out.size(), 100u);
  // Samples of 399 at the centre; the float steps drift, so the sides differ.
  const Counts expected = {60, 663, 2528, 3825, 2306, 551, 42};
  EXPECT_EQ(Counts(out.begin() + 47, out.begin() + 54), expected);
  EXPECT_EQ(std::accumulate(out.begin(), out.end(), 0), 9975);

  // Far up the spectrum the single-precision steps are coarser: a loop in double precision
  // would give 60, 533, 2306, 3825, 2528, 663, 60 here.
  counts.assign(16010, 0);
  counts[16000] = 1000;
  EXPECT_EQ(GaussianShrink(counts, constant(1), out), ShrinkResult::kShrunk);
  EXPECT_EQ(Counts(out.begin() + 7997, out.begin() + 8004),
            (Counts{59, 657, 2510, 3828, 2341, 572, 44}));
  EXPECT_EQ(std::accumulate(out.begin(), out.end(), 0), 10011);

  // One count: every sample is below one half.
  EXPECT_EQ(GaussianShrink(Counts{0, 0, 1, 0}, constant(1), out), ShrinkResult::kShrunk);
  EXPECT_EQ(out, (Counts{0, 0}));
}

// The spreading as its description reads, every sample computed: what the shortcuts of the
// shrink must give to the count.
Counts SpreadOneByOne(const Counts& counts, const Resolution& resolution) {
  const int n = static_cast<int>(counts.size());
  const int half = n / 2;
  Counts out(static_cast<std::size_t>(half + ((n % 2 == 1 && half % 2 == 1) ? 1 : 0)), 0);
  for (int i = 1; i <= n; ++i) {
    const float sigma = resolution.sigmaAt(i);
    const float fi = static_cast<float>(i);
    const float t = static_cast<float>((i + 1) / 2);
    for (float x = fi - 3 * sigma; x <= fi + 3 * sigma; x += 0.1f) {
      const float k = std::nearbyint(t + x - fi);
      if (k < 1 || k > static_cast<float>(out.size())) continue;
      const float d = (x - fi) / sigma;
      const double sample = counts[static_cast<std::size_t>(i - 1)] /
                            (static_cast<double>(sigma) * std::sqrt(6.283184)) *
                            std::exp(-(static_cast<double>(d) * d) / 2);
      out[static_cast<std::size_t>(k) - 1] += static_cast<std::int32_t>(std::nearbyint(sample));
    }
  }
  return out;
}

TEST(ShrinkGaussian, WideResolutionsGiveWhatEverySampleAddsUpTo) {
  Counts counts(1500);
  for (std::size_t c = 0; c < counts.size(); ++c) {
    counts[c] = static_cast<std::int32_t>((c * 7919) % 3001 + (c % 97 == 0 ? 40000 : 0));
  }
  for (const Resolution& r :
       {constant(25), constant(7.3f), Resolution{Resolution::kLinear, 0.02f, 3, 0}}) {
    Counts out;
    ASSERT_EQ(GaussianShrink(counts, r, out), ShrinkResult::kShrunk);
    EXPECT_EQ(out, SpreadOneByOne(counts, r)) << r.a;
  }
}

TEST(ShrinkGaussian, InvalidResolutionsAndOverflowChangeNothing) {
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

  EXPECT_EQ((Resolution{Resolution::kLinear, 0.5f, 1, 0}.sigmaAt(4)), 3.0f);
  EXPECT_EQ((Resolution{Resolution::kQuadratic, 1, 2, 1}.sigmaAt(3)), 4.0f);
}

TEST(ShrinkResolution, AnswersMustBeNumbers) {
  float v = -1;
  EXPECT_TRUE(ParseResolutionValue(" 2.5 ", v));
  EXPECT_EQ(v, 2.5f);
  EXPECT_TRUE(ParseResolutionValue("-1e1", v));
  EXPECT_EQ(v, -10.0f);
  EXPECT_TRUE(ParseResolutionValue(".5", v));
  EXPECT_EQ(v, 0.5f);
  EXPECT_TRUE(ParseResolutionValue("", v));
  EXPECT_EQ(v, 0.0f);
  for (const char* text : {"abc", "3x", "1e", ".", "-", "1e40", "1,5"}) {
    EXPECT_FALSE(ParseResolutionValue(text, v)) << text;
  }
}

}  // namespace
}  // namespace durnix
