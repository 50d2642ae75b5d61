// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/energy_steps.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "formats/decimal_words.h"
#include "formats/text_rules.h"

namespace durnix {
namespace {

// A single as a whole number times a power of two.
void split(float value, long long& whole, int& exponent) {
  const double fraction = std::frexp(static_cast<double>(value), &exponent);
  whole = static_cast<long long>(std::ldexp(fraction, 24));  // a single's 24 bits: exact
  exponent -= 24;
}

// The bits of `value` below 2^shift (shift at most 62) as a fraction in units of 2^-64.
std::uint64_t restOf(Int128 value, int shift) {
  if (shift == 0) return 0;
  const std::uint64_t bits = static_cast<std::uint64_t>(value) & ((1ULL << shift) - 1);
  return bits << (64 - shift);
}

}  // namespace

EnergySteps::EnergySteps(float offset, float gain, long long first, long long last)
    : offset_(offset), gain_(gain), channel_(first) {
  if (!std::isfinite(offset) || !std::isfinite(gain) || !(gain > 0) || first < 0 || last < first ||
      last >= (1LL << 29)) {
    return;
  }
  long long offsetWhole = 0;
  long long gainWhole = 0;
  int offsetExponent = 0;
  int gainExponent = 0;
  split(offset, offsetWhole, offsetExponent);
  split(gain, gainWhole, gainExponent);
  if (offsetWhole == 0) offsetExponent = gainExponent;
  // Both as whole numbers of the finer one's unit 2^-shift_.
  const int finest = std::min(offsetExponent, gainExponent);
  shift_ = finest < 0 ? -finest : 0;
  if (shift_ > 62 || offsetExponent + shift_ > 60 || gainExponent + shift_ > 60) return;
  const Int128 offsetUnits = static_cast<Int128>(offsetWhole) << (offsetExponent + shift_);
  const Int128 gainUnits = static_cast<Int128>(gainWhole) << (gainExponent + shift_);
  // The double of the sum is the sum itself while it has at most 53 bits (the product of the
  // gain's 24 bits and a channel's 29 always fits): at both ends, and so between them.
  constexpr Int128 kExact = static_cast<Int128>(1) << 53;
  const Int128 lowest = offsetUnits + gainUnits * first;
  const Int128 highest = offsetUnits + gainUnits * last;
  if (lowest <= -kExact || highest >= kExact) return;
  scaled_ = lowest * 1000000;
  step_ = gainUnits * 1000000;
  // At most 16 digits of millionths (ten before the point), and steps below 10^8 - 1.
  if (highest * 1000000 >= static_cast<Int128>(10000000000000000LL) << shift_) return;
  if ((step_ >> shift_) + 1 >= 100000000) return;
  stepWhole_ = static_cast<std::uint64_t>(step_ >> shift_);
  stepRest_ = restOf(step_, shift_);
  floorDigits_ = decimal_words::DigitsOf(stepWhole_);
  ceilingDigits_ = decimal_words::DigitsOf(stepWhole_ + 1);
  exact_ = true;
}

std::uint64_t EnergySteps::millionths() const {
  // Rounded as printf rounds the exact value: halves to the even millionth. No jump, which would
  // go either way at random.
  constexpr std::uint64_t kHalf = 1ULL << 63;
  return whole_ + (static_cast<std::uint64_t>(rest_ > kHalf) |
                   (static_cast<std::uint64_t>(rest_ == kHalf) & whole_));
}

void EnergySteps::setDigits(std::uint64_t millionths) {
  millionths_ = millionths;
  low_ = decimal_words::DigitsOf(millionths % 100000000);
  high_ = decimal_words::DigitsOf(millionths / 100000000);
}

char* EnergySteps::PutNext(char* at) {
  const long long channel = channel_++;
  if (!exact_) return PutFixedSix(at, offset_ + gain_ * static_cast<double>(channel));
  if (started_) {
    const std::uint64_t rest = rest_ + stepRest_;
    whole_ += stepWhole_ + static_cast<std::uint64_t>(rest < rest_);
    rest_ = rest;
    const std::uint64_t millionths = this->millionths();
    const std::uint64_t beyondFloor = millionths - millionths_ - stepWhole_;
    if (beyondFloor <= 1) {
      millionths_ = millionths;
      bool carry = false;
      low_ =
          decimal_words::AddDigits(low_, beyondFloor == 0 ? floorDigits_ : ceilingDigits_, carry);
      if (carry) high_ = decimal_words::AddDigits(high_, 1, carry);
    } else {
      setDigits(millionths);  // a half that went down after one that went up
    }
  } else if (scaled_ >= 0) {
    started_ = true;
    whole_ = static_cast<std::uint64_t>(scaled_ >> shift_);
    rest_ = restOf(scaled_, shift_);
    setDigits(millionths());
  } else {
    scaled_ += step_;
    return PutFixedSix(at, offset_ + gain_ * static_cast<double>(channel));
  }
  while (millionths_ >= nextPower_) ++digits_, nextPower_ *= 10;
  // The digits before the point come from the high word's last ones and the low word's first
  // two; the six decimals are the low word's last six.
  const std::uint64_t lowText = decimal_words::TextOf(low_);
  int fromLow = digits_ - 6;
  if (fromLow > 2) {
    const int fromHigh = fromLow - 2;
    decimal_words::Store(at, decimal_words::TextOf(high_) >> (8 * (8 - fromHigh)));
    at += fromHigh;
    fromLow = 2;
  }
  decimal_words::Store(at, lowText >> (8 * (2 - fromLow)));
  at[fromLow] = '.';
  decimal_words::Store(at + fromLow + 1, lowText >> 16);
  return at + fromLow + 7;
}

}  // namespace durnix
