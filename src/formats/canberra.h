// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// CANBERRA (SPC, written as .MCA): a 512-byte header with identifier, date, time and channel
// count, then int32 channels.

#include "formats/byte_io.h"
#include "formats/file_system.h"
#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix {

inline constexpr int kCanberraMinChannels = 256;
inline constexpr int kCanberraMaxChannels = 8192;

// Fills SpecId, AcqDate, AcqTime (trimmed) and the spectrum. The file must be exactly
// 512 + 4 x channels bytes long. Returns 0, 1, 7; the file form also 53.
Status ReadCanberra(ByteView bytes, SpectrumRecord& record);
FileResult ReadCanberra(SpectrumRecord& record, FileSystem& files);

// Returns 0, 6 (a channel count outside 256..8192, writing failed), 7, 71.
Status EncodeCanberra(const SpectrumRecord& record, Bytes& out);
FileResult WriteCanberra(SpectrumRecord& record, FileSystem& files);

}  // namespace durnix
