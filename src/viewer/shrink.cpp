// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/shrink.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "formats/text_rules.h"

namespace durnix {

namespace {

constexpr std::int64_t kCountMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kCountMax = std::numeric_limits<std::int32_t>::max();

// Beyond this magnitude a single-precision step of 0.1 is lost in rounding (x + 0.1f == x), so
// the spreading loop would never reach its end.
constexpr float kLoopLimit = 2097152.0f;  // 2^21

// round(n / 2), halves to even: the entries of the shrunk spectrum.
std::size_t ShrunkEntries(std::size_t n) {
  const std::size_t half = n / 2;
  return half + ((n % 2 == 1 && half % 2 == 1) ? 1 : 0);
}

bool AllZero(const Resolution& r) {
  switch (r.kind) {
    case Resolution::kConstant:
      return false;
    case Resolution::kLinear:
      return r.a == 0 && r.b == 0;
    case Resolution::kQuadratic:
      return r.a == 0 && r.b == 0 && r.c == 0;
  }
  return false;
}

// Moves the sums into `out` when every one fits a count.
bool StoreSums(const std::vector<std::int64_t>& sums, std::vector<std::int32_t>& out) {
  for (std::int64_t sum : sums) {
    if (sum < kCountMin || sum > kCountMax) return false;
  }
  out.assign(sums.size(), 0);
  for (std::size_t k = 0; k < sums.size(); ++k) out[k] = static_cast<std::int32_t>(sums[k]);
  return true;
}

// A sample peak x exp(-q / 2), q = ((x - i) / sigma)^2, rounds to v + 1 or more exactly when
// q < -2 ln((v + 0.5) / peak). Where a channel has far more samples than values they can round
// to, these limits are worked out once and each sample's value is found among them, not from its
// own exponential. False (the samples are computed one by one) where that does not pay.
bool limitsFor(double peak, float sigma, std::vector<double>& limits) {
  constexpr double kMostValues = 65536;
  const double values = std::floor(peak + 0.5) + 1;
  if (!(peak > 0) || values > kMostValues || values * 8 > 60.0 * sigma) return false;
  limits.resize(static_cast<std::size_t>(values));
  for (std::size_t v = 0; v < limits.size(); ++v) {
    limits[v] = -2 * std::log((static_cast<double>(v) + 0.5) / peak);
  }
  return true;
}

// The rounded sample at q from the limits (they fall with v); false when q is so near a limit
// that only the sample itself can tell on which side it rounds.
bool valueByLimits(const std::vector<double>& limits, double q, std::int32_t& rounded) {
  constexpr double kUnsure = 1e-9;
  const auto above =
      std::partition_point(limits.begin(), limits.end(), [q](double limit) { return limit > q; });
  const std::size_t r = static_cast<std::size_t>(above - limits.begin());
  if (r > 0 && limits[r - 1] - q < kUnsure) return false;
  if (r < limits.size() && q - limits[r] < kUnsure) return false;
  rounded = static_cast<std::int32_t>(r);
  return true;
}

}  // namespace

float Resolution::sigmaAt(int entry) const {
  const float ch = static_cast<float>(entry);
  switch (kind) {
    case kConstant:
      return a;
    case kLinear:
      return a * ch + b;
    case kQuadratic: {
      // The radicand in double: ch^2 reaches 1e9, beyond the digits of a single.
      const double radicand = static_cast<double>(a) * entry * entry +
                              static_cast<double>(b) * entry + static_cast<double>(c);
      if (radicand < 0) return std::numeric_limits<float>::quiet_NaN();
      return ToSingle(std::sqrt(radicand));
    }
  }
  return std::numeric_limits<float>::quiet_NaN();
}

bool ParseResolutionValue(std::string_view text, float& value) {
  const std::string_view t = Trim(text);
  if (t.empty()) {
    value = 0;
    return true;
  }
  // A number and nothing else: sign, digits with an optional point, an optional exponent.
  std::size_t at = 0;
  if (t[at] == '+' || t[at] == '-') ++at;
  std::size_t digits = 0;
  while (at < t.size() && t[at] >= '0' && t[at] <= '9') ++at, ++digits;
  if (at < t.size() && t[at] == '.') {
    ++at;
    while (at < t.size() && t[at] >= '0' && t[at] <= '9') ++at, ++digits;
  }
  if (digits == 0) return false;
  if (at < t.size() && (t[at] == 'e' || t[at] == 'E')) {
    std::size_t e = at + 1;
    if (e < t.size() && (t[e] == '+' || t[e] == '-')) ++e;
    const std::size_t first = e;
    while (e < t.size() && t[e] >= '0' && t[e] <= '9') ++e;
    if (e == first) return false;
    at = e;
  }
  if (at != t.size()) return false;
  const float parsed = ToSingle(NumericPrefix(t));
  if (!std::isfinite(parsed)) return false;  // beyond the range of a single
  value = parsed;
  return true;
}

ShrinkResult TwoChannelAdding(std::span<const std::int32_t> counts,
                              std::vector<std::int32_t>& out) {
  std::vector<std::int64_t> sums(ShrunkEntries(counts.size()), 0);
  for (std::size_t i = 0; i + 1 < counts.size(); i += 2) {
    sums[i / 2] = static_cast<std::int64_t>(counts[i]) + counts[i + 1];
  }
  return StoreSums(sums, out) ? ShrinkResult::kShrunk : ShrinkResult::kTooLarge;
}

ShrinkResult GaussianShrink(std::span<const std::int32_t> counts, const Resolution& resolution,
                            std::vector<std::int32_t>& out,
                            const std::function<void(int)>& progress,
                            const std::atomic<bool>* stop) {
  if (AllZero(resolution)) return ShrinkResult::kUnchanged;
  const int n = static_cast<int>(counts.size());
  // Every sigma is checked before any work: a refusal comes at once and changes nothing. A
  // resolution wider than the whole spectrum is no detector's.
  for (int i = 1; i <= n; ++i) {
    const float sigma = resolution.sigmaAt(i);
    if (!(sigma > 0) || !std::isfinite(sigma)) return ShrinkResult::kInvalid;
    if (sigma > static_cast<float>(n)) return ShrinkResult::kInvalid;
    const float spread = 3 * sigma;
    if (static_cast<float>(i) - spread <= -kLoopLimit ||
        static_cast<float>(i) + spread >= kLoopLimit) {
      return ShrinkResult::kInvalid;
    }
  }

  const std::size_t entries = ShrunkEntries(counts.size());
  const int last = static_cast<int>(entries);
  std::vector<std::int64_t> sums(entries, 0);
  const double rootTwoPi = std::sqrt(6.283184);
  const bool constant = resolution.kind == Resolution::kConstant;
  float sigma = resolution.sigmaAt(1);
  std::vector<double> limits;
  for (int i = 1; i <= n; ++i) {
    if (stop != nullptr && stop->load(std::memory_order_relaxed)) return ShrinkResult::kInterrupted;
    if (!constant) sigma = resolution.sigmaAt(i);
    const std::int32_t count = counts[static_cast<std::size_t>(i - 1)];
    const double peak = count / (static_cast<double>(sigma) * rootTwoPi);
    // No sample is larger than the peak: a channel whose peak rounds to 0 contributes nothing.
    if (std::fabs(peak) > 0.5) {
      const float fi = static_cast<float>(i);
      const float t = static_cast<float>((i + 1) / 2);
      const float end = fi + 3 * sigma;
      // Samples of |(x - i) / sigma| beyond `reach` are below one half: they round to 0 and are
      // not computed (with a margin, so that every sample that may count is).
      const double reach = std::sqrt(2 * std::log(2 * std::fabs(peak))) * 1.0001 + 1e-6;
      const bool byLimits = limitsFor(peak, sigma, limits);
      for (float x = fi - 3 * sigma; x <= end; x += 0.1f) {
        // k and d only grow with x: past the last entry or the reach no later sample counts.
        const float k = std::nearbyint(t + x - fi);
        if (k > static_cast<float>(last)) break;
        const float d = (x - fi) / sigma;
        if (d > reach) break;
        if (k < 1 || d < -reach) continue;
        const double q = static_cast<double>(d) * d;
        std::int32_t rounded = 0;
        if (!byLimits || !valueByLimits(limits, q, rounded)) {
          const double sample = peak * std::exp(-q / 2);
          if (!RoundToInt32(sample, rounded)) return ShrinkResult::kTooLarge;
        }
        sums[static_cast<std::size_t>(k) - 1] += rounded;
      }
    }
    if (progress) progress(i);
  }
  return StoreSums(sums, out) ? ShrinkResult::kShrunk : ShrinkResult::kTooLarge;
}

}  // namespace durnix
