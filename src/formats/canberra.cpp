// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/canberra.h"

#include "formats/header512.h"

namespace durnix {

namespace {

using detail::kHeader512Bytes;

Status parse(ByteView bytes, SpectrumRecord& record) {
  if (bytes.size() < kHeader512Bytes) return kNotThisFormat;
  const std::int16_t channels = detail::Header512Channels(bytes);
  if (channels < kCanberraMinChannels || channels > kCanberraMaxChannels) return kNotThisFormat;
  // Every file of this layout is exactly this long; other files that happen to hold a plausible
  // count at the same place are not CANBERRA files.
  const std::size_t n = static_cast<std::size_t>(channels);
  if (bytes.size() != kHeader512Bytes + 4 * n) return kNotThisFormat;
  detail::ReadHeader512Tail(bytes, channels, record);
  record.SpecId = detail::TrimmedText(bytes, 6, 16);
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

FileResult ReadCanberra(SpectrumRecord& record, FileSystem& files) {
  return detail::ReadFile(files, record,
                          [](ByteView b, SpectrumRecord& r) { return ReadCanberra(b, r); });
}

Status EncodeCanberra(const SpectrumRecord& record, Bytes& out) {
  if (!detail::SpectrumIsConsistent(record) ||
      !detail::ChannelCountIn(record, kCanberraMinChannels, kCanberraMaxChannels)) {
    return kDoesNotFit;
  }
  out.clear();
  out.reserve(kHeader512Bytes + 4 * record.Counts.size());
  ByteWriter w(out);
  w.zeros(6);
  w.fixedText(withoutTrailingBlanks(record.SpecId), 16);
  return detail::WriteHeader512Tail(w, record);
}

FileResult WriteCanberra(SpectrumRecord& record, FileSystem& files) {
  return detail::WriteFile(files, record, "MCA", ExtensionRule::kAfterFirstDot, EncodeCanberra);
}

}  // namespace durnix
