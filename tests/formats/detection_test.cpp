// SPDX-License-Identifier: GPL-3.0-or-later
// Detection of every file of the golden corpus is pinned by its "AUTO" reads; these cases reach
// empty input, the file system, and the files of other programs, recognised by their signatures
// and carried from one of their formats to another.
#include "formats/detection.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "formats/ascii.h"
#include "formats/catalogue.h"
#include "formats/text_rules.h"
#include "support/memory_file_system.h"
#include "support/records.h"
#include "support/temp_dir.h"

namespace durnix {
namespace {

// An empty file is unknown, a missing one or a folder gives 53; neither leaves counts.
TEST(Detection, FilesAreReadThroughTheFileSystem) {
  test::MemoryFileSystem files;
  Bytes as2;
  ASSERT_EQ(EncodeAS2(test::RecordWithCounts(test::SmoothCounts(256)), as2), kDone);
  files.addFile("/d/film", as2);
  files.addFile("/d/empty", "");
  SpectrumRecord record;
  record.FileName = "/d/film";
  std::string name;
  EXPECT_EQ(DetectAndRead(record, name, files), kDone);
  EXPECT_EQ(name, "ASCII without channel (AS2)");
  const std::pair<const char*, Status> failures[] = {
      {"/d/empty", kUnknownFormat}, {"/d/vanished.RBS", kCannotOpen}, {"/d", kCannotOpen}};
  for (const auto& [path, status] : failures) {
    record = test::RecordWithCounts({1});
    record.FileName = path;
    name = "stale";
    EXPECT_EQ(DetectAndRead(record, name, files), status) << path;
    EXPECT_EQ(name, "") << path;
    EXPECT_TRUE(record.Counts.empty()) << path;
  }
}

TEST(Detection, FilesOfOtherProgramsAndTheirRoundTrips) {
  const std::string samples = DURNIX_REAL_SAMPLES_DIR;
  if (!std::filesystem::exists(samples + "/multi")) GTEST_SKIP() << "no real samples";
  // The IEC and N42 files were once taken for ASCII with channel; the AccuSpec files for none.
  const std::pair<const char*, FormatCode> cases[] = {
      {"multi/becquerel_hpge_dummy_test_01.iec", FMT_IEC},
      {"multi/specutils_Mn56_DetX_Shielded.n42", FMT_N42},
      {"multi/becquerel_nai_detector.spe", FMT_SPE},
      {"canberra_accuspec_mca/xylib_03yag02.mca", FMT_MCA},
      {"canberra_accuspec_mca/xylib_04nacl02.mca", FMT_MCA},
  };
  for (const auto& [file, format] : cases) {
    SCOPED_TRACE(file);
    const std::string bytes = test::ReadWhole(samples + "/" + file);
    SpectrumRecord record;
    std::string name;
    ASSERT_EQ(DetectAndRead(bytes, record, name), kDone);
    EXPECT_EQ(name, Format(format).displayName);
    // Through each writable format of other programs and back into the first one that can be
    // written: the counts and what every one of them holds come back.
    for (const FormatCode through : {FMT_SPE, FMT_IEC, FMT_N42, FMT_CSV}) {
      SCOPED_TRACE(Format(through).displayName);
      SpectrumRecord work = record;
      Bytes written;
      ASSERT_EQ(Format(through).encode(work, written), kDone);
      SpectrumRecord again;
      ASSERT_EQ(DetectAndRead(written, again, name), kDone);
      EXPECT_EQ(name, Format(through).displayName);
      EXPECT_EQ(again.Counts, record.Counts);
      EXPECT_FLOAT_EQ(again.CalGain, record.CalGain);
      EXPECT_NEAR(again.CalOffset, record.CalOffset, 1e-5);
      if (through == FMT_CSV) continue;  // channels and energies only
      EXPECT_EQ(again.AcqDate.empty(), record.AcqDate.empty());
      EXPECT_DOUBLE_EQ(NumericPrefix(again.LiveTime), NumericPrefix(record.LiveTime));
      EXPECT_DOUBLE_EQ(NumericPrefix(again.RealTime), NumericPrefix(record.RealTime));
    }
  }
}

}  // namespace
}  // namespace durnix
