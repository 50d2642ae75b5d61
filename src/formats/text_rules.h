// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's conventions for numbers and text in files: every format reads and writes numbers
// through these rules, so a value means the same thing in every file.

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace durnix {

// Reads the number that `text` begins with: leading blanks are skipped, then an optional sign,
// digits, a decimal point and an exponent are taken as far as they go. Text that does not begin
// with a number gives 0; a number beyond the range of a double gives an infinity of its sign.
double NumericPrefix(std::string_view text);

// Rounds to the nearest integer, halves to the even neighbour (2.5 gives 2, 3.5 gives 4).
// Returns false (overflow) when the result is outside the target's range or `value` is NaN.
bool RoundToInt32(double value, std::int32_t& out);
bool RoundToInt16(double value, std::int16_t& out);

// A double as a single: values beyond the single's range become infinities of their sign (a
// plain conversion of such a value is undefined).
float ToSingle(double value);

// Number text: a blank in place of the sign of a value that is not negative (" 120", "-5").
std::string NumberText(long long value);
// The same written at `out` (room for 24 characters); returns its length.
std::size_t AppendNumberText(char* out, long long value);

// "00" to "99", for setting digits two at a time.
inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The digits of `value` set so that the last one stands just before `end`, from the last ones
// backwards, two at a time; returns where the first one stands.
inline char* PutDigitsBefore(char* end, unsigned long long value) {
  for (; value >= 100; value /= 100) {
    end -= 2;
    std::memcpy(end, kDigitPairs + 2 * (value % 100), 2);
  }
  if (value >= 10) {
    end -= 2;
    std::memcpy(end, kDigitPairs + 2 * value, 2);
  } else {
    *--end = static_cast<char>('0' + value);
  }
  return end;
}

// The number of decimal digits of `value` (1 for 0).
inline std::size_t DigitCount(unsigned long long value) {
  std::size_t length = 1;
  for (unsigned long long bound = 10; value >= bound; bound *= 10) {
    ++length;
    if (length == 20) break;  // 10^19 is the last power of ten below 2^64
  }
  return length;
}

// `value` set to the right in a field of `width` characters (wider when it needs more), written
// at `at`, which has room for max(width, 20) characters; returns the end of the field. A printf
// "%*lld" laid straight into a file's bytes, without parsing a format for every count.
inline char* PutRightAligned(char* at, long long value, std::size_t width) {
  if (value < 0) {
    char digits[24];
    const auto length =
        static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
    for (; width > length; --width) *at++ = ' ';
    std::memcpy(at, digits, length);
    return at + length;
  }
  // The digits are counted, then set in place.
  const auto rest = static_cast<unsigned long long>(value);
  const std::size_t length = DigitCount(rest);
  for (; width > length; --width) *at++ = ' ';
  PutDigitsBefore(at + length, rest);
  return at + length;
}

// Numbers, each between a fixed text before and after it (together at most 4 bytes): those
// below 10000, the counts of most channels, from texts made once and stored in one step of 8
// bytes.
class NumberTexts {
 public:
  NumberTexts(std::string_view before, std::string_view after);
  // `number` between the two texts at `at`, which has room for them, 20 digits and 8 bytes;
  // returns the end of the text.
  char* Put(char* at, unsigned long long number) const {
    if (number < kBelow) {
      const Text& text = texts_[number];
      std::memcpy(at, text.bytes, sizeof text.bytes);
      return at + text.size;
    }
    at = std::copy(before_.begin(), before_.end(), at);
    at += DigitCount(number);
    PutDigitsBefore(at, number);
    return std::copy(after_.begin(), after_.end(), at);
  }

 private:
  static constexpr unsigned long long kBelow = 10000;
  struct Text {
    char bytes[8];
    std::uint8_t size;
  };
  std::string before_;
  std::string after_;
  std::vector<Text> texts_;
};

// `value` as printf "%.6f" writes it, at `at`, which has room for 32 characters when |value| is
// below 1e15 and for 340 otherwise; returns the end of the text.
char* PutFixedSix(char* at, double value);

// `value` in at least `width` digits, with leading zeros ("06"); a negative value keeps its sign.
std::string ZeroPadded(long long value, int width);

// The shortest decimal text that reads back as the same value, without a trailing ".0"
// ("900", "20.02", "1e+20").
std::string SingleText(float value);
std::string DecimalText(double value);

// A number in a digit pattern of optional digits, "####" (decimals 0) or "##.#####" (decimals 5):
// no leading zero before the point, trailing zeros of the decimals dropped, the point kept
// (0.5 gives ".5", 2 gives "2."); a value that rounds to 0 gives an empty text (".", with
// decimals). Roundings go halves to even.
std::string DigitPatternText(double value, int decimals);

// `text` without blanks (spaces and tabs) at either end.
std::string_view Trim(std::string_view text);

// The words of a line, separated by blanks (spaces and tabs).
std::vector<std::string_view> Words(std::string_view line);

// True when the whole of `text` is a whole number in decimal digits, with an optional "-".
bool WholeNumber(std::string_view text, long long& value);

// Upper case of the ASCII letters; other bytes unchanged.
std::string UpperAscii(std::string_view text);

// Splits "first/second" at the first "/": both parts trimmed; without "/" the whole trimmed
// text is the first.
void SplitAtSlash(std::string_view text, std::string& first, std::string& second);

// Splits "date/time" at the last "/": dates may hold slashes themselves ("12/06/26"), times
// never do. Both parts trimmed; without "/" the whole trimmed text is the date.
void SplitDateTime(std::string_view text, std::string& date, std::string& time);

// A line of text output laid out in print zones of 14 characters (columns 1, 15, 29, ...).
class PrintLine {
 public:
  static constexpr std::size_t kZoneWidth = 14;

  void append(std::string_view text) { line_.append(text); }
  // Pads with blanks to the start of the next print zone.
  void nextZone();
  const std::string& text() const { return line_; }

 private:
  std::string line_;
};

// Calls `onLine(std::string_view line)` for every line of `text`; lines end in CR LF, LF or CR.
// `onLine` returns false to stop early.
template <class OnLine>
void ForEachLine(std::string_view text, OnLine&& onLine) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    if (!onLine(text.substr(start, end - start))) return;
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
      ++end;
    }
    start = end + 1;
  }
}

}  // namespace durnix
