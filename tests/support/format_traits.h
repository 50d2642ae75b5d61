// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What each format keeps of a spectrum written to it, as its reader gives it back.

#include <cmath>
#include <cstdint>
#include <vector>

#include "formats/catalogue.h"

namespace durnix::test {

// The counts that reading back a file of `format` gives for a spectrum of `counts`.
inline std::vector<std::int32_t> CountsAfterWriting(FormatCode format,
                                                    const std::vector<std::int32_t>& counts) {
  std::vector<std::int32_t> back = counts;
  switch (format) {
    case FMT_SEN:
    case FMT_NCL:
    case FMT_SNF:
      // Exactly 1024 channels; SENRAS and Hypra keep them as singles.
      back.resize(1024, 0);
      if (format != FMT_NCL) {
        for (std::int32_t& c : back)
          c = static_cast<std::int32_t>(std::nearbyint(static_cast<float>(c)));
      }
      break;
    case FMT_GV_SPC:
      // Whole records of 32 channels.
      back.resize((counts.size() + 31) / 32 * 32, 0);
      break;
    default:
      break;
  }
  return back;
}

}  // namespace durnix::test
