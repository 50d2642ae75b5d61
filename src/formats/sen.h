// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// SENRAS (SEN): three little-endian records framed by length markers: a version text, the
// experiment header and exactly 1024 channels stored as singles.

#include <cstddef>

#include "formats/byte_io.h"
#include "formats/file_system.h"
#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix {

inline constexpr int kSenChannels = 1024;
inline constexpr std::size_t kSenHeaderBytes = 321;
inline constexpr std::size_t kSenFileBytes = kSenHeaderBytes + 4 * kSenChannels + 4;  // 4421

// Returns 0, 1 (short file, wrong trailing marker, a count that does not fit), 7; the file form
// also 53.
Status ReadSEN(ByteView bytes, SpectrumRecord& record);
FileResult ReadSEN(SpectrumRecord& record, FileSystem& files);

// Writes 1024 channels whatever the spectrum holds (cut or padded with zeros) and substitutes the
// format's defaults for header values of 0. Returns 0, 6 (a count that would read back beyond
// 32 bits, writing failed), 7, 71.
Status EncodeSEN(const SpectrumRecord& record, Bytes& out);
FileResult WriteSEN(SpectrumRecord& record, FileSystem& files);

}  // namespace durnix
