// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/records.h"

#include <cmath>

namespace durnix::test {

SpectrumRecord RecordWithCounts(std::vector<std::int32_t> counts) {
  SpectrumRecord record;
  record.ChannelCount = static_cast<std::int16_t>(counts.size());
  record.Counts = std::move(counts);
  return record;
}

std::vector<std::int32_t> SmoothCounts(int n) {
  std::vector<std::int32_t> counts;
  for (int i = 0; i < n; ++i) {
    const double x = static_cast<double>(i) / n;
    counts.push_back(static_cast<std::int32_t>(400 * std::exp(-x) +
                                               900 * std::exp(-std::pow((x - 0.7) * 30, 2))));
  }
  return counts;
}

}  // namespace durnix::test
