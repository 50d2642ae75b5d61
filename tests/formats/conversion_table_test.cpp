// SPDX-License-Identifier: GPL-3.0-or-later
// A spectrum goes through every pair of formats: written in the first, read back, written in the
// second, read back. What arrives is what both formats keep.

#include <gtest/gtest.h>

#include "formats/catalogue.h"
#include "formats/text_rules.h"
#include "support/format_traits.h"
#include "support/records.h"

namespace durnix {
namespace {

// What a format carries through its own writer and reader.
struct Carries {
  bool specId, date, time, times, calibration, startCh;
};

Carries carries(FormatCode code) {
  switch (code) {
    case FMT_RBS:
      return {true, true, true, true, true, true};
    case FMT_CHN:
      return {false, true, true, true, true, true};
    case FMT_GV_SPC:
      return {true, true, true, true, true, true};
    case FMT_SPT:
      return {true, true, true, false, true, true};
    case FMT_SPM:
    case FMT_CANBERRA:
      return {true, true, true, false, false, false};
    // Seven characters of date: "06-Dec-26" loses its year, as the format has it.
    case FMT_KODAQ:
      return {true, false, true, false, false, false};
    case FMT_ANS:
      return {true, true, true, true, true, false};
    case FMT_SEN:
      return {true, true, true, true, true, false};
    default:
      return {false, false, false, false, false, false};  // AS1, AS2, NCL, SNF
  }
}

SpectrumRecord source() {
  SpectrumRecord r = test::RecordWithCounts(test::SmoothCounts(1024));
  r.SpecId = "Au";
  r.AcqDate = "06-Dec-26";
  r.AcqTime = "09:17:05";
  r.RealTime = "20.02";
  r.LiveTime = "19.5";
  r.CalGain = 2.5f;
  r.CalOffset = 12.0f;
  r.StartCh = 0;
  return r;
}

SpectrumRecord throughFormat(const FormatInfo& format, SpectrumRecord record) {
  record.FileName = "/table/spectrum." + std::string(format.extension);
  Bytes file;
  EXPECT_EQ(format.encode(record, file), kDone) << format.displayName;
  SpectrumRecord back;
  back.FileName = record.FileName;
  EXPECT_EQ(ParseFormat(format, file, back), kDone) << format.displayName;
  return back;
}

// A date read back in the form of the format that carried it last.
bool sameDay(const std::string& text) {
  return text == "06-Dec-26" || text == "06Dec26" || text == "06-DEC-2026" || text == "12/06/26";
}

TEST(ConversionTable, EveryPairOfFormatsKeepsWhatBothCarry) {
  const SpectrumRecord original = source();
  int pairs = 0;
  for (const FormatInfo& first : FormatCatalogue()) {
    if (!first.writable()) continue;
    const SpectrumRecord middle = throughFormat(first, original);
    for (const FormatInfo& second : FormatCatalogue()) {
      if (!second.writable()) continue;
      SCOPED_TRACE(std::string(first.displayName) + " -> " + std::string(second.displayName));
      const SpectrumRecord end = throughFormat(second, middle);
      ++pairs;
      EXPECT_EQ(end.Counts,
                test::CountsAfterWriting(second.code,
                                         test::CountsAfterWriting(first.code, original.Counts)));
      const Carries a = carries(first.code);
      const Carries b = carries(second.code);
      if (a.specId && b.specId) {
        EXPECT_EQ(Trim(end.SpecId), "Au");
      }
      if (a.date && b.date) {
        EXPECT_TRUE(sameDay(end.AcqDate)) << end.AcqDate;
      }
      // QuantumX keeps date and time in one number: a lost date takes the time with it.
      if (a.time && b.time && (second.code != FMT_ANS || a.date)) {
        EXPECT_EQ(Trim(end.AcqTime), "09:17:05");
      }
      if (a.times && b.times) {
        EXPECT_EQ(end.RealTime, "20.02");
        EXPECT_EQ(end.LiveTime, "19.5");
      }
      if (a.calibration && b.calibration) {
        EXPECT_EQ(end.CalGain, 2.5f);
        EXPECT_EQ(end.CalOffset, 12.0f);
      }
    }
  }
  EXPECT_EQ(pairs, 13 * 13);
}

}  // namespace
}  // namespace durnix
