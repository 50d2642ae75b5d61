// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/text_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

namespace durnix {
namespace {

// The number a text begins with; an exponent without digits is not part of it, the number stops
// at the first character that cannot continue it, text without one gives 0, numbers beyond the
// range are infinite and tiny ones 0.
TEST(NumericPrefix, TakesTheNumberTheTextBeginsWith) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  // clang-format off
  const std::pair<const char*, double> cases[] = {
      {"120", 120}, {"  \t-7 apples", -7}, {"+.5", 0.5}, {"5.", 5}, {"12.5e3xyz", 12500},
      {"1E+2", 100}, {"2.5e-1", 0.25}, {"12.5e", 12.5}, {"12.5e+", 12.5}, {"3 4", 3},
      {"1.2.3", 1.2}, {"", 0}, {"abc", 0}, {"-", 0}, {".", 0}, {".e5", 0}, {"REM 12", 0},
      {"1e999", inf}, {"-1e999", -inf}, {"1e-999", 0}};
  // clang-format on
  for (const auto& [text, value] : cases) EXPECT_EQ(NumericPrefix(text), value) << text;
}

TEST(Rounding, ValuesOutsideTheTargetOverflow) {
  std::int32_t v32 = 7;
  for (double value : {2147483647.5, -2147483649.0, std::nan(""), HUGE_VAL}) {
    EXPECT_FALSE(RoundToInt32(value, v32)) << value;
  }
  EXPECT_EQ(v32, 7);
  std::int16_t v16 = 0;
  EXPECT_FALSE(RoundToInt16(32767.5, v16));
  ASSERT_TRUE(RoundToInt16(-32768.5, v16));
  EXPECT_EQ(v16, -32768);
}

// Numbers laid into a file's bytes read as printf writes them: fields padded on the left and
// widened for long values, energies with six decimals rounded as printf rounds, halves included.
TEST(NumberText, LaidOutAsPrintfWritesThem) {
  char field[64];
  char expected[400];
  for (const long long value : {0LL, 7LL, 12345678LL, 123456789LL, -42LL, 2147483647LL}) {
    std::snprintf(expected, sizeof expected, "%8lld", value);
    EXPECT_EQ(std::string(field, PutRightAligned(field, value, 8)), expected) << value;
  }
  std::vector<double> energies = {0.0,        -0.0,   -1e-9,     0.0078125,
                                  -0.0078125, 2.5e-7, 1.0000005, 999999.9999995,
                                  1e14 + 0.5, 3e15,   1e300,     -1e300};
  for (int channel = 0; channel < 20000; ++channel) energies.push_back(-12.3 + 0.7071 * channel);
  for (const double value : energies) {
    std::snprintf(expected, sizeof expected, "%.6f", value);
    char energy[400];
    EXPECT_EQ(std::string(energy, PutFixedSix(energy, value)), expected) << value;
  }
}

TEST(NumberText, SignBlankAndShortestTexts) {
  const std::pair<std::string, const char*> texts[] = {
      {NumberText(120), " 120"},     {NumberText(0), " 0"},
      {NumberText(-5), "-5"},        {NumberText(-2147483648LL), "-2147483648"},
      {SingleText(900.0f), "900"},   {SingleText(20.02f), "20.02"},
      {SingleText(0.1f), "0.1"},     {SingleText(873.5f), "873.5"},
      {SingleText(-0.25f), "-0.25"}, {DecimalText(1595.46), "1595.46"},
      {DecimalText(900.0), "900"}};
  for (const auto& [text, expected] : texts) EXPECT_EQ(text, expected);
  for (float f : {2.0371f, 4.0026f, 1e-7f, 3.4e38f, 16777217.0f}) {
    EXPECT_EQ(std::stof(SingleText(f)), f);
  }
}

TEST(PrintLine, ItemsStartAtTheNextFourteenCharacterZone) {
  PrintLine line;
  line.append(" 0 ");
  line.nextZone();
  line.append(" 120 ");
  EXPECT_EQ(line.text(), " 0" + std::string(12, ' ') + " 120 ");
  PrintLine full;
  full.append(std::string(14, 'x'));
  full.nextZone();
  EXPECT_EQ(full.text().size(), 28u);
}

TEST(TextHelpers, TrimAndSplitAtSlash) {
  EXPECT_EQ(Trim("  a b \t"), "a b");
  EXPECT_EQ(Trim(" \t "), "");
  // Live and real times split at the first "/"; dates may hold slashes, the time follows the last.
  using Split = void (*)(std::string_view, std::string&, std::string&);
  const std::tuple<Split, std::string_view, std::string_view, std::string_view> cases[] = {
      {SplitAtSlash, "  873.5 / 900 ", "873.5", "900"},
      {SplitAtSlash, "06-Dec-26", "06-Dec-26", ""},
      {SplitAtSlash, "12/06/26 / 09:17", "12", "06/26 / 09:17"},
      {SplitAtSlash, "   ", "", ""},
      {SplitDateTime, "12/06/26/09:17:05", "12/06/26", "09:17:05"},
      {SplitDateTime, "06-Dec-26/", "06-Dec-26", ""}};
  for (const auto& [split, text, first, second] : cases) {
    std::string a = "x", b = "y";
    split(text, a, b);
    EXPECT_EQ(a + "|" + b, std::string(first) + "|" + std::string(second)) << text;
  }
}

}  // namespace
}  // namespace durnix
