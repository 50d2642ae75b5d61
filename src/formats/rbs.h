// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// RUMP (RBS): the binary spectrum files of the RUMP analysis program. Big-endian records, each
// framed by a length word and a type word and closed by a check word; they carry the counts and
// the whole RUMP header (beam, calibration, geometry, charge).

#include <cstddef>

#include "formats/byte_io.h"
#include "formats/file_system.h"
#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix {

inline constexpr std::size_t kRbsMaxFileBytes = 1u << 20;
inline constexpr std::uint32_t kRbsMagic = 0x10211210;
// Channels in each data record the writer makes; every data record but the last holds this many.
inline constexpr int kRbsBlockChannels = 1024;

// Fills every field from SpecId to RumpComment that the file has records for.
// Returns 0, 1 (not an RBS file, a record too short or running past the end, an unknown data
// encoding, counts that do not fit), 3 (a PIXE or NRA file), 7; the file form also 53.
Status ReadRBS(ByteView bytes, SpectrumRecord& record);
FileResult ReadRBS(SpectrumRecord& record, FileSystem& files);

// Returns 0, 6 (a count that the difference coding cannot hold, or writing failed), 7, 71.
Status EncodeRBS(const SpectrumRecord& record, Bytes& out);
FileResult WriteRBS(SpectrumRecord& record, FileSystem& files);

// The check word that closes a record: the two's-complement negation of the sum of its other
// words, so that all words of a record sum to 0 modulo 2^32.
std::uint32_t RbsCheckWord(ByteView recordWithoutCheck);

// The version text of the bytes at file offsets 12 to 15 ("1.00" for 00 01 00 00).
std::string RbsVersionText(std::uint8_t b12, std::uint8_t b13, std::uint8_t b14, std::uint8_t b15);

}  // namespace durnix
