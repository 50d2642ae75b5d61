// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/canberra.h"

#include "formats/reader_support.h"

namespace durnix {

namespace {

constexpr std::size_t kHeaderBytes = 512;
constexpr std::size_t kChannelsAt = 266;

Status parse(ByteView bytes, SpectrumRecord& record) {
  if (bytes.size() < kHeaderBytes) return kNotThisFormat;
  const std::int16_t channels = bytes::i16le(bytes, kChannelsAt);
  if (channels < kCanberraMinChannels || channels > kCanberraMaxChannels) return kNotThisFormat;
  // Every file of this layout is exactly this long; other files that happen to hold a plausible
  // count at the same place are not CANBERRA files.
  const std::size_t n = static_cast<std::size_t>(channels);
  if (bytes.size() != kHeaderBytes + 4 * n) return kNotThisFormat;
  detail::ReadInt32Counts(bytes, kHeaderBytes, n, record.Counts);
  record.ChannelCount = channels;
  record.SpecId = detail::TrimmedText(bytes, 6, 16);
  record.AcqDate = detail::TrimmedText(bytes, 22, 11);
  record.AcqTime = detail::TrimmedText(bytes, 34, 11);
  return kDone;
}

std::string_view withoutTrailingBlanks(std::string_view text) {
  const auto end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

}  // namespace

Status ReadCanberra(ByteView bytes, SpectrumRecord& record) {
  return detail::ReadTransaction(bytes, record, parse);
}

Status ReadCanberra(SpectrumRecord& record) {
  return detail::ReadFile(record,
                          [](ByteView b, SpectrumRecord& r) { return ReadCanberra(b, r); });
}

Status EncodeCanberra(const SpectrumRecord& record, Bytes& out) {
  if (!detail::SpectrumIsConsistent(record) ||
      !detail::ChannelCountIn(record, kCanberraMinChannels, kCanberraMaxChannels)) {
    return kDoesNotFit;
  }
  out.clear();
  out.reserve(kHeaderBytes + 4 * record.Counts.size());
  ByteWriter w(out);
  w.zeros(6);
  w.fixedText(withoutTrailingBlanks(record.SpecId), 16);
  w.fixedText(record.AcqDate, 11);
  w.zeros(1);
  w.fixedText(record.AcqTime, 11);
  w.zeros(kChannelsAt - w.size());
  w.i16le(record.ChannelCount);
  w.zeros(kHeaderBytes - w.size());
  detail::WriteInt32Counts(w, record.Counts);
  return kDone;
}

Status WriteCanberra(SpectrumRecord& record) {
  return detail::WriteFile(record, "MCA", ExtensionRule::kAfterFirstDot, EncodeCanberra);
}

}  // namespace durnix
