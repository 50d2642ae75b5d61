// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// IEC 61455 spectra (.IEC), as gamma-analysis programs exchange them: lines of 68 characters,
// each beginning "A004". The header is 58 lines: the second holds the live and real time
// (seconds) and the channel count, the third the date and time the measurement started
// ("mm/dd/yy hh:mm:ss") and a second date, the fourth the energy calibration (four terms of a
// polynomial in the channel, keV), the fifth the FWHM calibration, the sixth to tenth the sample
// description, then tables of calibration points. After the header, each line holds a channel
// number (from 0) and the counts of that channel and the four after it; the last line is filled
// up with zeros.

#include <string>
#include <vector>

#include "formats/byte_io.h"
#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix {

inline constexpr int kIecMaxChannels = 32767;

// True when the file's first three lines begin "A004": no file of another format begins so.
bool HasIecSignature(ByteView bytes);

// Fills LiveTime and RealTime, AcqDate ("mm/dd/yyyy") and AcqTime ("hh:mm:ss"), CalOffset and
// CalGain (the first two terms), SpecId (the sample text lines, joined by blanks) and the
// spectrum. Returns 0, or 1 when a line does not begin "A004", the channel count is not 1 to
// 32767, or a count is missing, out of order or not a whole number from 0.
Status ReadIec(ByteView bytes, SpectrumRecord& record);

// What the reader drops: the quadratic and cubic calibration terms, the FWHM calibration, the
// calibration points and the second date, each when the file holds them.
std::vector<std::string> IecDropped(ByteView bytes);

// Writes the 58 header lines and the counts, with CR LF line ends. Returns 0, or 6 for a
// spectrum of no channel, more than 32767 or counts below 0.
Status EncodeIec(const SpectrumRecord& record, Bytes& out);

}  // namespace durnix
