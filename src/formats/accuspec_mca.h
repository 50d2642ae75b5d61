// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Canberra AccuSpec (MCA): a 1024-byte header of 16-bit little-endian words, then one 4-byte count
// per channel. The numbers keep the PDP-11 layout of Canberra's older analysers: a 32-bit integer
// is two such words, the high one first, and the energy calibration is three PDP-11 (VAX F)
// floats. The header holds the channel count, the live and real times, the start of the
// acquisition (a day word, the year and the second of the day) and the calibration terms.

#include <string>
#include <vector>

#include "formats/byte_io.h"
#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix {

inline constexpr int kAccuSpecMaxChannels = 32767;

// True when the file is exactly 1024 + 4 x channels bytes long and its header words say so:
// word 0 is 0, the data offset (byte 24) is 1024, the bytes per channel (34) are 4, the channel
// count (36) is 1 to 32767 and the word at 38 is 1.
bool HasAccuSpecSignature(ByteView bytes);

// Fills the spectrum, LiveTime and RealTime (whole seconds), AcqTime ("hh:mm:ss", when the second
// of the day is below 86400), CalOffset and CalGain (keV per channel). The start date is not read:
// the meaning of its day word is not known. Returns 0, or 1 when the signature fails or a count
// lies above 2147483647; 7 out of memory.
Status ReadAccuSpec(ByteView bytes, SpectrumRecord& record);

// What the record cannot hold: the quadratic calibration term when it is not 0 ("quadratic
// calibration term 5.684e-08") and the start date as its two words ("start date (day word 82,
// year 2004)"). Empty for a file without the signature.
std::vector<std::string> AccuSpecDropped(ByteView bytes);

}  // namespace durnix
