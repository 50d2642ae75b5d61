// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/text_rules.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace durnix {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

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
  std::string number;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') number.push_back('-');
    ++i;
  }
  bool anyDigit = false;
  while (i < text.size() && isDigit(text[i])) {
    number.push_back(text[i++]);
    anyDigit = true;
  }
  if (i < text.size() && text[i] == '.') {
    number.push_back(text[i++]);
    while (i < text.size() && isDigit(text[i])) {
      number.push_back(text[i++]);
      anyDigit = true;
    }
  }
  if (!anyDigit) return 0.0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent.push_back(text[j++]);
    if (j < text.size() && isDigit(text[j])) {
      while (j < text.size() && isDigit(text[j])) exponent.push_back(text[j++]);
      number += exponent;
    }
  }
  double value = 0.0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // from_chars leaves the value alone when it is out of range: tell huge from tiny.
    const auto e = number.find('e');
    const bool huge = e != std::string::npos && number[e + 1] != '-';
    const bool negative = number[0] == '-';
    if (!huge) return negative ? -0.0 : 0.0;
    return negative ? -std::numeric_limits<double>::infinity()
                    : std::numeric_limits<double>::infinity();
  }
  return value;
}

bool RoundToInt32(double value, std::int32_t& out) { return roundTo(value, out); }
bool RoundToInt16(double value, std::int16_t& out) { return roundTo(value, out); }

std::string NumberText(long long value) {
  std::string text = value < 0 ? "" : " ";
  text += std::to_string(value);
  return text;
}

std::string SingleText(float value) { return shortestText(value); }
std::string DecimalText(double value) { return shortestText(value); }

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

void SplitAtSlash(std::string_view text, std::string& first, std::string& second) {
  const std::string_view trimmed = Trim(text);
  const auto slash = trimmed.find('/');
  if (slash == std::string_view::npos) {
    first = trimmed;
    second.clear();
    return;
  }
  first = Trim(trimmed.substr(0, slash));
  second = Trim(trimmed.substr(slash + 1));
}

void PrintLine::nextZone() {
  const std::size_t next = (line_.size() / kZoneWidth + 1) * kZoneWidth;
  line_.append(next - line_.size(), ' ');
}

}  // namespace durnix
