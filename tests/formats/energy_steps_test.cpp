// SPDX-License-Identifier: GPL-3.0-or-later
// The energies of consecutive channels made by exact steps read as printf writes each one.
#include "formats/energy_steps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace durnix {
namespace {

struct Calibration {
  float offset;
  float gain;
  long long first;
  long long channels;
};

// Every channel's text against printf "%.6f" of the double the program computes, and nothing
// stored past the 8 bytes of room after the text.
void expectPrintfTexts(const Calibration& c) {
  EnergySteps energies(c.offset, c.gain, c.first, c.first + c.channels - 1);
  for (long long channel = c.first; channel < c.first + c.channels; ++channel) {
    char expected[400];
    std::snprintf(
        expected, sizeof expected, "%.6f",
        static_cast<double>(c.offset) + static_cast<double>(c.gain) * static_cast<double>(channel));
    char text[400];
    std::memset(text, '#', sizeof text);
    char* const end = energies.PutNext(text);
    ASSERT_EQ(std::string(text, end), expected)
        << "offset " << c.offset << " gain " << c.gain << " channel " << channel;
    if (std::strlen(expected) < 32) {
      const std::string after(end + 8, text + 40);
      ASSERT_EQ(after, std::string(after.size(), '#')) << expected;
    }
  }
}

TEST(EnergySteps, EveryChannelAsPrintfWritesIt) {
  const Calibration cases[] = {
      {-1.25f, 0.4888275f, 0, 16384},           // crosses zero, digits grow up to four
      {0.0f, 1.0f, 0, 2000},                    // whole keV: steps without a rest
      {0.0f, std::ldexp(1.0f, -20), 0, 16384},  // a half at channel 8192: to even
      {std::ldexp(1.0f, -21), std::ldexp(1.0f, -21), 0, 16384},
      {-0.035087f, 0.182804f, 0, 16384},
      {0.0f, 1e-7f, 0, 16384},        // steps of no millionth or one
      {99999.99f, 0.001f, 0, 16384},  // a half at once, 10^5 passed in the middle
      {999999.9f, 0.0625f, 5, 4000},
      {1e9f, 3.5f, 0, 16384},       // ten digits before the point
      {9.9e9f, 1000.0f, 0, 16384},  // beyond ten digits: the general way
      {-5e6f, 1234.5f, 0, 16384},   // long negative stretch
      {3.0f, 99.99f, 0, 16384},     // the largest steps
      {3.0f, 250.0f, 0, 1000},      // steps beyond 10^8 millionths: the general way
      {12.5f, -0.5f, 0, 1000},      // falling: the general way
      {0.0f, 1e-30f, 0, 100},       // a unit too fine for the steps
      {7.0f, 0.5f, 600000000, 10},  // channels beyond 2^29 are not stepped
  };
  for (const Calibration& c : cases) expectPrintfTexts(c);
  // Random singles of every size over short runs.
  std::uint64_t random = 88172645463325252ULL;
  auto next = [&random] {
    random ^= random << 13, random ^= random >> 7, random ^= random << 17;
    return random;
  };
  for (int i = 0; i < 400; ++i) {
    const float offset = static_cast<float>(static_cast<double>(next() % 2000001) - 1000000.0) *
                         std::ldexp(1.0f, static_cast<int>(next() % 30) - 20);
    const float gain = static_cast<float>(next() % 1000000 + 1) *
                       std::ldexp(1.0f, static_cast<int>(next() % 34) - 40);
    expectPrintfTexts({offset, gain, static_cast<long long>(next() % 1000), 300});
  }
}

}  // namespace
}  // namespace durnix
