// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// ORTEC's ASCII spectrum (.Spe), as MAESTRO and GammaVision export it and gamma-analysis
// programs read it: sections headed by a line "$NAME:", among them $SPEC_ID (the
// identification), $DATE_MEA ("mm/dd/yyyy hh:mm:ss"), $MEAS_TIM ("live real", seconds), $DATA
// (the first and last channel, then one count per line) and $ENER_FIT / $MCA_CAL (the energy
// calibration: offset and keV per channel, and a quadratic term the record cannot hold).

#include <string>
#include <vector>

#include "formats/byte_io.h"
#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix {

inline constexpr int kSpeMaxChannels = 32767;

// True when the file's first line is "$SPEC_ID:": no other format starts so.
bool HasSpeSignature(ByteView bytes);

// Fills SpecId, AcqDate ("mm/dd/yyyy") and AcqTime, LiveTime and RealTime, StartCh (the first
// channel of $DATA), CalOffset and CalGain, and the spectrum. Returns 0, or 1 when the file has
// no $SPEC_ID and $DATA of 1 to 32767 channels whose counts are all there; 7 out of memory.
Status ReadSpe(ByteView bytes, SpectrumRecord& record);

// What a reader dropped because the record cannot hold it: the $MCA_CAL quadratic term, the
// $SPEC_REM lines, the $ROI list and other sections, each named once ("$ROI", "quadratic
// calibration term -6.86613e-10").
std::vector<std::string> SpeDropped(ByteView bytes);

// Writes $SPEC_ID, $DATE_MEA (when the record's date and time are recognised), $MEAS_TIM,
// $DATA, $ENER_FIT and $MCA_CAL (when calibrated), with CR LF line ends. Returns 0, or 6 for a
// spectrum of no channel, more than 32767 or counts below 0.
Status EncodeSpe(const SpectrumRecord& record, Bytes& out);

}  // namespace durnix
