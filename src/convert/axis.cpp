// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/axis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "formats/text_rules.h"

namespace durnix {

namespace {

constexpr double kHalfAtomicMassKg = 8.302701e-28;
constexpr double kNanosecondsSquared = 1e-18;
constexpr double kMevPerJoule = 6.2418e12;
constexpr int kSubPositions = 100;

enum class Direction { kTimeToEnergy, kEnergyToTime };

// The sub-positions of a channel: -0.49, -0.48, ... +0.50, counted in single precision as the
// program always has.
const std::array<float, kSubPositions>& subPositions() {
  static const auto positions = [] {
    std::array<float, kSubPositions> s{};
    float step = -0.49f;
    for (float& p : s) {
      p = step;
      step += 0.01f;
    }
    return s;
  }();
  return positions;
}

// Int(): the largest whole number not above `value`, as a channel number.
bool channelOf(double value, long long& channel) {
  if (!std::isfinite(value) || std::fabs(value) > 1e15) return false;
  channel = static_cast<long long>(std::floor(value));
  return true;
}

Status transform(SpectrumRecord& record, const AxisParameters& axis, Direction direction) {
  const float M = axis.mass;
  const float eta = axis.efficiency;
  if (M == 0 || eta == 0) return kBadAxisValues;
  const bool toEnergy = direction == Direction::kTimeToEnergy;

  // The calibration of the input axis: the file's, or the dialog's when asked or when the file
  // has none. Energies are taken in MeV.
  float g = record.CalGain;
  float o = record.CalOffset;
  if (axis.useConvFactor || g == 0) {
    g = axis.convFactor;
    o = axis.offset;
  }
  if (!toEnergy) {
    g = g / 1000.0f;
    o = o / 1000.0f;
  }
  const long long n = record.ChannelCount;
  const double K = KinematicConstant(axis.tofLength);
  const double KM = K * static_cast<double>(M);
  const float width = std::fabs(g);

  // The channels that fall inside the output axis, and its maximum.
  double xmax = axis.maximum;
  long long lo = 1, hi = n;
  if (xmax <= 0) {
    const float x = g < 0 ? static_cast<float>(n) * g + o : g + o;  // the smallest input value
    double least = x;
    if (width > x) {
      least = width;
      long long channel = 0;
      if (!channelOf((static_cast<double>(width) - o) / g, channel)) return kArithmetic;
      (g < 0 ? hi : lo) = channel;
    }
    xmax = toEnergy ? KM / (least * least) : std::sqrt(KM / least);
  } else {
    const double least = toEnergy ? std::sqrt(KM / xmax) : KM / (xmax * xmax);
    long long channel = 0;
    if (!channelOf((least - o) / g, channel)) return kArithmetic;
    if (g < 0) {
      hi = std::min(channel, n);
    } else {
      lo = std::max(channel, 1LL);
    }
  }
  if (!std::isfinite(xmax) || xmax <= 0) return kArithmetic;
  if (lo <= hi && (lo < 1 || hi > n)) return kArithmetic;

  std::vector<long long> sums(static_cast<std::size_t>(n) + 1, 0);
  for (long long k = lo; k <= hi; ++k) {
    const std::int32_t count = record.Counts[static_cast<std::size_t>(k - 1)];
    for (float s : subPositions()) {
      const double x = (static_cast<double>(k) + s) * g + o;
      double y = 0;
      if (toEnergy) {
        y = KM / (x * x);  // energy of flight time x
      } else {
        if (x <= 0) return kArithmetic;
        y = std::sqrt(KM / x);  // flight time of energy x
      }
      std::int32_t target = 0;
      if (!RoundToInt32(y / xmax * static_cast<double>(n), target)) return kArithmetic;
      target = static_cast<std::int32_t>(std::clamp<long long>(target, 1, n));
      long long& sum = sums[static_cast<std::size_t>(target)];
      sum += count;
      if (sum > std::numeric_limits<std::int32_t>::max() ||
          sum < std::numeric_limits<std::int32_t>::min()) {
        return kArithmetic;
      }
    }
  }

  std::vector<std::int32_t> counts(static_cast<std::size_t>(n));
  for (long long i = 1; i <= n; ++i) {
    const double corrected = static_cast<double>(sums[static_cast<std::size_t>(i)]) / eta;
    if (!RoundToInt32(corrected, counts[static_cast<std::size_t>(i - 1)])) return kArithmetic;
  }
  const double gain =
      toEnergy ? xmax * 1000.0 / static_cast<double>(n) : xmax / static_cast<double>(n);
  if (!std::isfinite(gain)) return kArithmetic;
  record.Counts = std::move(counts);
  record.CalGain = ToSingle(gain);
  record.CalOffset = 0;
  return kDone;
}

}  // namespace

float KinematicConstant(float tofLength) {
  const double L = tofLength;
  return ToSingle(L * L * kHalfAtomicMassKg / kNanosecondsSquared * kMevPerJoule);
}

Status TimeToEnergy(SpectrumRecord& record, const AxisParameters& axis) {
  return transform(record, axis, Direction::kTimeToEnergy);
}

Status EnergyToTime(SpectrumRecord& record, const AxisParameters& axis) {
  return transform(record, axis, Direction::kEnergyToTime);
}

}  // namespace durnix
