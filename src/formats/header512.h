// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The 512-byte header that CANBERRA and Old Oxford files share from offset 22 on: date, time,
// the channel count at 266 and int32 channels from 512. They differ in their first 22 bytes.

#include "formats/reader_support.h"

namespace durnix::detail {

inline constexpr std::size_t kHeader512Bytes = 512;
inline constexpr std::size_t kHeader512ChannelsAt = 266;

// The channel count of such a header.
inline std::int16_t Header512Channels(ByteView bytes) {
  return bytes::i16le(bytes, kHeader512ChannelsAt);
}

// Reads the counts, then the date and time (trimmed); the caller has checked the length.
inline void ReadHeader512Tail(ByteView bytes, std::int16_t channels, SpectrumRecord& record) {
  ReadInt32Counts(bytes, kHeader512Bytes, static_cast<std::size_t>(channels), record.Counts);
  record.ChannelCount = channels;
  record.AcqDate = TrimmedText(bytes, 22, 11);
  record.AcqTime = TrimmedText(bytes, 34, 11);
}

// Writes from offset 22 on, after the caller's first 22 bytes. Returns 0, or 5 when a field of
// the caller's ran past offset 22.
inline Status WriteHeader512Tail(ByteWriter& w, const SpectrumRecord& record) {
  w.padTo(22);
  w.fixedText(record.AcqDate, 11);
  w.zeros(1);
  w.fixedText(record.AcqTime, 11);
  w.padTo(kHeader512ChannelsAt);
  w.i16le(record.ChannelCount);
  w.padTo(kHeader512Bytes);
  WriteInt32Counts(w, record.Counts);
  return w.overran() ? kInternalFault : kDone;
}

}  // namespace durnix::detail
