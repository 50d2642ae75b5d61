// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/chn.h"

#include "formats/dates.h"
#include "formats/reader_support.h"
#include "formats/text_rules.h"

namespace durnix {

namespace {

constexpr std::size_t kHeaderBytes = 32;
constexpr std::size_t kTrailerBytes = 512;
constexpr std::size_t kTrailerRead = 12;  // code, reserved word, offset, gain
constexpr double kTicksPerSecond = 50;    // ticks of 20 ms

// "hh:mm:ss" from the header's pieces, without what is missing at its end.
std::string timeText(ByteView hhmm, ByteView ss) {
  std::string text;
  text.append(hhmm.substr(0, 2)).append(":").append(hhmm.substr(2, 2)).append(":").append(ss);
  while (text.size() > 1 && (text.back() == ':' || text.back() == '\0' || text.back() == ' ')) {
    text.pop_back();
  }
  if (text == ":" || text == "::") text.clear();
  return text;
}

Status parse(ByteView bytes, SpectrumRecord& record) {
  using namespace bytes;
  if (bytes.size() < kHeaderBytes || i16le(bytes, 0) != -1) return kNotThisFormat;
  const std::int16_t channels = i16le(bytes, 30);
  if (channels < kChnMinChannels || channels > kChnMaxChannels) return kNotThisFormat;
  const std::size_t n = static_cast<std::size_t>(channels);
  const std::size_t trailer = kHeaderBytes + 4 * n;
  if (bytes.size() < trailer + kTrailerRead) return kNotThisFormat;

  record.ChannelCount = channels;
  record.AcqDate = std::string(bytes.substr(16, 7));
  record.AcqTime = timeText(bytes.substr(24, 4), bytes.substr(6, 2));
  record.RealTime = DecimalText(i32le(bytes, 8) / kTicksPerSecond);
  record.LiveTime = DecimalText(i32le(bytes, 12) / kTicksPerSecond);
  record.StartCh = i16le(bytes, 28);
  detail::ReadInt32Counts(bytes, kHeaderBytes, n, record.Counts);
  record.CalOffset = f32le(bytes, trailer + 4);
  record.CalGain = f32le(bytes, trailer + 8);
  if (record.CalGain == 1.0f) record.CalGain = 0;  // the mark of an uncalibrated spectrum
  return kDone;
}

bool ticks(std::string_view seconds, std::int32_t& out) {
  return RoundToInt32(NumericPrefix(seconds) * kTicksPerSecond, out);
}

std::string twoDigits(int value) {
  return ZeroPadded(value % 100, 2);
}

}  // namespace

Status ReadChn(ByteView bytes, SpectrumRecord& record) {
  return detail::ReadTransaction(bytes, record, parse);
}

FileResult ReadChn(SpectrumRecord& record, FileSystem& files) {
  return detail::ReadFile(files, record,
                          [](ByteView b, SpectrumRecord& r) { return ReadChn(b, r); });
}

Status EncodeChn(SpectrumRecord& record, Bytes& out) {
  std::int32_t realTicks = 0, liveTicks = 0;
  std::int16_t startChannel = 0;
  if (!detail::SpectrumIsConsistent(record) ||
      !detail::ChannelCountIn(record, kChnMinChannels, kChnMaxChannels) ||
      !ticks(record.RealTime, realTicks) || !ticks(record.LiveTime, liveTicks) ||
      !RoundToInt16(record.StartCh, startChannel)) {
    return kDoesNotFit;
  }
  if (record.CalGain == 0) record.CalGain = 1.0f;

  // Maestro writes the date as "06Dec26" with a century byte of "1" from the year 2000 on.
  std::string date = record.AcqDate;
  char century = '\0';
  if (const auto civil = RecogniseDate(record.AcqDate)) {
    date = twoDigits(civil->day) + MonthAbbreviation(civil->month, false) + twoDigits(civil->year);
    if (civil->year >= 2000) century = '1';
  }
  std::string hhmm = record.AcqTime;
  std::string seconds = record.AcqTime;
  if (const auto clock = RecogniseTime(record.AcqTime)) {
    hhmm = twoDigits(clock->hour) + twoDigits(clock->minute);
    seconds = twoDigits(clock->second);
  }
  if (record.AcqTime.size() == 6) seconds = std::string(2, '\0');

  out.clear();
  out.reserve(kHeaderBytes + 4 * record.Counts.size() + kTrailerBytes);
  ByteWriter w(out);
  w.i16le(-1);
  w.i16le(1);  // MCA number
  w.i16le(1);  // segment number
  w.fixedText(seconds, 2);
  w.i32le(realTicks);
  w.i32le(liveTicks);
  w.fixedText(date, 7);
  w.u8(static_cast<std::uint8_t>(century));
  w.fixedText(hhmm, 4);
  w.i16le(startChannel);
  w.i16le(record.ChannelCount);
  detail::WriteInt32Counts(w, record.Counts);
  w.i16le(-101);
  w.i16le(0);
  w.f32le(record.CalOffset);
  w.f32le(record.CalGain);
  w.zeros(kTrailerBytes - kTrailerRead);
  return kDone;
}

FileResult WriteChn(SpectrumRecord& record, FileSystem& files) {
  return detail::WriteFile(files, record, "CHN", ExtensionRule::kAfterFirstDot, EncodeChn);
}

}  // namespace durnix
