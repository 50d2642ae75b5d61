// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/kodaq.h"

#include <limits>

#include "formats/reader_support.h"
#include "formats/text_rules.h"

namespace durnix {

namespace {

constexpr std::size_t kHeaderBytes = 128;

bool isMemoryItem(std::string_view item) {
  return item.size() >= 3 && UpperAscii(item.substr(0, 3)) == "MEM";
}

Status parse(ByteView bytes, SpectrumRecord& record) {
  if (bytes.size() < kHeaderBytes) return kNotThisFormat;
  std::int16_t channels = 0;
  if (!RoundToInt16(NumericPrefix(bytes.substr(24, 4)), channels) || channels < kKodaqMinChannels ||
      channels > kKodaqMaxChannels) {
    return kNotThisFormat;
  }
  const std::size_t n = static_cast<std::size_t>(channels);
  if (bytes.size() < kHeaderBytes + 2 * n) return kNotThisFormat;
  const ByteView memory = bytes.substr(49, 4);
  if (!isMemoryItem(memory)) return kNotThisFormat;
  record.Counts.resize(n);
  for (std::size_t i = 0; i < n; ++i) record.Counts[i] = bytes::i16le(bytes, kHeaderBytes + 2 * i);
  record.ChannelCount = channels;
  record.KodaqId = std::string(bytes.substr(0, 4));
  record.SpecId = std::string(bytes.substr(4, 12));
  record.AcqDate = std::string(bytes.substr(29, 7));
  record.AcqTime = std::string(bytes.substr(41, 8));
  record.KodaqMem = std::string(memory);
  return kDone;
}

}  // namespace

Status ReadKodaq(ByteView bytes, SpectrumRecord& record) {
  return detail::ReadTransaction(bytes, record, parse);
}

FileResult ReadKodaq(SpectrumRecord& record, FileSystem& files) {
  return detail::ReadFile(files, record,
                          [](ByteView b, SpectrumRecord& r) { return ReadKodaq(b, r); });
}

Status EncodeKodaq(const SpectrumRecord& record, Bytes& out) {
  if (!detail::SpectrumIsConsistent(record) ||
      !detail::ChannelCountIn(record, kKodaqMinChannels, kKodaqMaxChannels)) {
    return kDoesNotFit;
  }
  for (std::int32_t count : record.Counts) {
    if (count < std::numeric_limits<std::int16_t>::min() ||
        count > std::numeric_limits<std::int16_t>::max()) {
      return kDoesNotFit;
    }
  }
  out.clear();
  out.reserve(kHeaderBytes + 2 * record.Counts.size());
  ByteWriter w(out);
  // A spectrum from another format gets items that a KODAQ reader accepts.
  if (isMemoryItem(record.KodaqMem)) {
    w.fixedText(record.KodaqId, 4);
  } else {
    w.zeros(4);
  }
  w.fixedText(record.SpecId, 12);
  w.zeros(8);
  w.fixedText(std::to_string(record.ChannelCount), 4);
  w.zeros(1);
  w.fixedText(record.AcqDate, 7);
  w.zeros(5);
  w.fixedText(record.AcqTime, 8);
  w.fixedText(isMemoryItem(record.KodaqMem) ? std::string_view(record.KodaqMem) : "MEM1", 4);
  w.zeros(9);
  w.text("ADC");
  w.padTo(kHeaderBytes);
  for (std::int32_t count : record.Counts) w.i16le(static_cast<std::int16_t>(count));
  return w.overran() ? kInternalFault : kDone;
}

FileResult WriteKodaq(SpectrumRecord& record, FileSystem& files) {
  return detail::WriteFile(files, record, "SPC", ExtensionRule::kAfterFirstDot, EncodeKodaq);
}

}  // namespace durnix
