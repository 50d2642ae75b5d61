// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// EG&G Maestro II (CHN): a 32-byte header, int32 channels and a 512-byte trailer holding the
// energy calibration.

#include "formats/byte_io.h"
#include "formats/file_system.h"
#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix {

inline constexpr int kChnMinChannels = 511;
inline constexpr int kChnMaxChannels = 16384;

// Fills AcqDate, AcqTime, RealTime, LiveTime, StartCh, CalGain (0 for a gain of exactly 1.0),
// CalOffset and the spectrum. Returns 0, 1, 7; the file form also 53.
Status ReadChn(ByteView bytes, SpectrumRecord& record);
FileResult ReadChn(SpectrumRecord& record, FileSystem& files);

// A gain of 0 is written, and left in the record, as 1.0. Returns 0, 6 (a channel count outside
// 511..16384, times or start channel that do not fit, writing failed), 7, 71.
Status EncodeChn(SpectrumRecord& record, Bytes& out);
FileResult WriteChn(SpectrumRecord& record, FileSystem& files);

}  // namespace durnix
