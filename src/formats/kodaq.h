// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// KODAQ (SPC): a 128-byte header of text items, then int16 channels.

#include "formats/byte_io.h"
#include "formats/file_system.h"
#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix {

inline constexpr int kKodaqMinChannels = 256;
inline constexpr int kKodaqMaxChannels = 8192;

// Fills KodaqId, SpecId, AcqDate, AcqTime, KodaqMem (untrimmed) and the spectrum; the memory
// item must begin with "MEM" in any letter case. Returns 0, 1, 7; the file form also 53.
Status ReadKodaq(ByteView bytes, SpectrumRecord& record);
FileResult ReadKodaq(SpectrumRecord& record, FileSystem& files);

// The identification and memory items come from the record when its KodaqMem begins with
// "MEM" (it was read from a KODAQ file); otherwise they are four zero bytes and "MEM1".
// Returns 0, 6 (a channel count outside 256..8192, a count outside 16 bits, writing failed),
// 7, 71.
Status EncodeKodaq(const SpectrumRecord& record, Bytes& out);
FileResult WriteKodaq(SpectrumRecord& record, FileSystem& files);

}  // namespace durnix
