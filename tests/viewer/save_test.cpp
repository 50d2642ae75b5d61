// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/save.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "durnix/version.h"
#include "support/answer_script.h"
#include "support/memory_file_system.h"
#include "support/records.h"

namespace durnix {
namespace {

using Counts = std::vector<std::int32_t>;

class Save : public ::testing::Test {
 protected:
  void SetUp() override {
    files_.addFolder("/d");
    SpectrumRecord source = test::RecordWithCounts(Counts(1024, 5));
    source.SpecId = "";
    Bytes bytes;
    ASSERT_EQ(Format(FMT_RBS).encode(source, bytes), kDone);
    files_.addFile("/d/src.rbs", bytes);
  }

  SaveRequest request(Counts counts, FormatCode to, std::string path, FormatCode from = FMT_RBS) {
    SaveRequest r;
    EXPECT_TRUE(RereadSource(files_, "/d/src.rbs", Format(FMT_RBS), r.header));
    r.counts = std::move(counts);
    r.source = &Format(from);
    r.destination = &Format(to);
    r.path = std::move(path);
    return r;
  }
  SaveResult save(SaveRequest r) {
    SaveResult result = SaveSpectrum(files_, std::move(r), prompter_);
    EXPECT_EQ(prompter_.report(), "");
    prompter_.clear();
    return result;
  }
  SpectrumRecord readBack(const std::string& path, FormatCode format) {
    SpectrumRecord record;
    record.FileName = path;
    EXPECT_EQ(ReadFormat(Format(format), record, files_), kDone) << path;
    return record;
  }

