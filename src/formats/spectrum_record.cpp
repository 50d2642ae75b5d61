// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/spectrum_record.h"

namespace durnix {

const char* GeometryText(std::int16_t geometry) {
  switch (geometry) {
    case 0:
      return "Cornell";
    case 1:
      return "IBM";
    default:
      return "No Geom";
  }
}

}  // namespace durnix
