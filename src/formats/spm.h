// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Old Oxford (SPM or PCA): a 512-byte header marked by the byte 0xFF at offset 3, then int32
// channels.

#include "formats/byte_io.h"
#include "formats/file_system.h"
#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix {

inline constexpr int kSpmMinChannels = 256;
inline constexpr int kSpmMaxChannels = 8192;

// Fills SpecId, AcqDate, AcqTime (trimmed) and the spectrum. Returns 0, 1, 7; file form 53.
Status ReadSpm(ByteView bytes, SpectrumRecord& record);
FileResult ReadSpm(SpectrumRecord& record, FileSystem& files);

// Returns 0, 6 (a channel count outside 256..8192, writing failed), 7, 71.
Status EncodeSpm(const SpectrumRecord& record, Bytes& out);
FileResult WriteSpm(SpectrumRecord& record, FileSystem& files);

}  // namespace durnix
