// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// NUCLEUS (NCL) and Charles Evans Hypra (SNF): exactly 1024 channels and nothing else, as int32
// (NCL) or float32 (SNF) values; 4096 bytes.

#include "formats/byte_io.h"
#include "formats/file_system.h"
#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix {

inline constexpr int kNclChannels = 1024;
inline constexpr std::size_t kNclFileBytes = 4 * kNclChannels;

// The NCL reader refuses a file whose name ends in "snf" (an SNF file is never taken for NCL),
// so it looks at record.FileName. Both refuse negative counts.
// Return 0, 1, 7; the file forms also 53.
Status ReadNcl(ByteView bytes, SpectrumRecord& record);
FileResult ReadNcl(SpectrumRecord& record, FileSystem& files);
Status ReadSnf(ByteView bytes, SpectrumRecord& record);
FileResult ReadSnf(SpectrumRecord& record, FileSystem& files);

// The first 1024 channels, padded with zeros. Return 0, 6 (a negative count, a count beyond the
// singles' range, writing failed), 7, 71.
Status EncodeNcl(const SpectrumRecord& record, Bytes& out);
Status EncodeSnf(const SpectrumRecord& record, Bytes& out);
FileResult WriteNcl(SpectrumRecord& record, FileSystem& files);
FileResult WriteSnf(SpectrumRecord& record, FileSystem& files);

}  // namespace durnix
