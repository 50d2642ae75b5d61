// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/accuspec_mca.h"

#include <climits>
#include <cmath>

#include "formats/reader_support.h"
#include "formats/text_rules.h"

namespace durnix {

namespace {

// The header fields, as byte offsets. How each was found in the files:
// - 24, 34, 36, 38: the data offset (1024), the bytes per channel (4), the channel count (the
//   file is 1024 + 4 x that many bytes) and a word that is always 1.
// - 48 and 56: 32-bit integers, live and real time in seconds. The real time equals the time
//   between the start stamp (80) and a second stamp of the same layout at 292, which the
//   analyser writes when it stops (55 s and 55 s; 41 s and 42 s, stamps kept to the second);
//   the live time is the smaller and falls further behind at the higher count rate.
// - 80, 82, 84: the start of the acquisition. 82 is the year; 84 is a 32-bit integer, the second
//   of the day (its high word is 1 from 18:12:16 on). The word at 80 is the day, but whether it
//   counts the days of the year or packs month and day is not settled by the files, so the date
//   is reported as dropped instead of being guessed.
// - 108, 112, 116: the energy calibration a0 + a1 x + a2 x^2 in keV, PDP-11 floats. With them
//   the strongest peak of the yttrium aluminium garnet spectrum lies within 0.2 keV of Y K-alpha.
constexpr std::size_t kHeaderBytes = 1024;
constexpr std::size_t kDataOffsetAt = 24;
constexpr std::size_t kBytesPerChannelAt = 34;
constexpr std::size_t kChannelsAt = 36;
constexpr std::size_t kOneAt = 38;
constexpr std::size_t kLiveAt = 48;
constexpr std::size_t kRealAt = 56;
constexpr std::size_t kStartDayAt = 80;
constexpr std::size_t kStartYearAt = 82;
constexpr std::size_t kStartSecondAt = 84;
constexpr std::size_t kOffsetAt = 108;
constexpr std::size_t kGainAt = 112;
constexpr std::size_t kQuadraticAt = 116;
constexpr std::uint32_t kSecondsPerDay = 86400;

// A 32-bit integer as the PDP-11 stores it: two little-endian words, the high one first.
std::uint32_t U32Pdp(ByteView bytes, std::size_t at) {
  return (static_cast<std::uint32_t>(bytes::u16le(bytes, at)) << 16) | bytes::u16le(bytes, at + 2);
}

// A PDP-11 (VAX F) float: in the word order of U32Pdp a sign bit, an 8-bit exponent biased by 128
// and 23 bits of a fraction whose leading 1 (worth 0.5) is not stored. An exponent of 0 is 0.
// Every such value lies within the range of a single.
double VaxF(ByteView bytes, std::size_t at) {
  const std::uint32_t bits = U32Pdp(bytes, at);
  const int exponent = static_cast<int>((bits >> 23) & 0xFF);
  if (exponent == 0) return 0;
  const double magnitude =
      std::ldexp(0.5 + static_cast<double>(bits & 0x7FFFFF) / 16777216.0, exponent - 128);
  return (bits >> 31) != 0 ? -magnitude : magnitude;
}

std::size_t ChannelsOf(ByteView bytes) {
  return bytes::u16le(bytes, kChannelsAt);
}

Status Parse(ByteView bytes, SpectrumRecord& record) {
  if (!HasAccuSpecSignature(bytes)) return kNotThisFormat;
  const std::size_t channels = ChannelsOf(bytes);
  record.Counts.resize(channels);
  for (std::size_t i = 0; i < channels; ++i) {
    const std::uint32_t count = U32Pdp(bytes, kHeaderBytes + 4 * i);
    if (count > static_cast<std::uint32_t>(INT32_MAX)) return kNotThisFormat;
    record.Counts[i] = static_cast<std::int32_t>(count);
  }
  record.ChannelCount = static_cast<std::int16_t>(channels);
  record.LiveTime = std::to_string(U32Pdp(bytes, kLiveAt));
  record.RealTime = std::to_string(U32Pdp(bytes, kRealAt));
  if (const std::uint32_t second = U32Pdp(bytes, kStartSecondAt); second < kSecondsPerDay) {
    record.AcqTime = ZeroPadded(second / 3600, 2) + ":" + ZeroPadded(second / 60 % 60, 2) + ":" +
                     ZeroPadded(second % 60, 2);
  }
  record.CalOffset = static_cast<float>(VaxF(bytes, kOffsetAt));
  record.CalGain = static_cast<float>(VaxF(bytes, kGainAt));
  return kDone;
}

}  // namespace

bool HasAccuSpecSignature(ByteView bytes) {
  using namespace bytes;
  if (bytes.size() < kHeaderBytes) return false;
  const std::size_t channels = ChannelsOf(bytes);
  return u16le(bytes, 0) == 0 && u16le(bytes, kDataOffsetAt) == kHeaderBytes &&
         u16le(bytes, kBytesPerChannelAt) == 4 && u16le(bytes, kOneAt) == 1 && channels >= 1 &&
         channels <= static_cast<std::size_t>(kAccuSpecMaxChannels) &&
         bytes.size() == kHeaderBytes + 4 * channels;
}

Status ReadAccuSpec(ByteView bytes, SpectrumRecord& record) {
  return detail::ReadTransaction(bytes, record, Parse);
}

std::vector<std::string> AccuSpecDropped(ByteView bytes) {
  std::vector<std::string> dropped;
  if (!HasAccuSpecSignature(bytes)) return dropped;
  if (const double quadratic = VaxF(bytes, kQuadraticAt); quadratic != 0) {
    dropped.push_back("quadratic calibration term " + SingleText(static_cast<float>(quadratic)));
  }
  const std::uint16_t day = bytes::u16le(bytes, kStartDayAt);
  const std::uint16_t year = bytes::u16le(bytes, kStartYearAt);
  if (day != 0 || year != 0) {
    dropped.push_back("start date (day word " + std::to_string(day) + ", year " +
                      std::to_string(year) + ")");
  }
  return dropped;
}

}  // namespace durnix
