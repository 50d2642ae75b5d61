// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Decimal numbers kept as words of eight digits, one digit (0 to 9) a byte, the digit of 10^k in
// byte k: a number that grows by the same steps line after line (a channel, an energy) takes each
// step as one addition over all its digits, and its text is the word turned round, without a
// division per digit.

#include <bit>
#include <cstdint>
#include <cstring>

namespace durnix::decimal_words {

inline constexpr std::uint64_t kOnes = 0x0101010101010101ULL;

// a + b over eight decimal digits a byte each (digits 0 to 9): every byte
// is first raised by 246, so a byte whose sum reaches 10 carries into the next one as the binary
// addition goes; bytes that did not carry give the 246 back. `carry` is the carry out of the
// highest digit.
inline std::uint64_t AddDigits(std::uint64_t a, std::uint64_t b, bool& carry) {
  const std::uint64_t raised = a + 0xF6 * kOnes;
  const std::uint64_t sum = raised + b;
  carry = sum < raised;
  // The carry into byte k + 1 is bit 8(k + 1) of raised ^ b ^ sum: moved to bit 8k, the carry out
  // of byte k.
  const std::uint64_t carriedOut =
      ((raised ^ b ^ sum) >> 8) | (static_cast<std::uint64_t>(carry) << 56);
  return sum - (~carriedOut & kOnes) * 0xF6;
}

// The eight lowest decimal digits of `value`, the digit of 10^k in byte k.
inline std::uint64_t DigitsOf(std::uint64_t value) {
  std::uint64_t digits = 0;
  for (int k = 0; k < 8; ++k, value /= 10) digits |= (value % 10) << (8 * k);
  return digits;
}

// The digits in the order of text, '0' to '9', the highest digit in the lowest byte.
inline std::uint64_t TextOf(std::uint64_t digits) {
  if constexpr (std::endian::native == std::endian::little) digits = __builtin_bswap64(digits);
  return digits + 0x30 * kOnes;
}

// The eight bytes of a text word at `at`.
inline void Store(char* at, std::uint64_t text) {
  if constexpr (std::endian::native == std::endian::big) text = __builtin_bswap64(text);
  std::memcpy(at, &text, 8);
}

}  // namespace durnix::decimal_words
