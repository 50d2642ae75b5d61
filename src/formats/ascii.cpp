// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/ascii.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <vector>

#include "formats/reader_support.h"
#include "formats/text_rules.h"

namespace durnix {

namespace {

enum class Layout { kWithChannel, kWithoutChannel };

// The text of a file: old DOS files may be padded with NUL or end-of-file (Ctrl-Z) bytes.
// Returns false for bytes that cannot be text (a NUL inside).
bool textOf(ByteView bytes, std::string_view& text) {
  std::size_t end = bytes.size();
  while (end > 0 && (bytes[end - 1] == '\0' || bytes[end - 1] == '\x1A')) --end;
  text = bytes.substr(0, end);
  return text.find('\0') == std::string_view::npos;
}

bool isComment(std::string_view line) {
  if (line.empty() || line[0] == '\'') return true;
  const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
  return line.size() >= 3 && upper(line[0]) == 'R' && upper(line[1]) == 'E' &&
         upper(line[2]) == 'M';
}

// Whether `text` begins with a number (an optional sign, then a digit, or a point and a digit).
bool startsWithNumber(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  if (i < text.size() && text[i] == '.') ++i;
  return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

bool endsInDigit(std::string_view line) {
  return line.back() >= '0' && line.back() <= '9';
}

// The text after an AS1 line's first tab or space; false when the line has neither.
bool secondColumn(std::string_view line, std::string_view& value) {
  const auto separator = line.find_first_of(" \t");
  if (separator == std::string_view::npos) return false;
  value = line.substr(separator + 1);
  return true;
}

Status parse(ByteView bytes, SpectrumRecord& record, Layout layout) {
  std::string_view text;
  if (!textOf(bytes, text)) return kNotThisFormat;
  std::vector<std::int32_t> values;
  bool fits = true;
  ForEachLine(text, [&](std::string_view raw) {
    const std::string_view line = Trim(raw);
    if (isComment(line)) return true;
    std::string_view number = line;
    if (layout == Layout::kWithChannel) {
      if (!secondColumn(line, number)) return true;
    } else if (!endsInDigit(line)) {
      return fits = false;
    }
    std::int32_t value = 0;
    if (values.size() == kAsciiMaxChannels || !RoundToInt32(NumericPrefix(number), value)) {
      return fits = false;
    }
    values.push_back(value);
    return true;
  });
  if (!fits || values.size() < kAsciiMinChannels) return kNotThisFormat;
  record.ChannelCount = static_cast<std::int16_t>(values.size());
  record.Counts = std::move(values);
  return kDone;
}

bool screen(ByteView bytes, Layout layout) {
  bool passed = false;
  ForEachLine(bytes, [&](std::string_view raw) {
    const std::string_view line = Trim(raw);
    if (isComment(line)) return true;
    std::string_view number = line;
    if (layout == Layout::kWithChannel && !secondColumn(line, number)) return true;
    passed = NumericPrefix(number) != 0.0;
    return !passed;
  });
  return passed;
}

// A header text on one line: line breaks and NULs inside it would end the comment early or make
// the file unreadable as text, so they become blanks.
std::string oneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (c == '\r' || c == '\n' || c == '\0' || c == '\x1A') c = ' ';
  }
  return line;
}

// The end of a line for a count below 10000, the counts of most channels: the sign's blank,
// the digits and " \r\n", at most 8 bytes, stored in one step.
struct LineEnd {
  char text[8];
  std::uint8_t size;
};
constexpr std::int32_t kTabledCounts = 10000;

const std::vector<LineEnd>& LineEnds() {
  static const std::vector<LineEnd> ends = [] {
    std::vector<LineEnd> table(kTabledCounts);
    for (std::int32_t count = 0; count < kTabledCounts; ++count) {
      LineEnd& end = table[static_cast<std::size_t>(count)];
      std::memset(end.text, ' ', sizeof end.text);
      char* q = std::to_chars(end.text + 1, end.text + 5, count).ptr;
      *q++ = ' ';
      *q++ = '\r';
      *q++ = '\n';
      end.size = static_cast<std::uint8_t>(q - end.text);
    }
    return table;
  }();
  return ends;
}

// The first print zone of every line of a file with channels: the channel number after its
// sign's blank, padded with blanks. Copied whole for each line, it costs less than counting the
// number up in place, which the next line's copy would have to wait for.
const std::string& ChannelZones() {
  static const std::string zones = [] {
    std::string text(static_cast<std::size_t>(kAsciiMaxChannels) * PrintLine::kZoneWidth, ' ');
    for (int channel = 0; channel < kAsciiMaxChannels; ++channel) {
      char* zone = text.data() + static_cast<std::size_t>(channel) * PrintLine::kZoneWidth;
      std::to_chars(zone + 1, zone + PrintLine::kZoneWidth, channel);
    }
    return text;
  }();
  return zones;
}

Status encode(const SpectrumRecord& record, Bytes& out, Layout layout) {
  if (!detail::SpectrumIsConsistent(record) || record.ChannelCount < kAsciiMinChannels ||
      record.ChannelCount > kAsciiMaxChannels) {
    return kDoesNotFit;
  }
  std::string header;
  if (!record.SpecId.empty()) header += "REM " + oneLine(record.SpecId) + "\r\n";
  if (!record.AcqDate.empty()) header += "REM Date : " + oneLine(record.AcqDate) + "\r\n";
  if (!record.AcqTime.empty()) header += "REM Time : " + oneLine(record.AcqTime) + "\r\n";
  header += "\r\n";
  // Lines are laid out straight into the file: a spectrum has thousands of them. The file's length
  // is counted first, so that the buffer, which keeps its memory from the last file, is cleared
  // only where it grows (with room for the 8 bytes that a line end is stored in).
  const std::vector<LineEnd>& ends = LineEnds();
  const std::size_t zoneWidth = layout == Layout::kWithChannel ? PrintLine::kZoneWidth : 0;
  std::size_t length = header.size() + zoneWidth * record.Counts.size();
  for (const std::int32_t count : record.Counts) {
    if (count >= 0 && count < kTabledCounts) {
      length += ends[static_cast<std::size_t>(count)].size;
    } else {
      char digits[12];
      length += (count >= 0 ? 1 : 0) + 3 +
                static_cast<std::size_t>(std::to_chars(digits, digits + 12, count).ptr - digits);
    }
  }
  out.resize(length + sizeof(LineEnd::text));
  std::memcpy(out.data(), header.data(), header.size());
  char* p = out.data() + header.size();
  const char* zone = ChannelZones().data();
  for (const std::int32_t count : record.Counts) {
    if (layout == Layout::kWithChannel) {
      std::memcpy(p, zone, PrintLine::kZoneWidth);
      p += PrintLine::kZoneWidth;
      zone += PrintLine::kZoneWidth;
    }
    if (count >= 0 && count < kTabledCounts) {
      // The buffer has 8 bytes beyond the file's end for the last line.
      const LineEnd& end = ends[static_cast<std::size_t>(count)];
      std::memcpy(p, end.text, sizeof end.text);
      p += end.size;
      continue;
    }
    if (count >= 0) *p++ = ' ';
    p = std::to_chars(p, p + 11, count).ptr;
    *p++ = ' ';
    *p++ = '\r';
    *p++ = '\n';
  }
  out.resize(static_cast<std::size_t>(p - out.data()));
  return kDone;
}

}  // namespace

