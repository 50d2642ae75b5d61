// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "formats/spectrum_record.h"

namespace durnix::test {

// A record holding `counts` and nothing else.
SpectrumRecord RecordWithCounts(std::vector<std::int32_t> counts);

// `n` channels of a smooth, made-up spectrum.
std::vector<std::int32_t> SmoothCounts(int n);

// The text fields a record maps to and from other programs' files, to compare or set in one go:
// SpecId, date, time of day, live time, real time.
inline auto Texts(SpectrumRecord& r) {
  return std::tie(r.SpecId, r.AcqDate, r.AcqTime, r.LiveTime, r.RealTime);
}

}  // namespace durnix::test
