// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shrinking: halving the number of channels, by adding neighbouring pairs or by spreading every
// channel's counts with a Gaussian whose width is the detector resolution.

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace durnix {

inline constexpr const char* kInvalidDataText = "There are some invalid data";
inline constexpr const char* kUnzoomFirst = "You have to unzoom first";
inline constexpr const char* kEraseRoiFirst = "You have to erase ROI first";

// The detector resolution sigma(ch) in channels, ch the entry number counted from 1.
struct Resolution {
  enum Kind { kConstant, kLinear, kQuadratic };
  Kind kind = kConstant;
  float a = 0;  // the constant sigma, or A of "A*ch + B" / "SQR(A * ch ^ 2 + B * ch + C)"
  float b = 0;
  float c = 0;
  float sigmaAt(int entry) const;  // NaN for a negative radicand
};

// A resolution answer read as the viewer reads it: false when the text is not a number.
bool ParseResolutionValue(std::string_view text, float& value);

enum class ShrinkResult {
  kShrunk,
  kUnchanged,    // A = B (= C) = 0: nothing to do, the spectrum stays
  kInvalid,      // sigma is not a number, 0 or negative for some channel: nothing changed
  kTooLarge,     // a new count does not fit 32 bits: nothing changed
  kInterrupted,  // stopped before its end (the viewer closed): nothing changed
};

// Two channel adding: entries 1+2, 3+4, ...; an odd last channel is dropped.
// `out` has round(n / 2) entries, halves to even (an odd count gives one entry more, 0).
ShrinkResult TwoChannelAdding(std::span<const std::int32_t> counts, std::vector<std::int32_t>& out);

// The Gaussian spreading: for every entry i, x from i - 3 sigma to i + 3 sigma in single-
// precision steps of 0.1f (the end included when reached), each sample
// round(count / (sigma x sqrt(6.283184)) x exp(-((x - i) / sigma)^2 / 2)) added to entry
// round(t + x - i), t = i / 2 rounded up. `progress(i)` is called after every source entry;
// once `stop` is set the spreading ends before the next entry (kInterrupted).
ShrinkResult GaussianShrink(std::span<const std::int32_t> counts, const Resolution& resolution,
                            std::vector<std::int32_t>& out,
                            const std::function<void(int)>& progress = {},
                            const std::atomic<bool>* stop = nullptr);

// The number of channels after a shrink: chNum div 2.
inline int ShrunkChannels(int chNum) {
  return chNum / 2;
}

}  // namespace durnix
