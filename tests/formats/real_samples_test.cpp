// SPDX-License-Identifier: GPL-3.0-or-later
// Spectra written by other programs (kept beside the project in ../shared/real_samples, with
// the values other readers report for them in its SOURCES.md). Skipped where that folder is
// absent.

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>

#include "formats/catalogue.h"
#include "formats/detection.h"

namespace durnix {
namespace {

std::string realSample(const std::string& relative) {
  return std::string(DURNIX_REAL_SAMPLES_DIR) + "/" + relative;
}

class RealSamples : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::is_directory(DURNIX_REAL_SAMPLES_DIR)) {
      GTEST_SKIP() << "no real samples at " << DURNIX_REAL_SAMPLES_DIR;
    }
  }

  // Reads a sample by detection and checks that its own format's reader gives the same.
  SpectrumRecord read(const std::string& relative, FormatCode expected) {
    SpectrumRecord record;
    record.FileName = realSample(relative);
    std::string name;
    EXPECT_EQ(DetectAndRead(record, name, LocalFiles()), kDone) << relative;
    EXPECT_EQ(name, Format(expected).displayName) << relative;
    SpectrumRecord direct;
    direct.FileName = record.FileName;
    EXPECT_EQ(ReadFormat(Format(expected), direct, LocalFiles()), kDone) << relative;
    EXPECT_EQ(direct, record) << relative;
    return record;
  }
};

struct Expected {
  const char* file;
  const char* realTime;
  const char* liveTime;
  int channels;
  long long sum;
  std::int32_t c100, c1000, c10000;  // -1 where the spectrum is shorter
  float calOffset, calGain;
  const char* date;
  const char* time;
};

void check(const SpectrumRecord& r, const Expected& e) {
  EXPECT_EQ(r.RealTime, e.realTime) << e.file;
  EXPECT_EQ(r.LiveTime, e.liveTime) << e.file;
  ASSERT_EQ(r.ChannelCount, e.channels) << e.file;
  EXPECT_EQ(std::accumulate(r.Counts.begin(), r.Counts.end(), 0LL), e.sum) << e.file;
  // The list gives counts by index from 0.
  EXPECT_EQ(r.Counts[100], e.c100) << e.file;
  EXPECT_EQ(r.Counts[1000], e.c1000) << e.file;
  if (e.c10000 >= 0) {
    EXPECT_EQ(r.Counts[10000], e.c10000) << e.file;
  }
  // The list gives six significant digits.
  EXPECT_NEAR(r.CalOffset, e.calOffset, 1e-6) << e.file;
  EXPECT_NEAR(r.CalGain, e.calGain, 1e-6) << e.file;
  EXPECT_EQ(r.AcqDate, e.date) << e.file;
  EXPECT_EQ(r.AcqTime, e.time) << e.file;
}

TEST_F(RealSamples, MaestroChnFilesReadWithTheirKnownValues) {
  const Expected files[] = {
      // A gain of exactly 1 marks an uncalibrated spectrum: it reads as 0.
      {"chn/mcphysics_background.Chn", "650.12", "563.26", 1024, 102638, 455, 0, -1, 0, 0,
       "25Sep18", "09:27:13"},
      {"chn/mcphysics_signal.Chn", "433.48", "379.52", 1024, 93792, 849, 0, -1, 0, 0, "25Sep18",
       "09:19:33"},
      {"chn/daquiri_bronze.chn", "1595.46", "1416.06", 16384, 3117377, 1180, 5166, 19, 0.367474f,
       0.159543f, "18Sep18", "10:09:50"},
      {"chn/daquiri_bronze_prompt.chn", "1600.6", "1148.84", 16384, 2757681, 874, 461, 79,
       -0.878361f, 0.716216f, "18Sep18", "10:09:43"},
  };
  for (const Expected& e : files) check(read(e.file, FMT_CHN), e);
}

TEST_F(RealSamples, GammaVisionFilesWithTheirAcquisitionRecordAtThree) {
  const Expected files[] = {
      {"spc/becquerel_Alcatraz14.Spc", "905.42", "900", 8192, 132978, 136, 22, -1, 0.578332f,
       0.374436f, "17-SEP-2012", "13:41:07  "},
      {"spc/daquiri_IAEA433_Marine_sediment_Q39.spc", "11595.8", "10486.7", 16384, 51347002, 0,
       14606, 3, 0, 0.212068f, "11-Feb-2014", "13:14:46  "},
  };
  for (const Expected& e : files) {
    const SpectrumRecord r = read(e.file, FMT_GV_SPC);
    check(r, e);
    EXPECT_FALSE(r.SpecId.empty()) << e.file;
  }
}

TEST_F(RealSamples, AccuSpecFilesAreNotTakenForAnyFormat) {
  // A CANBERRA layout of another kind: detection must not read garbage from it.
  for (const char* file :
       {"canberra_accuspec_mca/xylib_03yag02.mca", "canberra_accuspec_mca/xylib_04nacl02.mca"}) {
    SpectrumRecord record;
    record.FileName = realSample(file);
    std::string name;
    EXPECT_EQ(DetectAndRead(record, name, LocalFiles()), kUnknownFormat) << file;
    EXPECT_EQ(ReadFormat(Format(FMT_CANBERRA), record, LocalFiles()), kNotThisFormat) << file;
  }
}

}  // namespace
}  // namespace durnix
