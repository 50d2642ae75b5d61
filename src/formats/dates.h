// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Recognising the date and time texts that spectrum files carry, for the writers that store a
// date or time in a layout of their own (CHN, GammaVision, QuantumX), and the date-time numbers
// that count days since 30 December 1899.

#include <optional>
#include <string>
#include <string_view>

namespace durnix {

struct CivilDate {
  int year = 0;
  int month = 0;  // 1 to 12
  int day = 0;    // 1 to 31
};

struct ClockTime {
  int hour = 0;    // 0 to 23
  int minute = 0;  // 0 to 59
  int second = 0;  // 0 to 59
};

// A date text, after trimming blanks: "6-Dec-26", "06 December 2026", "06DEC26", "12/06/26"
// (month first), "2026-12-06", "6.12.2026". Month names are English, in any letter case, as a
// three-letter abbreviation or in full. Two-digit years 00 to 29 are 2000 to 2029, 30 to 99 are
// 1930 to 1999. Nothing when the text is no such date or the day does not exist.
std::optional<CivilDate> RecogniseDate(std::string_view text);

// A time text, after trimming blanks and NULs: "9:17", "09:17:05", "09:17:05.25", "9:17 PM".
std::optional<ClockTime> RecogniseTime(std::string_view text);

// "Jan" to "Dec"; in capitals when `capitals` ("JAN").
std::string MonthAbbreviation(int month, bool capitals);

// Days from 30 December 1899 (day 0) to `date`, and back.
long long DayNumber(const CivilDate& date);
CivilDate DateOfDayNumber(long long days);

// The date-time number of a date text and a time text (either may be empty, not both): days since
// 30 December 1899 plus the fraction of the day. Nothing when a non-empty part is not recognised.
std::optional<double> DateTimeNumber(std::string_view date, std::string_view time);

// A date-time number shown as "MM/DD/YY HH:MM:SS" (24-hour); empty when it is not finite or its
// year lies outside 100 to 9999.
std::string DateTimeNumberText(double number);

}  // namespace durnix
