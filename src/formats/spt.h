// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// New Oxford (SPT): tagged records, each a 6-byte header (tag, body length) and a body, from a
// fixed first record to an end record.

#include "formats/byte_io.h"
#include "formats/file_system.h"
#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix {

// Fills SpecId, AcqDate, AcqTime, CalGain, CalOffset, StartCh and the spectrum (none when the
// file has no channel record). Returns 0, 1 (a record of the wrong length or kind, a file that
// ends before its end record), 7; the file form also 53.
Status ReadSpt(ByteView bytes, SpectrumRecord& record);
FileResult ReadSpt(SpectrumRecord& record, FileSystem& files);

// SpecId, AcqDate and AcqTime are trimmed in the record as they are written.
// Returns 0, 6 (a start channel beyond 16 bits, writing failed), 7, 71.
Status EncodeSpt(SpectrumRecord& record, Bytes& out);
FileResult WriteSpt(SpectrumRecord& record, FileSystem& files);

}  // namespace durnix
