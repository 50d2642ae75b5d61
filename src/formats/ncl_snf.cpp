// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/ncl_snf.h"

#include "formats/reader_support.h"
#include "formats/text_rules.h"

namespace durnix {

namespace {

// Singles from 2^31 on read back as counts beyond 32 bits.
constexpr float kSingleCountLimit = 2147483648.0f;

bool namedSnf(const std::string& fileName) {
  return fileName.size() >= 3 && UpperAscii(fileName.substr(fileName.size() - 3)) == "SNF";
}

Status parseNcl(ByteView bytes, SpectrumRecord& record) {
  if (namedSnf(record.FileName) || bytes.size() != kNclFileBytes) return kNotThisFormat;
  detail::ReadInt32Counts(bytes, 0, kNclChannels, record.Counts);
  for (std::int32_t count : record.Counts) {
    if (count < 0) return kNotThisFormat;
  }
  record.ChannelCount = kNclChannels;
  return kDone;
}

Status parseSnf(ByteView bytes, SpectrumRecord& record) {
  if (bytes.size() != kNclFileBytes) return kNotThisFormat;
  record.Counts.resize(kNclChannels);
  for (std::size_t i = 0; i < kNclChannels; ++i) {
    if (!RoundToInt32(bytes::f32le(bytes, 4 * i), record.Counts[i]) || record.Counts[i] < 0) {
      return kNotThisFormat;
    }
  }
  record.ChannelCount = kNclChannels;
  return kDone;
}

// The counts a 1024-channel file holds: the first 1024, then zeros.
template <class Put>
Status encode(const SpectrumRecord& record, Bytes& out, Put&& put) {
  if (!detail::SpectrumIsConsistent(record)) return kDoesNotFit;
  out.clear();
  out.reserve(kNclFileBytes);
  ByteWriter w(out);
  for (int channel = 1; channel <= kNclChannels; ++channel) {
    const std::int32_t count = channel <= record.ChannelCount ? record.count(channel) : 0;
    if (count < 0 || !put(w, count)) return kDoesNotFit;
  }
  return kDone;
}

}  // namespace

Status ReadNcl(ByteView bytes, SpectrumRecord& record) {
  return detail::ReadTransaction(bytes, record, parseNcl);
}

FileResult ReadNcl(SpectrumRecord& record, FileSystem& files) {
  // An SNF file is refused by its name before it is opened.
  if (namedSnf(record.FileName)) {
    record.clearSpectrum();
    return {kNotThisFormat, 0};
  }
  return detail::ReadFile(files, record,
                          [](ByteView b, SpectrumRecord& r) { return ReadNcl(b, r); });
}

Status ReadSnf(ByteView bytes, SpectrumRecord& record) {
  return detail::ReadTransaction(bytes, record, parseSnf);
}

FileResult ReadSnf(SpectrumRecord& record, FileSystem& files) {
  return detail::ReadFile(files, record,
                          [](ByteView b, SpectrumRecord& r) { return ReadSnf(b, r); });
}

Status EncodeNcl(const SpectrumRecord& record, Bytes& out) {
  return encode(record, out, [](ByteWriter& w, std::int32_t count) {
    w.i32le(count);
    return true;
  });
}

Status EncodeSnf(const SpectrumRecord& record, Bytes& out) {
  return encode(record, out, [](ByteWriter& w, std::int32_t count) {
    const auto single = static_cast<float>(count);
    w.f32le(single);
    return single < kSingleCountLimit;
  });
}

FileResult WriteNcl(SpectrumRecord& record, FileSystem& files) {
  return detail::WriteFile(files, record, "NCL", ExtensionRule::kAfterFirstDot, EncodeNcl);
}

FileResult WriteSnf(SpectrumRecord& record, FileSystem& files) {
  return detail::WriteFile(files, record, "SNF", ExtensionRule::kAfterFirstDot, EncodeSnf);
}

}  // namespace durnix
