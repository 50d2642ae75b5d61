// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/view_command.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "formats/text_rules.h"
#include "support/answer_script.h"
#include "support/memory_file_system.h"
#include "support/records.h"

namespace durnix {
namespace {

class Opened : public ViewerOpener {
 public:
  void OpenViewer(ViewedSpectrum& s) override {
    names.push_back(s.fileName + "@" + std::to_string(s.position) + ":" +
                    std::string(s.format->key));
    counts.push_back(s.record.Counts);
  }
  std::vector<std::string> names;
  std::vector<std::vector<std::int32_t>> counts;
};

Bytes Encoded(FormatCode code, std::vector<std::int32_t> counts) {
  SpectrumRecord record;
  record.ChannelCount = static_cast<std::int16_t>(counts.size());
  record.Counts = std::move(counts);
  Bytes bytes;
  EXPECT_EQ(Format(code).encode(record, bytes), kDone);
  return bytes;
}

TEST(ViewCommand, TitlesNumbersAndCalibrationFields) {
  EXPECT_EQ(ViewerNumberOfTitle(" 12   View Spectrum : x - zoomed"), 12);
  EXPECT_EQ(ViewerNumberOfTitle("View Spectrum"), 0);
  EXPECT_EQ(GainFieldText(0.0f), "");
  EXPECT_EQ(GainFieldText(2.123456f), "2.12346");
  EXPECT_EQ(GainFieldText(2.0f), "2.");
  EXPECT_EQ(OffsetFieldText(-25.4f), "-25.4");
  EXPECT_EQ(OffsetFieldText(0.0f), "");
  EXPECT_EQ(DigitPatternText(0.4, 0), "");
  EXPECT_EQ(DigitPatternText(-1234.5, 0), "-1234");  // halves to even
}

TEST(ViewCommand, ReadsTheSelectionSkipsFoldersAndAsksAboutFailures) {
  test::MemoryFileSystem files;
  files.addFolder("/d");
  files.addFolder("/d/sub");
  files.addFile("/d/a.AS2", Encoded(FMT_AS2, std::vector<std::int32_t>(256, 7)));
  files.addFile("/d/junk", Bytes(40, '\x03'));
  files.addFile("/d/ox.SPT", Encoded(FMT_SPT, std::vector<std::int32_t>(256, 0x1234567)));
  files.addFile("/d/gone.AS2", Encoded(FMT_AS2, std::vector<std::int32_t>(256, 1)));
  files.failRead("/d/gone.AS2", EIO);
  test::AnswerScript answers;
  answers.expect("/D/JUNK has unknown format !!", StandardButtons::kOkCancel, kAnswerOk)
      .expect("Disk is not ready or /D/GONE.AS2 is not found !!",
              StandardButtons::kAbortRetryIgnore, kAnswerRetry)
      .expect("Disk is not ready or /D/GONE.AS2 is not found !!",
              StandardButtons::kAbortRetryIgnore, kAnswerIgnore);
  Opened opened;
  EXPECT_TRUE(ViewSpectra(files, "/d/", {"sub", "a.AS2", "junk", "gone.AS2", "ox.SPT"},
                          {16, 32, 32, 32, 32}, "AUTO detection", answers, opened));
  EXPECT_EQ(answers.report(), "");
  EXPECT_EQ(opened.names, (std::vector<std::string>{"a.AS2@1:AS2", "ox.SPT@4:SPT"}));
  EXPECT_EQ(opened.counts[1][0], 0x234567);  // an Oxford count keeps its lowest 24 bits
  EXPECT_EQ(answers.questions()[1].reason, "Input/output error");

  // The chosen format's words, and Cancel ends the command; nothing selected says so.
  answers.clear();
  answers.expect("/D/JUNK has not RUMP (RBS) format !!", StandardButtons::kOkCancel, kAnswerCancel);
  Opened none;
  EXPECT_FALSE(ViewSpectra(files, "/d/", {"junk", "a.AS2"}, {32, 32}, "RUMP (RBS)", answers, none));
  answers.expect("No file is selected !!", kAnswerOk);
  EXPECT_FALSE(ViewSpectra(files, "/d/", {}, {}, "AUTO detection", answers, none));
  EXPECT_EQ(answers.report(), "");
  EXPECT_TRUE(none.names.empty());
}

}  // namespace
}  // namespace durnix
