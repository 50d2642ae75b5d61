// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/sen.h"

#include "formats/reader_support.h"
#include "formats/text_rules.h"

namespace durnix {

namespace {

// Header offsets.
constexpr std::size_t kVersionAt = 4;
constexpr std::size_t kVersionWidth = 11;
constexpr std::size_t kSpecIdAt = 23;
constexpr std::size_t kDateAt = 103;
constexpr std::size_t kBeamAt = 183;
constexpr std::size_t kChargeAt = 187;
constexpr std::size_t kGainAt = 191;
constexpr std::size_t kOffsetAt = 195;
constexpr std::size_t kThetaAt = 199;
constexpr std::size_t kPhiAt = 203;
constexpr std::size_t kOmegaAt = 207;
constexpr std::size_t kCorrectionAt = 211;
constexpr std::size_t kLiveRealAt = 215;
constexpr std::size_t kFwhmAt = 299;
constexpr std::size_t kGeometryAt = 307;
constexpr std::size_t kAtomicNoAt = 309;
constexpr std::size_t kChannelsAt = 311;
constexpr std::size_t kTextWidth = 80;

constexpr std::int32_t kVersionMarker = 11 + 8;
constexpr std::int32_t kHeaderMarker = 290 + 8;
constexpr std::int32_t kDataMarker = 4 * kSenChannels + 8;

float orDefault(float value, float fallback) {
  return value == 0.0f ? fallback : value;
}

std::string joined(std::string_view first, std::string_view second) {
  return std::string(Trim(first)) + "/" + std::string(Trim(second));
}

Status parse(ByteView bytes, SpectrumRecord& record) {
  using namespace bytes;
  if (bytes.size() < kSenHeaderBytes) return kNotThisFormat;
  const std::int16_t channels = i16le(bytes, kChannelsAt);
  if (channels < 0) return kNotThisFormat;
  const std::size_t n = static_cast<std::size_t>(channels);
  if (bytes.size() < kSenHeaderBytes + 4 * n + 4) return kNotThisFormat;
  if (i32le(bytes, kSenHeaderBytes + 4 * n) != static_cast<std::int32_t>(4 * n + 8)) {
    return kNotThisFormat;
  }
  record.Counts.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    if (!RoundToInt32(f32le(bytes, kSenHeaderBytes + 4 * i), record.Counts[i])) {
      return kNotThisFormat;
    }
  }
  record.ChannelCount = channels;

  record.Version = std::string(bytes.substr(kVersionAt, kVersionWidth));
  record.SpecId = std::string(bytes.substr(kSpecIdAt, kTextWidth));
  SplitDateTime(bytes.substr(kDateAt, kTextWidth), record.AcqDate, record.AcqTime);
  const std::string_view liveReal = Trim(bytes.substr(kLiveRealAt, kTextWidth));
  SplitAtSlash(liveReal, record.LiveTime, record.RealTime);
  if (!liveReal.empty() && liveReal.find('/') == std::string_view::npos) record.RealTime = "0";
  record.BeamMeV = f32le(bytes, kBeamAt);
  record.ChargeUC = f32le(bytes, kChargeAt);
  record.CalGain = f32le(bytes, kGainAt);
  record.CalOffset = f32le(bytes, kOffsetAt);
  record.Theta = f32le(bytes, kThetaAt);
  record.Phi = f32le(bytes, kPhiAt);
  record.Omega = f32le(bytes, kOmegaAt);
  record.Correction = f32le(bytes, kCorrectionAt);
  record.Fwhm = f32le(bytes, kFwhmAt);
  record.Geometry = i16le(bytes, kGeometryAt);
  record.AtomicNo = i16le(bytes, kAtomicNoAt);
  return kDone;
}

}  // namespace

Status ReadSEN(ByteView bytes, SpectrumRecord& record) {
  return detail::ReadTransaction(bytes, record, parse);
}

FileResult ReadSEN(SpectrumRecord& record, FileSystem& files) {
  return detail::ReadFile(files, record,
                          [](ByteView b, SpectrumRecord& r) { return ReadSEN(b, r); });
}

Status EncodeSEN(const SpectrumRecord& record, Bytes& out) {
  if (!detail::SpectrumIsConsistent(record)) return kDoesNotFit;
  out.clear();
  out.reserve(kSenFileBytes);
  ByteWriter w(out);
  w.i32le(kVersionMarker);
  w.fixedText(record.Version.empty() ? std::string_view("VERSION 1.2") : record.Version,
              kVersionWidth);
  w.i32le(kVersionMarker);

  w.i32le(kHeaderMarker);
  w.fixedText(record.SpecId, kTextWidth);
  w.fixedText(joined(record.AcqDate, record.AcqTime), kTextWidth);
  w.f32le(orDefault(record.BeamMeV, 2.0f));
  w.f32le(orDefault(record.ChargeUC, 50.0f));
  w.f32le(orDefault(record.CalGain, 1.0f));
  w.f32le(record.CalOffset);
  w.f32le(record.Theta);
  w.f32le(orDefault(record.Phi, 135.0f));
  w.f32le(orDefault(record.Omega, 5.0f));
  w.f32le(orDefault(record.Correction, 1.0f));
  w.fixedText(joined(record.LiveTime, record.RealTime), kTextWidth);
  w.f32le(1.0f);
  w.f32le(record.Fwhm);
  w.i32le(0);
  w.i16le(record.Geometry == -1 ? std::int16_t{1} : record.Geometry);
  w.i16le(record.AtomicNo == 0 ? std::int16_t{1} : record.AtomicNo);
  w.i16le(static_cast<std::int16_t>(kSenChannels));
  w.i32le(kHeaderMarker);

  w.i32le(kDataMarker);
  for (int channel = 1; channel <= kSenChannels; ++channel) {
    const float count =
        channel <= record.ChannelCount ? static_cast<float>(record.count(channel)) : 0.0f;
    // Counts from 2147483520 on become singles of 2^31, beyond what a count can hold.
    if (count >= 2147483648.0f) return kDoesNotFit;
    w.f32le(count);
  }
  w.i32le(kDataMarker);
  return kDone;
}

FileResult WriteSEN(SpectrumRecord& record, FileSystem& files) {
  return detail::WriteFile(files, record, "SEN", ExtensionRule::kAfterFirstDot, EncodeSEN);
}

}  // namespace durnix
