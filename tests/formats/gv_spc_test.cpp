// SPDX-License-Identifier: GPL-3.0-or-later
// The GammaVision layout is pinned by the golden corpus (tests/data/gvspc and the conversions to
// GVSPC); these cases name the header offsets at which a file stops being GammaVision.
#include "formats/gv_spc.h"

#include <gtest/gtest.h>

#include <vector>

#include "formats/byte_io.h"

namespace durnix {
namespace {

void putI16(Bytes& file, std::size_t at, std::int16_t value) {
  Bytes b;
  ByteWriter(b).i16le(value);
  file.replace(at, 2, b);
}

// A file laid out as GammaVision itself writes it: record 2 an extension header, acquisition
// details in record 3, the sample description in record 4, calibration in record 6, data from
// record 22.
Bytes realLayout() {
  Bytes file(21 * 128 + 4 * 256, '\0');
  const std::pair<std::size_t, std::int16_t> fields[] = {
      {0, 1}, {2, 1}, {8, 3}, {10, 4}, {34, 6}, {60, 22}, {62, 8}, {64, 256}, {128, 111}};
  for (const auto& [at, value] : fields) putI16(file, at, value);
  file.replace(256 + 16, 22, "17-SEP-121  13:41:07  ");
  file.replace(384, 128, "Alcatraz14" + std::string(118, ' '));
  return file;
}

TEST(GvSpcReader, HeaderFieldsThatBreakTheLayout) {
  const Bytes file = realLayout();
  SpectrumRecord record;
  ASSERT_EQ(ReadGvSpc(file, record), kDone);
  EXPECT_EQ(record.SpecId, "Alcatraz14");
  // Record numbers of the acquisition, description, calibration and first data records:
  // 0, beyond the file, or beyond the 256 records that 16-bit positions reach; then the
  // information type, data type, data records for the channels and channel counts.
  std::vector<std::pair<std::size_t, std::int16_t>> breaks = {
      {0, 2}, {2, 2}, {62, 9}, {64, 254}, {64, 16416}};
  for (std::size_t at : {8u, 10u, 34u, 60u}) {
    for (int value : {0, 30, 257}) breaks.emplace_back(at, static_cast<std::int16_t>(value));
  }
  for (const auto& [at, value] : breaks) {
    Bytes wrong = file;
    putI16(wrong, at, value);
    EXPECT_EQ(ReadGvSpc(wrong, record), kNotThisFormat) << at << " = " << value;
    EXPECT_TRUE(record.Counts.empty());
  }
  EXPECT_EQ(ReadGvSpc(file.substr(0, file.size() - 1), record), kNotThisFormat);
}

}  // namespace
}  // namespace durnix
