// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// EG&G GammaVision (SPC): 128-byte records numbered from 1. The header (record 1) names the
// records that hold the acquisition details, the sample description, the calibration and the
// channel data.

#include "formats/byte_io.h"
#include "formats/file_system.h"
#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix {

inline constexpr int kGvMinChannels = 255;
inline constexpr int kGvMaxChannels = 16384;

// Fills SpecId, AcqDate, AcqTime, RealTime, LiveTime, StartCh, CalGain, CalOffset and the
// spectrum. Returns 0, 1 (a failed header check, a record outside the file), 7; file form 53.
Status ReadGvSpc(ByteView bytes, SpectrumRecord& record);
FileResult ReadGvSpc(SpectrumRecord& record, FileSystem& files);

// Channels up to the next multiple of 32 are written as zeros, so the file reads back.
// Returns 0, 6 (fewer than 255 or more than 16384 channels, a start channel beyond 16 bits,
// writing failed), 7, 71. Only the text after the name's last "." is replaced by "SPC".
Status EncodeGvSpc(const SpectrumRecord& record, Bytes& out);
FileResult WriteGvSpc(SpectrumRecord& record, FileSystem& files);

}  // namespace durnix
