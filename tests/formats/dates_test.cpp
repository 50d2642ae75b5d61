// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/dates.h"

#include <gtest/gtest.h>

#include <cmath>

namespace durnix {
namespace {

void expectDate(std::string_view text, int year, int month, int day) {
  const auto date = RecogniseDate(text);
  ASSERT_TRUE(date.has_value()) << text;
  EXPECT_EQ(date->year, year) << text;
  EXPECT_EQ(date->month, month) << text;
  EXPECT_EQ(date->day, day) << text;
}

TEST(Dates, EveryDateOurReadersProduceIsRecognised) {
  expectDate("25Sep18", 2018, 9, 25);  // CHN
  expectDate("25SEP18", 2018, 9, 25);
  expectDate("17-SEP-2012", 2012, 9, 17);  // GammaVision, century flag 1
  expectDate("17-MAY-01", 2001, 5, 17);    // GammaVision, century flag 0
  expectDate("11-Feb-2014", 2014, 2, 11);
  expectDate("12/06/26", 2026, 12, 6);       // QuantumX, month first
  expectDate("12/30/99", 1999, 12, 30);      // QuantumX day 0
  expectDate("  2026-12-06 ", 2026, 12, 6);  // ISO
  expectDate("6.12.2026", 2026, 12, 6);
  expectDate("06 December 2026", 2026, 12, 6);
  expectDate("6/dec/26", 2026, 12, 6);
  expectDate("06DEC1999", 1999, 12, 6);
}

TEST(Dates, TwoDigitYearsPivotAtThirty) {
  expectDate("01-Jan-00", 2000, 1, 1);
  expectDate("01-Jan-29", 2029, 1, 1);
  expectDate("01-Jan-30", 1930, 1, 1);
  expectDate("01-Jan-99", 1999, 1, 1);
}

TEST(Dates, OtherTextsAreNotDates) {
  for (std::string_view text :
       {"", "   ", "today", "31-Feb-2026", "29-Feb-2027", "13/01/26", "2026-13-01", "1-Jan-202",
        "25Sep181", "25Sept18", "1Sep18", "0-Jan-26", "12-06-26", "Au 20nm", "17-MAY-0111"}) {
    EXPECT_FALSE(RecogniseDate(text).has_value()) << text;
  }
  expectDate("29-Feb-2000", 2000, 2, 29);
  EXPECT_FALSE(RecogniseDate("29-Feb-1900").has_value());
}

TEST(Dates, TimesWithSecondsFractionsAndMeridiem) {
  const auto check = [](std::string_view text, int h, int m, int s) {
    const auto time = RecogniseTime(text);
    ASSERT_TRUE(time.has_value()) << text;
    EXPECT_EQ(time->hour, h) << text;
    EXPECT_EQ(time->minute, m) << text;
    EXPECT_EQ(time->second, s) << text;
  };
  check("09:17:05", 9, 17, 5);
  check("13:41:07  ", 13, 41, 7);  // GammaVision keeps the field's blanks
  check("12:30", 12, 30, 0);
  check(std::string_view("12:30\0\0", 7), 12, 30, 0);
  check("9:05 PM", 21, 5, 0);
  check("12:00am", 0, 0, 0);
  check("12:00 PM", 12, 0, 0);
  check("23:59:59.75", 23, 59, 59);
  for (std::string_view text : {"", "24:00", "9:5", "12:60", "13:00 PM", "0:10 AM", "0917", "9h17",
                                "09:17:05 later", ":"}) {
    EXPECT_FALSE(RecogniseTime(text).has_value()) << text;
  }
}

TEST(Dates, DateTimeNumbersCountDaysFrom30December1899) {
  EXPECT_EQ(DayNumber({1899, 12, 30}), 0);
  EXPECT_EQ(DayNumber({1900, 1, 1}), 2);
  EXPECT_EQ(DayNumber({2026, 12, 6}), 46362);
  EXPECT_EQ(DayNumber({1899, 12, 29}), -1);
  for (long long day : {-657434LL, -1LL, 0LL, 60LL, 46362LL, 2958465LL}) {
    EXPECT_EQ(DayNumber(DateOfDayNumber(day)), day);
  }
  EXPECT_EQ(DateTimeNumber("12/06/26", "09:17:05").value(),
            46362 + (9 * 3600 + 17 * 60 + 5) / 86400.0);
  EXPECT_EQ(DateTimeNumber("", "06:00").value(), 0.25);
  EXPECT_EQ(DateTimeNumber("2026-12-06", "").value(), 46362.0);
  EXPECT_FALSE(DateTimeNumber("", "").has_value());
  EXPECT_FALSE(DateTimeNumber("someday", "09:17").has_value());
  EXPECT_FALSE(DateTimeNumber("2026-12-06", "noon").has_value());
}

TEST(Dates, DateTimeNumbersShowAsMonthDayYearAndClock) {
  EXPECT_EQ(DateTimeNumberText(0), "12/30/99 00:00:00");
  EXPECT_EQ(DateTimeNumberText(46362 + 33425 / 86400.0), "12/06/26 09:17:05");
  EXPECT_EQ(DateTimeNumberText(46362.99999999), "12/07/26 00:00:00");  // rounds to midnight
  EXPECT_EQ(DateTimeNumberText(-1.25), "12/29/99 06:00:00");  // before day 0 the time runs on
  EXPECT_EQ(DateTimeNumberText(std::nan("")), "");
  EXPECT_EQ(DateTimeNumberText(1e300), "");
  EXPECT_EQ(DateTimeNumberText(-700000), "");
}

}  // namespace
}  // namespace durnix