Status ReadAS1(ByteView bytes, SpectrumRecord& record) {
  return detail::ReadTransaction(bytes, record, [](ByteView b, SpectrumRecord& r) {
    return parse(b, r, Layout::kWithChannel);
  });
}

Status ReadAS2(ByteView bytes, SpectrumRecord& record) {
  return detail::ReadTransaction(bytes, record, [](ByteView b, SpectrumRecord& r) {
    return parse(b, r, Layout::kWithoutChannel);
  });
}

FileResult ReadAS1(SpectrumRecord& record, FileSystem& files) {
  return detail::ReadFile(files, record,
                          [](ByteView b, SpectrumRecord& r) { return ReadAS1(b, r); });
}

FileResult ReadAS2(SpectrumRecord& record, FileSystem& files) {
  return detail::ReadFile(files, record,
                          [](ByteView b, SpectrumRecord& r) { return ReadAS2(b, r); });
}

Status EncodeAS1(const SpectrumRecord& record, Bytes& out) {
  return encode(record, out, Layout::kWithChannel);
}

Status EncodeAS2(const SpectrumRecord& record, Bytes& out) {
  return encode(record, out, Layout::kWithoutChannel);
}

FileResult WriteAS1(SpectrumRecord& record, FileSystem& files) {
  return detail::WriteFile(files, record, "AS1", ExtensionRule::kAfterFirstDot, EncodeAS1);
}

FileResult WriteAS2(SpectrumRecord& record, FileSystem& files) {
  return detail::WriteFile(files, record, "AS2", ExtensionRule::kAfterFirstDot, EncodeAS2);
}

bool HasAS1Shape(ByteView bytes) {
  bool twoNumbers = false;
  ForEachLine(bytes, [&](std::string_view raw) {
    const std::string_view line = Trim(raw);
    if (isComment(line)) return true;
    std::string_view second;
    twoNumbers =
        startsWithNumber(line) && secondColumn(line, second) && startsWithNumber(Trim(second));
    return false;
  });
  return twoNumbers;
}

bool ScreenAS1(ByteView bytes) {
  return screen(bytes, Layout::kWithChannel);
}
bool ScreenAS2(ByteView bytes) {
  return screen(bytes, Layout::kWithoutChannel);
}

}  // namespace durnix
