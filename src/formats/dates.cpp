// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/dates.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "formats/text_rules.h"

namespace durnix {

namespace {

constexpr std::array<const char*, 12> kMonthNames = {
    "JANUARY", "FEBRUARY", "MARCH",     "APRIL",   "MAY",      "JUNE",
    "JULY",    "AUGUST",   "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Reads the text piece by piece: runs of digits, runs of letters and single separators.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  bool done() const { return at_ == text_.size(); }
  // A run of `min` to `max` digits.
  bool number(std::size_t min, std::size_t max, int& value, std::size_t* length = nullptr) {
    std::size_t end = at_;
    value = 0;
    while (end < text_.size() && isDigit(text_[end]) && end - at_ < max) {
      value = value * 10 + (text_[end] - '0');
      ++end;
    }
    const std::size_t n = end - at_;
    if (n < min || (end < text_.size() && isDigit(text_[end]))) return false;
    if (length != nullptr) *length = n;
    at_ = end;
    return true;
  }
  bool word(std::string& out) {
    std::size_t end = at_;
    while (end < text_.size() && isLetter(text_[end])) ++end;
    if (end == at_) return false;
    out = UpperAscii(text_.substr(at_, end - at_));
    at_ = end;
    return true;
  }
  bool separator(std::string_view allowed) {
    if (at_ < text_.size() && allowed.find(text_[at_]) != std::string_view::npos) {
      ++at_;
      return true;
    }
    return false;
  }
  void blanks() {
    while (at_ < text_.size() && text_[at_] == ' ') ++at_;
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

int monthOfName(const std::string& upper) {
  for (std::size_t i = 0; i < kMonthNames.size(); ++i) {
    const std::string_view name = kMonthNames[i];
    if (upper == name || (upper.size() == 3 && name.substr(0, 3) == upper)) {
      return static_cast<int>(i) + 1;
    }
  }
  return 0;
}

bool isLeap(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeap(year) ? 29 : kDays[month - 1];
}

std::optional<CivilDate> valid(int year, std::size_t yearDigits, int month, int day) {
  if (yearDigits == 2) {
    year += year < 30 ? 2000 : 1900;
  } else if (year < 1000) {
    return std::nullopt;
  }
  if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) return std::nullopt;
  return CivilDate{year, month, day};
}

// A year of two or four digits.
bool year(Scanner& s, int& value, std::size_t& digits) {
  return s.number(2, 4, value, &digits) && digits != 3;
}

std::optional<CivilDate> dayMonthNameYear(std::string_view text) {
  Scanner s(text);
  int day = 0, y = 0;
  std::size_t dayDigits = 0, yearDigits = 0;
  std::string name;
  if (!s.number(1, 2, day, &dayDigits)) return std::nullopt;
  const bool separated = s.separator("- /.");
  if (!separated && dayDigits != 2) return std::nullopt;
  if (!s.word(name)) return std::nullopt;
  if (separated && !s.separator("- /.")) return std::nullopt;
  // Without separators only the three-letter form is a date ("06DEC26").
  if (!separated && name.size() != 3) return std::nullopt;
  if (!year(s, y, yearDigits) || !s.done()) return std::nullopt;
  const int month = monthOfName(name);
  if (month == 0) return std::nullopt;
  return valid(y, yearDigits, month, day);
}

std::optional<CivilDate> numericDate(std::string_view text) {
  Scanner s(text);
  int a = 0, b = 0, c = 0;
  std::size_t aDigits = 0, cDigits = 0;
  if (!s.number(1, 4, a, &aDigits)) return std::nullopt;
  if (aDigits == 4) {  // 2026-12-06
    if (!s.separator("-") || !s.number(1, 2, b) || !s.separator("-") || !s.number(1, 2, c) ||
        !s.done()) {
      return std::nullopt;
    }
    return valid(a, 4, b, c);
  }
  if (aDigits > 2) return std::nullopt;
  if (s.separator("/")) {  // 12/06/26, month first
    if (!s.number(1, 2, b) || !s.separator("/") || !year(s, c, cDigits) || !s.done()) {
      return std::nullopt;
    }
    return valid(c, cDigits, a, b);
  }
  if (s.separator(".")) {  // 6.12.2026, day first
    if (!s.number(1, 2, b) || !s.separator(".") || !year(s, c, cDigits) || !s.done()) {
      return std::nullopt;
    }
    return valid(c, cDigits, b, a);
  }
  return std::nullopt;
}

std::string_view trimmed(std::string_view text, std::string_view blanks) {
  const auto begin = text.find_first_not_of(blanks);
  if (begin == std::string_view::npos) return {};
  const auto end = text.find_last_not_of(blanks);
  return text.substr(begin, end - begin + 1);
}

}  // namespace

std::optional<CivilDate> RecogniseDate(std::string_view text) {
  const std::string_view t = trimmed(text, " \t");
  if (t.empty()) return std::nullopt;
  if (auto date = dayMonthNameYear(t)) return date;
  return numericDate(t);
}

std::optional<ClockTime> RecogniseTime(std::string_view text) {
  const std::string_view t = trimmed(text, std::string_view(" \t\0", 3));
  Scanner s(t);
  int hour = 0, minute = 0, second = 0, fraction = 0;
  if (!s.number(1, 2, hour) || !s.separator(":") || !s.number(2, 2, minute)) return std::nullopt;
  if (s.separator(":")) {
    if (!s.number(2, 2, second)) return std::nullopt;
    if (s.separator(".") && !s.number(1, 9, fraction)) return std::nullopt;
  }
  s.blanks();
  std::string meridiem;
  if (!s.done() && (!s.word(meridiem) || !s.done())) return std::nullopt;
  if (!meridiem.empty()) {
    if ((meridiem != "AM" && meridiem != "PM") || hour < 1 || hour > 12) return std::nullopt;
    hour = hour % 12 + (meridiem == "PM" ? 12 : 0);
  }
  if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
  return ClockTime{hour, minute, second};
}

std::string MonthAbbreviation(int month, bool capitals) {
  std::string name(kMonthNames[static_cast<std::size_t>(month - 1)], 3);
  if (!capitals) {
    for (std::size_t i = 1; i < name.size(); ++i) name[i] = static_cast<char>(name[i] - 'A' + 'a');
  }
  return name;
}

// Days counted from the civil calendar's own origin (1 March of year 0), shifted to day 0 of
// the date-time numbers, 30 December 1899.
long long DayNumber(const CivilDate& date) {
  const long long y = date.year - (date.month <= 2 ? 1 : 0);
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long mp = (date.month + 9) % 12;
  const long long doy = (153 * mp + 2) / 5 + date.day - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + 25569;  // 25569: days from 1899-12-30 to 1970-01-01
}

CivilDate DateOfDayNumber(long long days) {
  const long long z = days - 25569 + 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
  return CivilDate{year, month, day};
}

std::optional<double> DateTimeNumber(std::string_view date, std::string_view time) {
  const std::string_view d = trimmed(date, " \t");
  const std::string_view t = trimmed(time, std::string_view(" \t\0", 3));
  if (d.empty() && t.empty()) return std::nullopt;
  double number = 0;
  if (!d.empty()) {
    const auto civil = RecogniseDate(d);
    if (!civil) return std::nullopt;
    number = static_cast<double>(DayNumber(*civil));
  }
  if (!t.empty()) {
    const auto clock = RecogniseTime(t);
    if (!clock) return std::nullopt;
    number += (clock->hour * 3600 + clock->minute * 60 + clock->second) / 86400.0;
  }
  return number;
}

std::string DateTimeNumberText(double number) {
  // Day numbers of the years 100 and 9999.
  if (!std::isfinite(number) || number < -657434.0 || number >= 2958466.0) return {};
  // Before day 0 the whole days count backwards and the fraction still runs forward in the day.
  long long days = static_cast<long long>(std::trunc(number));
  long long seconds = std::llround(std::fabs(number - static_cast<double>(days)) * 86400.0);
  if (seconds >= 86400) {  // rounded up to midnight: the next day
    seconds -= 86400;
    days += 1;
  }
  const CivilDate date = DateOfDayNumber(days);
  if (date.year < 100 || date.year > 9999) return {};
  char text[32];
  std::snprintf(text, sizeof text, "%02d/%02d/%02d %02lld:%02lld:%02lld", date.month, date.day,
                date.year % 100, seconds / 3600, seconds / 60 % 60, seconds % 60);
  return text;
}

}  // namespace durnix
