// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/spm.h"

#include "formats/reader_support.h"

namespace durnix {

namespace {

constexpr std::size_t kHeaderBytes = 512;
constexpr std::size_t kMarkAt = 3;
constexpr std::uint8_t kMark = 0xFF;
constexpr std::size_t kChannelsAt = 266;

Status parse(ByteView bytes, SpectrumRecord& record) {
  if (bytes.size() < kHeaderBytes || bytes::u8(bytes, kMarkAt) != kMark) return kNotThisFormat;
  const std::int16_t channels = bytes::i16le(bytes, kChannelsAt);
  if (channels < kSpmMinChannels || channels > kSpmMaxChannels) return kNotThisFormat;
  const std::size_t n = static_cast<std::size_t>(channels);
  if (bytes.size() < kHeaderBytes + 4 * n) return kNotThisFormat;
  detail::ReadInt32Counts(bytes, kHeaderBytes, n, record.Counts);
  record.ChannelCount = channels;
  record.SpecId = detail::TrimmedText(bytes, 8, 14);
  record.AcqDate = detail::TrimmedText(bytes, 22, 11);
  record.AcqTime = detail::TrimmedText(bytes, 34, 11);
  return kDone;
}

}  // namespace

Status ReadSpm(ByteView bytes, SpectrumRecord& record) {
  return detail::ReadTransaction(bytes, record, parse);
}

Status ReadSpm(SpectrumRecord& record) {
  return detail::ReadFile(record, [](ByteView b, SpectrumRecord& r) { return ReadSpm(b, r); });
}

Status EncodeSpm(const SpectrumRecord& record, Bytes& out) {
  if (!detail::SpectrumIsConsistent(record) ||
      !detail::ChannelCountIn(record, kSpmMinChannels, kSpmMaxChannels)) {
    return kDoesNotFit;
  }
  out.clear();
  out.reserve(kHeaderBytes + 4 * record.Counts.size());
  ByteWriter w(out);
  w.zeros(kMarkAt);
  w.u8(kMark);
  w.zeros(4);
  w.fixedText(record.SpecId, 14);
  w.fixedText(record.AcqDate, 11);
  w.zeros(1);
  w.fixedText(record.AcqTime, 11);
  w.zeros(kChannelsAt - w.size());
  w.i16le(record.ChannelCount);
  w.zeros(kHeaderBytes - w.size());
  detail::WriteInt32Counts(w, record.Counts);
  return kDone;
}

Status WriteSpm(SpectrumRecord& record) {
  return detail::WriteFile(record, "SPM", ExtensionRule::kAfterFirstDot, EncodeSpm);
}

}  // namespace durnix
