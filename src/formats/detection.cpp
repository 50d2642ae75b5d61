// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/detection.h"

#include "formats/ascii.h"
#include "formats/catalogue.h"
#include "formats/file_io.h"

namespace durnix {

Status DetectAndRead(ByteView bytes, SpectrumRecord& record, std::string& detectedName) {
  detectedName.clear();
  for (const FormatInfo& format : FormatCatalogue()) {
    if (!format.readable()) continue;
    // Almost any text would pass as ASCII: a quick look at the lines comes first.
    if (format.code == FMT_AS1 && !ScreenAS1(bytes)) continue;
    if (format.code == FMT_AS2 && !ScreenAS2(bytes)) continue;
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

Status DetectAndRead(SpectrumRecord& record, std::string& detectedName) {
  detectedName.clear();
  Bytes bytes;
  const Status status = ReadFileBytes(record.FileName, bytes);
  if (status == kNotThisFormat) {
    // Too large for any format.
    record.clearSpectrum();
    return kUnknownFormat;
  }
  if (status != kDone) {
    record.clearSpectrum();
    return status;
  }
  return DetectAndRead(ByteView(bytes), record, detectedName);
}

}  // namespace durnix
