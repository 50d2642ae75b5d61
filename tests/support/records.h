// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "formats/spectrum_record.h"

namespace durnix::test {

// A record holding `counts` and nothing else.
SpectrumRecord RecordWithCounts(std::vector<std::int32_t> counts);

// `n` channels of a smooth, made-up spectrum.
std::vector<std::int32_t> SmoothCounts(int n);

}  // namespace durnix::test
