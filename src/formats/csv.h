// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Comma-separated values for spreadsheets: a header line "Channel,Energy (keV),Counts" (or
// "Channel,Counts" for a spectrum without energy calibration), then one line for each channel,
// with CR LF line ends. The channel numbers count from the record's first channel, the energies
// follow its calibration (offset + keV per channel x channel).

#include <string>
#include <vector>

#include "formats/byte_io.h"
#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix {

inline constexpr int kCsvMaxChannels = 32767;

// True when the first line is such a header: "Channel", then optionally a column whose name
// begins "Energy", then "Counts", separated by commas (letter case and blanks around the names
// do not matter). No file of another format begins so.
bool HasCsvSignature(ByteView bytes);

// Fills StartCh (the first line's channel), CalOffset and CalGain (from the energies of the
// first and last channel) and the spectrum. Returns 0, or 1 when a line does not hold the
// header's columns, the channels do not follow each other, a count is not a whole number from 0,
// or there are no channels or more than 32767.
Status ReadCsv(ByteView bytes, SpectrumRecord& record);

// Names the energy column when its energies do not lie on one straight line over the channels
// (the record keeps only an offset and a gain).
std::vector<std::string> CsvDropped(ByteView bytes);

// Returns 0, or 6 for a spectrum of no channel, more than 32767 or counts below 0.
Status EncodeCsv(const SpectrumRecord& record, Bytes& out);

}  // namespace durnix
