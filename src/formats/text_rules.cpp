// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/text_rules.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace durnix {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

template <class Int>
bool roundTo(double value, Int& out) {
  if (std::isnan(value)) return false;
  double whole = std::floor(value);
  const double fraction = value - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  if (whole < static_cast<double>(std::numeric_limits<Int>::min()) ||
      whole > static_cast<double>(std::numeric_limits<Int>::max())) {
    return false;
  }
  out = static_cast<Int>(whole);
  return true;
}

template <class Real>
std::string shortestText(Real value) {
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, result.ptr);
}

}  // namespace

double NumericPrefix(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::size_t digitsStart = i;
  std::uint64_t whole = 0;
  while (i < text.size() && isDigit(text[i])) {
    whole = whole * 10 + static_cast<std::uint64_t>(text[i] - '0');
    ++i;
  }
  std::size_t digits = i - digitsStart;
  const bool point = i < text.size() && text[i] == '.';
  bool exponent = false;
  if (point) {
    ++i;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0.0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && isDigit(text[j])) {
      exponent = true;
      while (j < text.size() && isDigit(text[j])) ++j;
      i = j;
    }
  }
  // Plain whole numbers, the usual case in spectrum files, need no conversion of a decimal.
  if (!point && !exponent && digits <= 18) {
    const double value = static_cast<double>(whole);
    return negative ? -value : value;
  }
  const std::string_view number = text.substr(digitsStart, i - digitsStart);
  double value = 0.0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // from_chars leaves the value alone when it is out of range: tell huge from tiny.
    const auto e = number.find_first_of("eE");
    const bool huge = e == std::string_view::npos || number[e + 1] != '-';
    value = huge ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -value : value;
}

bool RoundToInt32(double value, std::int32_t& out) {
  return roundTo(value, out);
}

float ToSingle(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  if (value > kMax) return std::numeric_limits<float>::infinity();
  if (value < -kMax) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}
bool RoundToInt16(double value, std::int16_t& out) {
  return roundTo(value, out);
}

std::string NumberText(long long value) {
  char buf[24];
  const std::size_t n = AppendNumberText(buf, value);
  return std::string(buf, n);
}

std::size_t AppendNumberText(char* out, long long value) {
  char* p = out;
  if (value >= 0) *p++ = ' ';
  return static_cast<std::size_t>(std::to_chars(p, out + 24, value).ptr - out);
}

NumberTexts::NumberTexts(std::string_view before, std::string_view after)
    : before_(before), after_(after), texts_(kBelow) {
  for (unsigned long long number = 0; number < kBelow; ++number) {
    Text& text = texts_[number];
    std::memset(text.bytes, 0, sizeof text.bytes);
    char* at = text.bytes;
    at = std::copy(before.begin(), before.end(), at);
    at = std::to_chars(at, at + 4, number).ptr;
    at = std::copy(after.begin(), after.end(), at);
    text.size = static_cast<std::uint8_t>(at - text.bytes);
  }
}

char* PutFixedSix(char* at, double value) {
  // The value in millionths, rounded: exact as printf rounds the value itself, unless a half lies
  // within the product's own rounding error, where the slow and exact way decides.
  const double scaled = value * 1e6;
  const double magnitude = std::abs(scaled);
  if (magnitude < 1e15) {
    // The product is within half a unit in its last place, which is below magnitude * 2^-52.
    // Signed conversions: one instruction each way, where unsigned ones take several.
    const auto whole = static_cast<long long>(magnitude);
    const double fraction = magnitude - static_cast<double>(whole);
    if (std::abs(fraction - 0.5) > magnitude * 0x1p-52) {
      const auto millionths = static_cast<unsigned long long>(whole + (fraction > 0.5 ? 1 : 0));
      if (std::signbit(value)) *at++ = '-';
      at = std::to_chars(at, at + 16, millionths / 1000000).ptr;
      *at++ = '.';
      // The six decimals two at a time.
      auto decimals = static_cast<std::uint32_t>(millionths % 1000000);
      std::memcpy(at + 4, kDigitPairs + 2 * (decimals % 100), 2);
      decimals /= 100;
      std::memcpy(at + 2, kDigitPairs + 2 * (decimals % 100), 2);
      std::memcpy(at, kDigitPairs + 2 * (decimals / 100), 2);
      return at + 6;
    }
  }
  return std::to_chars(at, at + 340, value, std::chars_format::fixed, 6).ptr;
}

std::string ZeroPadded(long long value, int width) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (digits.size() < static_cast<std::size_t>(width)) {
    digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
  }
  return value < 0 ? "-" + digits : digits;
}

std::string SingleText(float value) {
  return shortestText(value);
}
std::string DecimalText(double value) {
  return shortestText(value);
}

std::string DigitPatternText(double value, int decimals) {
  if (!std::isfinite(value)) return {};
  char digits[400];
  std::snprintf(digits, sizeof digits, "%.*f", decimals, value);
  std::string text(digits);
  bool negative = !text.empty() && text.front() == '-';
  if (negative) text.erase(0, 1);
  std::size_t point = text.find('.');
  if (point != std::string::npos) {
    while (text.size() > point + 1 && text.back() == '0') text.pop_back();
  }
  std::size_t lead = 0;
  while (lead < text.size() && text[lead] == '0') ++lead;
  text.erase(0, lead);
  if (text.empty() || text == ".") negative = false;
  return negative ? "-" + text : text;
}

std::string_view Trim(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

namespace {

void splitAt(std::string_view text, bool last, std::string& first, std::string& second) {
  const std::string_view trimmed = Trim(text);
  const auto slash = last ? trimmed.rfind('/') : trimmed.find('/');
  if (slash == std::string_view::npos) {
    first = trimmed;
    second.clear();
    return;
  }
  first = Trim(trimmed.substr(0, slash));
  second = Trim(trimmed.substr(slash + 1));
}

}  // namespace

void SplitAtSlash(std::string_view text, std::string& first, std::string& second) {
  splitAt(text, false, first, second);
}

void SplitDateTime(std::string_view text, std::string& date, std::string& time) {
  splitAt(text, true, date, time);
}

void PrintLine::nextZone() {
  const std::size_t next = (line_.size() / kZoneWidth + 1) * kZoneWidth;
  line_.append(next - line_.size(), ' ');
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t start = 0;
  while (start < line.size()) {
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
    std::size_t end = start;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
    if (end > start) words.push_back(line.substr(start, end - start));
    start = end;
  }
  return words;
}

bool WholeNumber(std::string_view text, long long& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

}  // namespace durnix
