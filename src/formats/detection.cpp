// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/detection.h"

#include "formats/ascii.h"
#include "formats/catalogue.h"

namespace durnix {

Status DetectAndRead(ByteView bytes, SpectrumRecord& record, std::string& detectedName,
                     std::size_t spectrum) {
  detectedName.clear();
  // A file of another program whose signature is certain is read as that format before the
  // thirteen, whose ASCII screens would take almost any text; no file of theirs has one.
  for (const FormatInfo& format : FormatCatalogue()) {
    if (format.signature == nullptr || !format.readable() || !format.signature(bytes)) continue;
    // A damaged file of such a format, or one without the spectrum asked for, is of no other
    // format: the ASCII screens would take it for numbers.
    const Status status = ParseFormat(format, bytes, record, spectrum);
    if (status == kDone) detectedName = format.displayName;
    return status == kDone || status == kOutOfMemory ? status : kUnknownFormat;
  }
  for (const FormatInfo& format : FormatCatalogue()) {
    if (!format.readable() || format.signature != nullptr) continue;
    // Almost any text would pass as ASCII: a quick look at the lines comes first.
    if (format.code == FMT_AS1 && !ScreenAS1(bytes)) continue;
    // Lines of two numbers are AS1 lines: read as AS2 they would give the channel numbers for
    // counts, so a file of that shape that AS1 refused is of no format.
    if (format.code == FMT_AS2 && (HasAS1Shape(bytes) || !ScreenAS2(bytes))) continue;
    const Status status = ParseFormat(format, bytes, record, spectrum);
    if (status == kDone) {
      detectedName = format.displayName;
      return kDone;
    }
    if (status == kCannotOpen) return kCannotOpen;
    if (status == kPixeOrNra && format.code == FMT_RBS) return kPixeOrNra;
  }
  record.clearSpectrum();
  return kUnknownFormat;
}

FileResult DetectAndRead(FileSystem& files, SpectrumRecord& record, std::string& detectedName,
                         Bytes& buffer, std::size_t spectrum) {
  detectedName.clear();
  const FileResult status = files.ReadFile(record.FileName, buffer);
  if (status == kNotThisFormat) {
    // Too large for any format.
    record.clearSpectrum();
    return {kUnknownFormat, 0};
  }
  if (status != kDone) {
    record.clearSpectrum();
    return status;
  }
  return {DetectAndRead(ByteView(buffer), record, detectedName, spectrum), 0};
}

FileResult DetectAndRead(SpectrumRecord& record, std::string& detectedName, FileSystem& files) {
  Bytes buffer;
  return DetectAndRead(files, record, detectedName, buffer);
}

}  // namespace durnix
