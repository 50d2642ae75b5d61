// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// ASCII with channel (AS1): one line per channel, channel number and count.
// ASCII without channel (AS2): one count per line.
// Both allow comment lines ("REM..." or "'...") anywhere and hold 256 to 16384 channels.

#include <string_view>

#include "formats/byte_io.h"
#include "formats/file_system.h"
#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix {

inline constexpr int kAsciiMinChannels = 256;
inline constexpr int kAsciiMaxChannels = 16384;

// Readers fill Counts and ChannelCount only. Return 0, 1 (not this format or out of limits),
// 7 (out of memory); the file forms also 53 (cannot be opened).
Status ReadAS1(ByteView bytes, SpectrumRecord& record);
Status ReadAS2(ByteView bytes, SpectrumRecord& record);
FileResult ReadAS1(SpectrumRecord& record, FileSystem& files);
FileResult ReadAS2(SpectrumRecord& record, FileSystem& files);

// Writers take SpecId, AcqDate, AcqTime and the spectrum. Return 0, 6 (a channel count that the
// readers would reject, or writing failed), 7, 71 (cannot create).
Status EncodeAS1(const SpectrumRecord& record, Bytes& out);
Status EncodeAS2(const SpectrumRecord& record, Bytes& out);
FileResult WriteAS1(SpectrumRecord& record, FileSystem& files);
FileResult WriteAS2(SpectrumRecord& record, FileSystem& files);

// The quick looks that detection takes before trying the full readers: true when some data line
// holds a non-zero value (AS1: in its second column).
bool ScreenAS1(ByteView bytes);
bool ScreenAS2(ByteView bytes);

// True when the first data line holds two numbers side by side, the shape of an AS1 file.
bool HasAS1Shape(ByteView bytes);

}  // namespace durnix
