// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/spm.h"

#include "formats/header512.h"

namespace durnix {

namespace {

using detail::kHeader512Bytes;
constexpr std::size_t kMarkAt = 3;
constexpr std::uint8_t kMark = 0xFF;

Status parse(ByteView bytes, SpectrumRecord& record) {
  if (bytes.size() < kHeader512Bytes || bytes::u8(bytes, kMarkAt) != kMark) return kNotThisFormat;
  const std::int16_t channels = detail::Header512Channels(bytes);
  if (channels < kSpmMinChannels || channels > kSpmMaxChannels) return kNotThisFormat;
  const std::size_t n = static_cast<std::size_t>(channels);
  if (bytes.size() < kHeader512Bytes + 4 * n) return kNotThisFormat;
  detail::ReadHeader512Tail(bytes, channels, record);
  record.SpecId = detail::TrimmedText(bytes, 8, 14);
  return kDone;
}

}  // namespace

Status ReadSpm(ByteView bytes, SpectrumRecord& record) {
  return detail::ReadTransaction(bytes, record, parse);
}

FileResult ReadSpm(SpectrumRecord& record, FileSystem& files) {
  return detail::ReadFile(files, record,
                          [](ByteView b, SpectrumRecord& r) { return ReadSpm(b, r); });
}

Status EncodeSpm(const SpectrumRecord& record, Bytes& out) {
  if (!detail::SpectrumIsConsistent(record) ||
      !detail::ChannelCountIn(record, kSpmMinChannels, kSpmMaxChannels)) {
    return kDoesNotFit;
  }
  out.clear();
  out.reserve(kHeader512Bytes + 4 * record.Counts.size());
  ByteWriter w(out);
  w.zeros(kMarkAt);
  w.u8(kMark);
  w.zeros(4);
  w.fixedText(record.SpecId, 14);
  return detail::WriteHeader512Tail(w, record);
}

FileResult WriteSpm(SpectrumRecord& record, FileSystem& files) {
  return detail::WriteFile(files, record, "SPM", ExtensionRule::kAfterFirstDot, EncodeSpm);
}

}  // namespace durnix
