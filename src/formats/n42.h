// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// ANSI N42.42-2011 documents: XML whose root element RadInstrumentData lies in the namespace
// http://physics.nist.gov/N42/2011/N42, as radiation detection instruments and spectroscopy
// programs write them. A document describes its instrument (RadInstrumentInformation), its
// detectors and energy calibrations (EnergyCalibration: the polynomial coefficients of the energy
// of a channel), and holds RadMeasurement elements, each with a StartDateTime, a RealTimeDuration
// and one or more Spectrum elements (a LiveTimeDuration and the counts in ChannelData, where a
// run of empty channels may be written as 0 and the number of channels it stands for).

#include <cstddef>
#include <string>
#include <vector>

#include "formats/byte_io.h"
#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix {

inline constexpr int kN42MaxChannels = 32767;

// True when the first start tag of the document (after a byte order mark, the XML declaration,
// comments and a document type declaration) is RadInstrumentData in the N42.42-2011 namespace,
// as the default namespace or under a prefix. Looks at the first 8 KiB only.
bool HasN42Signature(ByteView bytes);

// One line per spectrum, in document order: "RadMeasurement id=Foreground-1, Spectrum
// id=Foreground-1-Spectrum-1, 1024 channels, live 299.6 s". Empty when the bytes are no
// N42.42-2011 document.
std::vector<std::string> N42Spectra(ByteView bytes);

// Reads spectrum `index` (from 0, in the order of N42Spectra) into the record: SpecId (the
// measurement's Remark, else the spectrum's, else the instrument's model name), AcqDate
// ("mm/dd/yyyy") and AcqTime ("hh:mm:ss") of the StartDateTime as its local clock shows it,
// RealTime and LiveTime in seconds, CalOffset and CalGain of the spectrum's energy calibration,
// StartCh 0 and the counts. Fields the document lacks are left empty or 0. Returns 0; 1 when the
// bytes are no N42.42-2011 document, there is no such spectrum or its ChannelData is not 1 to
// 32767 whole counts from 0 to 2147483647; 7 out of memory.
Status ReadN42Spectrum(ByteView bytes, std::size_t index, SpectrumRecord& record);

// The first spectrum of the document.
Status ReadN42(ByteView bytes, SpectrumRecord& record);

// What the record cannot hold of spectrum `index`: the calibration's quadratic term ("quadratic
// calibration term 1.2e-07"), the other spectra of the file ("other measurements (3)"), and the
// elements of the document, the measurement and the spectrum that the reader does not map, each
// named once in document order ("RadDetectorInformation", "DoseRate"). Empty when there is no
// such spectrum.
std::vector<std::string> N42Dropped(ByteView bytes, std::size_t index);

// Writes a UTF-8 N42.42-2011 document of one measurement with one spectrum, indented by two
// blanks, with LF line ends: the instrument and detector named "Durnix" and "Other", the energy
// calibration when the record is calibrated, the SpecId as the measurement's Remark, the start
// (when the record's date is recognised), the real and live times and the counts. Bytes of the
// texts that are no UTF-8 are taken as Latin-1 characters; control characters become blanks.
// Returns 0, or 6 for a spectrum of no channel, more than 32767 or counts below 0.
Status EncodeN42(const SpectrumRecord& record, Bytes& out);

}  // namespace durnix
