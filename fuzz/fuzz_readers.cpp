// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds any bytes to every reader and to detection; whatever a reader accepts is written by every
// writer and read back, which must give the spectrum the format keeps.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "formats/catalogue.h"
#include "formats/detection.h"
#include "support/format_traits.h"

namespace {

using namespace durnix;

[[noreturn]] void fail(const char* what, const FormatInfo& format, Status status) {
  std::fprintf(stderr, "%s: %s (status %d)\n", what, std::string(format.displayName).c_str(),
               status);
  std::abort();
}

void checkSpectrum(const SpectrumRecord& record, Status status, const FormatInfo& format) {
  if (record.Counts.size() != static_cast<std::size_t>(record.ChannelCount) ||
      (status != kDone && !record.Counts.empty())) {
    fail("inconsistent spectrum", format, status);
  }
}

void writeAndReadBack(const SpectrumRecord& read) {
  for (const FormatInfo& format : FormatCatalogue()) {
    if (!format.writable()) continue;
    SpectrumRecord written = read;
    written.FileName = "/fuzz/output." + std::string(format.extension);
    Bytes file;
    const Status status = format.encode(written, file);
    if (status == kDoesNotFit) continue;
    if (status != kDone) fail("writer status", format, status);
    SpectrumRecord back;
    back.FileName = written.FileName;
    const Status again = ParseFormat(format, file, back);
    if (again != kDone) fail("written file not read back", format, again);
    if (back.Counts != test::CountsAfterWriting(format.code, written.Counts)) {
      fail("counts changed", format, again);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ByteView bytes(reinterpret_cast<const char*>(data), size);
  for (const FormatInfo& format : FormatCatalogue()) {
    if (!format.readable()) continue;
    SpectrumRecord record;
    record.FileName = "/fuzz/input." + std::string(format.extension);
    const Status status = ParseFormat(format, bytes, record);
    if (status != kDone && status != kNotThisFormat && status != kOutOfMemory &&
        !(status == kPixeOrNra && format.code == FMT_RBS)) {
      fail("reader status", format, status);
    }
    checkSpectrum(record, status, format);
    if (status == kDone) writeAndReadBack(record);
  }
  SpectrumRecord detected;
  std::string name;
  const Status status = DetectAndRead(bytes, detected, name);
  checkSpectrum(detected, status, Format(FMT_AUTO));
  if ((status == kDone) == name.empty()) fail("detected name", Format(FMT_AUTO), status);
  return 0;
}
