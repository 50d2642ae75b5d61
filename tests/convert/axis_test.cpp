// SPDX-License-Identifier: GPL-3.0-or-later
// The expected values below are worked out by hand from the kinematics (E = K M / t^2, with
// K = L^2 x 8.302701e-28 / 1e-18 x 6.2418e12 = 5182.3 MeV ns^2 per amu for L = 1 m).

#include "convert/axis.h"

#include <gtest/gtest.h>

#include <numeric>

#include "support/records.h"

namespace durnix {
namespace {

using test::RecordWithCounts;

SpectrumRecord spectrum(std::vector<std::int32_t> counts, float gain = 0, float offset = 0) {
  SpectrumRecord r = RecordWithCounts(std::move(counts));
  r.CalGain = gain;
  r.CalOffset = offset;
  return r;
}

// The record of `counts` converted from flight times to energies along `axis`.
SpectrumRecord toEnergy(std::vector<std::int32_t> counts, const AxisParameters& axis,
                        float gain = 0, float offset = 0) {
  SpectrumRecord r = spectrum(std::move(counts), gain, offset);
  EXPECT_EQ(TimeToEnergy(r, axis), kDone);
  return r;
}

TEST(TimeToEnergy, ChannelsBelowTheAxisAreSkippedAndThoseBeyondItLandLast) {
  // 10 ns per channel, offset -15 ns: channel 1 lies at -5 ns, below one channel width, so the
  // axis starts at t = 10 ns (channel Int(25 / 10) = 2) and its maximum is K / 100 MeV.
  const AxisParameters axis{1, 100, 0, 1, 10, -15, true};
  EXPECT_EQ(toEnergy({1000, 0, 0, 0}, axis).Counts, (std::vector<std::int32_t>{0, 0, 0, 0}));

  // Channel 2 spans 0.1 to 10 ns: energies of K / t^2 >= Xmax, all in the last channel.
  const SpectrumRecord r = toEnergy({0, 6, 0, 0}, axis);
  EXPECT_EQ(r.Counts, (std::vector<std::int32_t>{0, 0, 0, 6}));
  // The new axis: Xmax x 1000 / N keV per channel from 0.
  EXPECT_NEAR(r.CalGain, KinematicConstant(1) / 100 * 1000 / 4, 1e-2);
  EXPECT_EQ(r.CalOffset, 0.0f);

  // 1 ns per channel from 0; a maximum whose time is 10.3 ns: the axis starts at channel
  // Int(10.3) = 10, whose sub-positions from 9.51 to 10.5 ns give 9.6 to 11.7 channels: all N.
  const double maximum = static_cast<double>(KinematicConstant(1)) / (10.3 * 10.3);
  const AxisParameters beyond{1, 100, maximum, 1, 0, 0, false};
  EXPECT_EQ(toEnergy({0, 0, 0, 0, 0, 0, 0, 0, 50, 7}, beyond, 1, 0).Counts,
            (std::vector<std::int32_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 7}));

  EXPECT_NEAR(KinematicConstant(1.0f), 5182.3, 0.1);
  EXPECT_NEAR(KinematicConstant(0.745f), 5182.3 * 0.745 * 0.745, 0.1);
}

TEST(TimeToEnergy, EfficiencyScalesTheCountsAndTheCalibrationUsed) {
  // Every channel near 100 ns: E = 5182.3 / 10000 = 0.518 MeV, 5.18 channels of 0.1 MeV.
  std::vector<std::int32_t> counts = {3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  const AxisParameters full{1, 100, 1.0, 1, 0.001f, 100, true};
  const SpectrumRecord r = toEnergy(counts, full);
  EXPECT_EQ(r.Counts, (std::vector<std::int32_t>{0, 0, 0, 0, 75, 0, 0, 0, 0, 0}));
  EXPECT_FLOAT_EQ(r.CalGain, 100.0f);  // 1 MeV over 10 channels

  const AxisParameters half{1, 50, 1.0, 1, 0.001f, 100, true};  // efficiency 50 %
  const std::vector<std::int32_t> doubled = toEnergy(counts, half).Counts;
  EXPECT_EQ(std::accumulate(doubled.begin(), doubled.end(), 0LL), 150);

  // A maximum of 20 MeV puts 0.518 MeV at channel 0.26: below the range, into channel 1.
  EXPECT_EQ(toEnergy(counts, {1, 100, 20, 1, 0.001f, 100, true}).count(1), 75);

  // The file's own calibration unless the box is checked. The file says 0.001 ns per channel from
  // 100 ns; the dialog says something useless.
  const std::vector<std::int32_t> ones(10, 1);
  AxisParameters axis{1, 100, 1.0, 1, 5000, 0, false};
  EXPECT_EQ(toEnergy(ones, axis, 0.001f, 100).count(5), 10);
  axis.useConvFactor = true;  // 5000 ns per channel: everything far below the range
  EXPECT_EQ(toEnergy(ones, axis, 0.001f, 100).count(1), 10);
}

TEST(EnergyToTime, ReBinsOntoAFlightTimeAxisAndBadValuesOrArithmeticFail) {
  // 0.001 keV per channel from 500 keV: E = 0.5 MeV, t = sqrt(5182.3 / 0.5) = 101.8 ns; with a
  // maximum of 200 ns over 10 channels that is channel 5.09.
  SpectrumRecord r = spectrum({2, 2, 2, 2, 2, 2, 2, 2, 2, 2});
  const AxisParameters axis{1, 100, 200, 1, 0.001f, 500, true};
  ASSERT_EQ(EnergyToTime(r, axis), kDone);
  EXPECT_EQ(r.Counts, (std::vector<std::int32_t>{0, 0, 0, 0, 20, 0, 0, 0, 0, 0}));
  EXPECT_FLOAT_EQ(r.CalGain, 20.0f);  // ns per channel
  EXPECT_EQ(r.CalOffset, 0.0f);

  // Bad masses or efficiencies, and arithmetic that fails, leave the record as it was.
  const SpectrumRecord original = spectrum({1, 2, 3, 4}, 10, -15);
  SpectrumRecord failed = original;
  EXPECT_EQ(TimeToEnergy(failed, {0, 100, 0, 1, 10, -15, true}), kBadAxisValues);
  EXPECT_EQ(EnergyToTime(failed, {4, 0, 0, 1, 10, -15, true}), kBadAxisValues);
  EXPECT_EQ(failed, original);
  // Energies below 0 have no flight time: -1 MeV per channel from 2.3 MeV reaches channel
  // Int(2.3) = 2, whose upper half lies below 0 MeV.
  EXPECT_EQ(EnergyToTime(failed, {4, 100, 1e6, 1, -1000, 2300, true}), kArithmetic);
  // A channel width of 0 with the axis below it divides by 0.
  EXPECT_EQ(TimeToEnergy(failed, {4, 100, 0, 1, 0, -15, true}), kArithmetic);
  // Sums beyond 32 bits.
  SpectrumRecord big = spectrum({2000000000, 2000000000}, 0.001f, 100);
  EXPECT_EQ(TimeToEnergy(big, {1, 100, 1.0, 1, 0, 0, false}), kArithmetic);
  EXPECT_EQ(big.count(1), 2000000000);
  EXPECT_EQ(failed, original);
}

}  // namespace
}  // namespace durnix
