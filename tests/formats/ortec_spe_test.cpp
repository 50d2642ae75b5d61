// SPDX-License-Identifier: GPL-3.0-or-later
// ORTEC ASCII spectra: files that MAESTRO and GammaVision wrote (their expected values copied by
// hand from the files' text), what the record cannot hold, and round trips through the writer.
#include "formats/ortec_spe.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "formats/detection.h"
#include "support/records.h"
#include "support/temp_dir.h"

namespace durnix {
namespace {

using test::Texts;

const std::string kMulti = std::string(DURNIX_REAL_SAMPLES_DIR) + "/multi/";

TEST(SpeReader, FilesOfOtherPrograms) {
  struct Case {
    const char *file, *specId, *date, *time, *live, *real;
    int channels, channel;  // a channel and its count
    std::int32_t count;
    float offset, gain;
  };
  const Case cases[] = {
      {"becquerel_nai_detector.spe", "Spectrum from an unknown NaI detector.", "03/26/2018",
       "00:00:00", "3600", "3600", 1001, 15, 536, 0, 0},
      {"becquerel_1110C NAA cave pottery.Spe", "No sample description was entered.", "04/25/2017",
       "12:54:27", "16543", "16557", 16384, 989, 62, -0.035087f, 0.182804f},
      {"becquerel_Mendocino_07-10-13_Acq-10-10-13.Spe", "No sample description was entered.",
       "10/11/2013", "10:30:10", "595642", "595798", 8192, 1000, 496, 0, 0.37844f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    if (!std::filesystem::exists(kMulti + c.file)) GTEST_SKIP() << "no real samples";
    const std::string bytes = test::ReadWhole(kMulti + c.file);
    SpectrumRecord record;
    std::string detected;
    ASSERT_EQ(DetectAndRead(bytes, record, detected), kDone);  // not taken for ASCII
    EXPECT_EQ(detected, "ORTEC ASCII (SPE)");
    EXPECT_EQ(Texts(record), std::make_tuple(c.specId, c.date, c.time, c.live, c.real));
    EXPECT_EQ(record.ChannelCount, c.channels);
    ASSERT_EQ(record.Counts.size(), static_cast<std::size_t>(c.channels));
    EXPECT_EQ(record.Counts[static_cast<std::size_t>(c.channel)], c.count);
    EXPECT_FLOAT_EQ(record.CalOffset, c.offset);
    EXPECT_FLOAT_EQ(record.CalGain, c.gain);
    EXPECT_EQ(record.StartCh, 0);

    // Written and read again, everything the record holds comes back.
    Bytes written;
    ASSERT_EQ(EncodeSpe(record, written), kDone);
    SpectrumRecord again;
    ASSERT_EQ(ReadSpe(written, again), kDone);
    EXPECT_EQ(again.Counts, record.Counts);
    EXPECT_EQ(Texts(again), Texts(record));
    EXPECT_FLOAT_EQ(again.CalOffset, record.CalOffset);
    EXPECT_FLOAT_EQ(again.CalGain, record.CalGain);
  }
  EXPECT_EQ(SpeDropped(test::ReadWhole(kMulti + "becquerel_1110C NAA cave pottery.Spe")),
            (std::vector<std::string>{"$PRESETS", "$ROI", "$SHAPE_CAL", "$SPEC_REM",
                                      "quadratic calibration term -6.866130E-010"}));
}

TEST(SpeWriter, LayoutAndRefusals) {
  SpectrumRecord record = test::RecordWithCounts({0, 7, 123456});
  Texts(record) = std::make_tuple("Au on Si\r\nrun 2", "06-Dec-26", "09:17", "873.5", "900");
  record.CalGain = 2.5f;
  record.CalOffset = -1.25f;
  Bytes out;
  ASSERT_EQ(EncodeSpe(record, out), kDone);
  EXPECT_EQ(out,
            "$SPEC_ID:\r\nAu on Si  run 2\r\n$DATE_MEA:\r\n12/06/2026 09:17:00\r\n"
            "$MEAS_TIM:\r\n873.5 900\r\n$DATA:\r\n0 2\r\n       0\r\n       7\r\n  123456\r\n"
            "$ENER_FIT:\r\n-1.250000 2.500000\r\n$MCA_CAL:\r\n3\r\n"
            "-1.250000E+00 2.500000E+00 0.000000E+00 keV\r\n");
  // No date, times or calibration: their sections are left out.
  ASSERT_EQ(EncodeSpe(test::RecordWithCounts({1, 2}), out), kDone);
  EXPECT_EQ(out, "$SPEC_ID:\r\n\r\n$DATA:\r\n0 1\r\n       1\r\n       2\r\n");
  EXPECT_EQ(EncodeSpe(test::RecordWithCounts({}), out), kDoesNotFit);
  EXPECT_EQ(EncodeSpe(test::RecordWithCounts({3, -1}), out), kDoesNotFit);
}

TEST(SpeReader, RefusesWhatIsNotWhole) {
  SpectrumRecord record;
  ASSERT_EQ(ReadSpe("$SPEC_ID:\nx\n$DATA:\n0 2\n1\n2\n3\n", record), kDone);
  EXPECT_EQ(record.Counts, (std::vector<std::int32_t>{1, 2, 3}));
  // Several counts on a line, a first channel above 0.
  ASSERT_EQ(ReadSpe("$SPEC_ID:\r\n\r\n$DATA:\r\n5 7\r\n1 2 3\r\n", record), kDone);
  EXPECT_EQ(record.StartCh, 5);
  EXPECT_EQ(record.Counts.size(), 3u);
  const char* const refused[] = {
      "$SPEC_ID:\nx\n$DATA:\n0 2\n1\n2\n",       // a count missing
      "$SPEC_ID:\nx\n$DATA:\n0 2\n1\n-2\n3\n",   // below 0
      "$SPEC_ID:\nx\n$DATA:\n0 2\n1\n2.5\n3\n",  // not whole
      "$SPEC_ID:\nx\n$DATA:\n2 0\n1\n",          // last before first
      "$SPEC_ID:\nx\n$DATA:\n0 40000\n",         // too many
      "$SPEC_ID:\nx\n",                          // no data
      "x\n$SPEC_ID:\nx\n$DATA:\n0 0\n1\n",       // not the first line
      "$DATA:\n0 0\n1\n",                        // no identification
  };
  for (const char* bad : refused) EXPECT_EQ(ReadSpe(bad, record), kNotThisFormat) << bad;
}

}  // namespace
}  // namespace durnix