  test::MemoryFileSystem files_;
  // Not the GoogleTest script of support/scripted.h: that brings in the conversion's names.
  test::AnswerScript prompter_;
};

TEST_F(Save, FilterAndNamesFollowTheCatalogueAndTheFieldsAreWritten) {
  const std::string filter = SaveFilter();
  EXPECT_EQ(filter.rfind("All Spectrum files|*.*|RUMP (RBS)|*.RBS|EG&G Maestro II (CHN)|", 0), 0u);
  EXPECT_NE(filter.find("|KODAQ (SPC)|*.SPC|ORTEC ASCII (SPE)|*.SPE|"), std::string::npos);
  // The formats of other programs that can be written come last; AccuSpec, read only, is not there.
  EXPECT_NE(filter.find("|ANSI N42.42 XML (N42)|*.N42|CSV with energies (CSV)|*.CSV|"),
            std::string::npos);
  EXPECT_EQ(filter.find("AccuSpec"), std::string::npos);
  EXPECT_EQ(std::count(filter.begin(), filter.end(), '|'), 36);
  EXPECT_EQ(SavedPath(" /d/out.a.b ", Format(FMT_CHN)), "/d/out.CHN");
  EXPECT_EQ(SavedPath("/d/out.a.b", Format(FMT_GV_SPC)), "/d/out.a.SPC");
  SpectrumRecord header;
  EXPECT_FALSE(RereadSource(files_, "/d/gone.rbs", Format(FMT_RBS), header));

  // The fields and the identifier are written at the saved path.
  SaveRequest r = request(Counts(300, 8), FMT_RBS, "/d/cal");
  r.convText = "2.5 keV";
  r.offsetText = "-1.25";
  EXPECT_EQ(save(std::move(r)).kind, SaveResult::kWritten);
  const SpectrumRecord rbs = readBack("/d/cal.RBS", FMT_RBS);
  EXPECT_EQ(std::pair(rbs.CalGain, rbs.CalOffset), std::pair(2.5f, -1.25f));
  EXPECT_EQ(rbs.SpecId, std::string("Converted using Durnix v") + kProgramVersion);
  EXPECT_EQ(rbs.Counts, Counts(300, 8));

  // An existing file is replaced only when that is allowed.
  files_.addFile("/d/old.CHN", "keep me");
  EXPECT_EQ(save(request(Counts(1024, 1), FMT_CHN, "/d/old.x")).kind, SaveResult::kExists);
  EXPECT_EQ(files_.bytesOf("/d/old.CHN"), "keep me");
  SaveRequest replacing = request(Counts(1024, 1), FMT_CHN, "/d/old.x");
  replacing.overwrite = true;
  EXPECT_EQ(save(std::move(replacing)).kind, SaveResult::kWritten);
  EXPECT_EQ(readBack("/d/old.CHN", FMT_CHN).Counts, Counts(1024, 1));
}

TEST_F(Save, FormatChecksRefuseOrAskAndAFailingWriterIsToldInTheConversionsWords) {
  prompter_.expect("/d/n.x has not 1024 channel. Continue ?", StandardButtons::kYesNo, kAnswerNo);
  SaveResult declined = save(request(Counts(2048, 1), FMT_NCL, "/d/n.x"));
  EXPECT_EQ(declined.kind, SaveResult::kDeclined);
  EXPECT_FALSE(declined.saveStaysEnabled);
  EXPECT_FALSE(files_.hasFile("/d/n.NCL"));
  prompter_.expect("/d/n.x has not 1024 channel. Continue ?", StandardButtons::kYesNo, kAnswerYes);
  EXPECT_EQ(save(request(Counts(2048, 1), FMT_NCL, "/d/n.x")).kind, SaveResult::kWritten);
  EXPECT_EQ(readBack("/d/n.NCL", FMT_NCL).Counts, Counts(1024, 1));

  // Counts the format cannot hold are said and leave no file.
  Counts kodaq(1024, 1);
  kodaq[3] = 70000;
  Counts negative(1024, 1);
  negative[0] = -1;
  const Counts big(1024, 0x1000000);
  struct Case {
    Counts counts;
    FormatCode to, from;
    SaveResult::Kind kind;
    bool saveStaysEnabled;  // true where another format may still hold the counts
    std::string message;
  };
  const std::string overflowed = "Some channel of /D/R.X is overflowed !!";
  const Case cases[] = {
      {kodaq, FMT_KODAQ, FMT_RBS, SaveResult::kRefused, true, overflowed},
      {big, FMT_SPT, FMT_AS1, SaveResult::kRefused, false, overflowed},
      {negative, FMT_NCL, FMT_RBS, SaveResult::kFailed, true, overflowed},
      {Counts(128, 1), FMT_AS1, FMT_RBS, SaveResult::kRefused, true,
       "/D/R.X has 128 channels; ASCII with channel (AS1) holds 256 to 16384 channels."},
      {Counts(255, 1), FMT_AS2, FMT_RBS, SaveResult::kRefused, true,
       "/D/R.X has 255 channels; ASCII without channel (AS2) holds 256 to 16384 channels."},
      {Counts(510, 1), FMT_CHN, FMT_RBS, SaveResult::kRefused, true,
       "/D/R.X has 510 channels; EG&G Maestro II (CHN) holds 511 to 16384 channels."},
      {Counts(8193, 1), FMT_ANS, FMT_RBS, SaveResult::kRefused, true,
       "/D/R.X has 8193 channels; QuantumX (ANS) holds 256 to 8192 channels."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Format(c.to).displayName);
    const SaveResult result = save(request(c.counts, c.to, "/d/r.x", c.from));
    EXPECT_EQ(result.kind, c.kind);
    EXPECT_EQ(result.message, c.message);
    EXPECT_EQ(result.saveStaysEnabled, c.saveStaysEnabled);
  }
  EXPECT_EQ(files_.namesIn("/d"), (std::vector<std::string>{"n.NCL", "src.rbs"}));  // none of /d/r
  EXPECT_EQ(save(request(big, FMT_SPT, "/d/r.x", FMT_RBS)).kind, SaveResult::kWritten);
  EXPECT_EQ(save(request(Counts(256, 1), FMT_AS1, "/d/r.x")).kind, SaveResult::kWritten);
  EXPECT_EQ(save(request(Counts(511, 1), FMT_CHN, "/d/r.x")).kind, SaveResult::kWritten);

  // A failing writer is told in the conversion's words.
  files_.failWrite(1, ENOSPC);
  SaveResult result = save(request(Counts(1024, 1), FMT_CHN, "/d/full"));
  EXPECT_EQ(result.kind, SaveResult::kFailed);
  EXPECT_EQ(result.status, kCannotCreate);
  EXPECT_EQ(result.message, "Disk is not ready or bad media.");
  EXPECT_EQ(result.reason, SystemErrorText(ENOSPC));
  EXPECT_TRUE(result.saveStaysEnabled);
}

}  // namespace
}  // namespace durnix
