// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/detection.h"

#include "formats/ascii.h"
#include "formats/catalogue.h"
#include "formats/ortec_spe.h"

namespace durnix {

Status DetectAndRead(ByteView bytes, SpectrumRecord& record, std::string& detectedName) {
  detectedName.clear();
  // A file of another program whose first line is certain is read as that format before the
  // thirteen, whose ASCII screens would take almost any text; none of the thirteen begins so.
  if (HasSpeSignature(bytes)) {
    const FormatInfo& spe = Format(FMT_SPE);
    if (spe.parse(bytes, record) == kDone) {
      detectedName = spe.displayName;
      return kDone;
    }
  }
  for (const FormatInfo& format : FormatCatalogue()) {
    if (!format.readable() || format.code == FMT_SPE) continue;
    // Almost any text would pass as ASCII: a quick look at the lines comes first.
    if (format.code == FMT_AS1 && !ScreenAS1(bytes)) continue;
    // Lines of two numbers are AS1 lines: read as AS2 they would give the channel numbers for
    // counts, so a file of that shape that AS1 refused is of no format.
    if (format.code == FMT_AS2 && (HasAS1Shape(bytes) || !ScreenAS2(bytes))) continue;
    const Status status = format.parse(bytes, record);
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
                         Bytes& buffer) {
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
  return {DetectAndRead(ByteView(buffer), record, detectedName), 0};
}

FileResult DetectAndRead(SpectrumRecord& record, std::string& detectedName, FileSystem& files) {
  Bytes buffer;
  return DetectAndRead(files, record, detectedName, buffer);
}

}  // namespace durnix
