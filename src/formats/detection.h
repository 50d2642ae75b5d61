// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Automatic recognition of a file's format: each candidate's own reader is the test, tried in
// catalogue order; the first that reads the file wins and what it read stands.

#include <string>

#include "formats/byte_io.h"
#include "formats/file_system.h"
#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix {

// Reads the file named by record.FileName once (into `buffer`, whose memory is reused from one
// file to the next) and tries every candidate on its bytes.
// Returns 0 (detected and read; `detectedName` is the catalogue display name), 3 (an RBS file of
// PIXE or NRA data), 4 (no candidate accepted the file, or it is larger than any spectrum),
// 53 (the file cannot be opened or read), 7 (out of memory while reading the file); a failure
// of the file system comes with the system's error number.
// `detectedName` is empty unless the status is 0.
// `spectrum` (from 0) chooses among the spectra of a file that holds several.
FileResult DetectAndRead(FileSystem& files, SpectrumRecord& record, std::string& detectedName,
                         Bytes& buffer, std::size_t spectrum = 0);
FileResult DetectAndRead(SpectrumRecord& record, std::string& detectedName, FileSystem& files);

// The same on bytes already in memory.
Status DetectAndRead(ByteView bytes, SpectrumRecord& record, std::string& detectedName,
                     std::size_t spectrum = 0);

}  // namespace durnix
