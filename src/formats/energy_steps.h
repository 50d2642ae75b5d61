// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The energies of consecutive channels, offset + gain × channel, as the text formats write them:
// each exactly as printf "%.6f" writes the double that the two singles give (PutFixedSix).
//
// Where that double is the exact sum (the usual case: two singles and a channel below 2^29 fit
// in the double's 53 bits), the energy in millionths, times a power of two, climbs by the same
// whole number from one channel to the next. The steps are taken in integers, rounded as printf
// rounds (halves to the even millionth), and the decimal digits of the text are kept in two
// words that take each step by a decimal addition of all their digits at once: no conversion of
// a double, no division and no table per channel. Channels of a negative energy, a falling
// calibration and energies beyond ten digits before the point are written by PutFixedSix.

#include <cstdint>

namespace durnix {

__extension__ using Int128 = __int128;  // GCC's and Clang's, for the exact products

class EnergySteps {
 public:
  // The channels `first`, `first` + 1, ... of a calibration; `last` is the last one written.
  EnergySteps(float offset, float gain, long long first, long long last);

  // The energy of the next channel at `at`, which has room for its text and 8 bytes more (32 in
  // all below 10^15, 340 beyond); returns the end of the text.
  char* PutNext(char* at);

 private:
  // The energy in millionths, rounded.
  std::uint64_t millionths() const;
  void setDigits(std::uint64_t millionths);

  double offset_;
  double gain_;
  long long channel_;
  // The exact steps, where they apply. Below zero: the energy × 10^6 × 2^shift_ and its step per
  // channel. From zero on: the energy × 10^6 in its whole part and its rest (in units of 2^-64),
  // and the step the same way.
  bool exact_ = false;
  bool started_ = false;
  Int128 scaled_ = 0;
  Int128 step_ = 0;
  int shift_ = 0;
  std::uint64_t whole_ = 0;
  std::uint64_t rest_ = 0;
  std::uint64_t stepWhole_ = 0;
  std::uint64_t stepRest_ = 0;
  // The energy in millionths, rounded, its decimal digits (the lowest eight and the next eight,
  // one digit a byte, the digit of 10^k in byte k) and how many digits it has (at least 7:
  // "0.000000").
  std::uint64_t millionths_ = 0;
  std::uint64_t low_ = 0;
  std::uint64_t high_ = 0;
  int digits_ = 7;
  std::uint64_t nextPower_ = 10000000;
  // The rounded step is stepWhole_ or one more: the digits of the two.
  std::uint64_t floorDigits_ = 0;
  std::uint64_t ceilingDigits_ = 0;
};

}  // namespace durnix
