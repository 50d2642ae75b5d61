// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/dates.h"

#include <gtest/gtest.h>

#include <tuple>

namespace durnix {
namespace {

// Every date our readers produce (CHN, GammaVision with century flag 1 and 0, QuantumX month
// first and its day 0), the other forms recognised, and two-digit years pivoting at 30.
TEST(Dates, RecognisedDatesAndTwoDigitYears) {
  const std::tuple<std::string_view, int, int, int> dates[] = {
      {"25Sep18", 2018, 9, 25},     {"25SEP18", 2018, 9, 25},
      {"17-SEP-2012", 2012, 9, 17}, {"17-MAY-01", 2001, 5, 17},
      {"11-Feb-2014", 2014, 2, 11}, {"12/06/26", 2026, 12, 6},
      {"12/30/99", 1999, 12, 30},   {"  2026-12-06 ", 2026, 12, 6},
      {"6.12.2026", 2026, 12, 6},   {"06 December 2026", 2026, 12, 6},
      {"6/dec/26", 2026, 12, 6},    {"06DEC1999", 1999, 12, 6},
      {"29-Feb-2000", 2000, 2, 29}, {"01-Jan-00", 2000, 1, 1},
      {"01-Jan-29", 2029, 1, 1},    {"01-Jan-30", 1930, 1, 1},
      {"01-Jan-99", 1999, 1, 1}};
  for (const auto& [text, year, month, day] : dates) {
    const CivilDate date = RecogniseDate(text).value_or(CivilDate{-1, -1, -1});
    EXPECT_EQ(std::make_tuple(date.year, date.month, date.day), std::make_tuple(year, month, day))
        << text;
  }
  for (std::string_view text : {"", "   ", "today", "31-Feb-2026", "29-Feb-2027", "29-Feb-1900",
                                "13/01/26", "2026-13-01", "1-Jan-202", "25Sep181", "25Sept18",
                                "1Sep18", "0-Jan-26", "12-06-26", "Au 20nm", "17-MAY-0111"}) {
    EXPECT_FALSE(RecogniseDate(text).has_value()) << text;
  }
}

TEST(Dates, TimesWithSecondsFractionsAndMeridiem) {
  const std::tuple<std::string_view, int, int, int> times[] = {
      {"09:17:05", 9, 17, 5}, {"13:41:07  ", 13, 41, 7},  // GammaVision keeps the field's blanks
      {"12:30", 12, 30, 0},   {std::string_view("12:30\0\0", 7), 12, 30, 0},
      {"9:05 PM", 21, 5, 0},  {"12:00am", 0, 0, 0},
      {"12:00 PM", 12, 0, 0}, {"23:59:59.75", 23, 59, 59}};
  for (const auto& [text, hour, minute, second] : times) {
    const ClockTime t = RecogniseTime(text).value_or(ClockTime{-1, -1, -1});
    EXPECT_EQ(std::make_tuple(t.hour, t.minute, t.second), std::make_tuple(hour, minute, second))
        << text;
  }
  for (std::string_view text : {"", "24:00", "9:5", "12:60", "13:00 PM", "0:10 AM", "0917", "9h17",
                                "09:17:05 later", ":"}) {
    EXPECT_FALSE(RecogniseTime(text).has_value()) << text;
  }
}

// The QuantumX files of the golden corpus pin the date-time numbers of dates and times that are
// both recognised, one of them empty, or not recognised, and their texts up to the year 10000;
// these are the cases beyond them.
TEST(Dates, DateTimeNumbersCountDaysFrom30December1899) {
  const std::pair<CivilDate, long long> days[] = {
      {{1899, 12, 30}, 0}, {{1900, 1, 1}, 2}, {{2026, 12, 6}, 46362}, {{1899, 12, 29}, -1}};
  for (const auto& [date, day] : days) EXPECT_EQ(DayNumber(date), day) << day;
  for (long long day : {-657434LL, -1LL, 0LL, 60LL, 46362LL, 2958465LL}) {
    EXPECT_EQ(DayNumber(DateOfDayNumber(day)), day);
  }
  EXPECT_FALSE(DateTimeNumber("2026-12-06", "noon").has_value());
  EXPECT_EQ(DateTimeNumberText(-1.25), "12/29/99 06:00:00");  // before day 0 the time runs on
  EXPECT_EQ(DateTimeNumberText(-700000), "");
}

}  // namespace
}  // namespace durnix
