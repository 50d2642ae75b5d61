// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/stamp.h"

#include <gtest/gtest.h>

#include <tuple>

#include "formats/rbs.h"
#include "formats/sen.h"
#include "support/records.h"
#include "support/temp_dir.h"

namespace durnix {
namespace {

TEST(StampEditing, NumbersAreWholeTextsAndFieldsAreStoredInOrderUntilOneFails) {
  double v = 0;
  for (const char* good : {"12", " -0.5 ", "1e-3", "+4", "2.", ".5"}) {
    EXPECT_TRUE(StrictNumber(good, v)) << good;
  }
  EXPECT_EQ(v, 0.5);
  for (const char* bad :
       {"", "  ", "12a", "1,5", "abc", "nan", "inf", "1e", "- 3", "0x10", "1e999"}) {
    EXPECT_FALSE(StrictNumber(bad, v)) << bad;
  }
  std::int16_t i = 0;
  EXPECT_TRUE(StrictInt16("2.5", i));
  EXPECT_EQ(i, 2);
  EXPECT_TRUE(StrictInt16("-32768", i));
  EXPECT_FALSE(StrictInt16("32768", i));
  float f = 0;
  EXPECT_FALSE(StrictSingle("1e39", f));
  StampData stamp;
  stamp.Geometry = 1;
  RumpDialogTexts texts = StampTexts(stamp);
  texts.Version = "  2.0 ";
  texts.AtomicNo = "3";
  texts.Mass = "7.016";
  texts.BeamMeV = "2.5";
  texts.Geometry = "Sideways";  // not in the list: the geometry stays
  texts.Omega = "5";
  ASSERT_TRUE(StoreStampTexts(texts, stamp));
  EXPECT_EQ(std::tuple(stamp.Version, stamp.AtomicNo, stamp.Mass, stamp.Geometry, stamp.Omega),
            std::tuple("2.0", 3, 7.016f, 1, 5.0f));

  // A field that does not convert: those before it are stored, the rest keep their values.
  texts.AtomicNo = "6";
  texts.ChargeUC = "lots";
  texts.CalGain = "9";
  EXPECT_EQ(CommitRumpDialog(texts, RumpEditorTarget{}, stamp, LocalFiles()), kInvalidData);
  EXPECT_EQ(std::tuple(stamp.AtomicNo, stamp.CalGain), std::tuple(6, 0.0f));
  texts.ChargeUC = "1";
  texts.Geometry = "No Geom";
  ASSERT_TRUE(StoreStampTexts(texts, stamp));
  EXPECT_EQ(stamp.Geometry, -1);
  EXPECT_EQ(StampTexts(stamp).Geometry + " " + StampTexts(stamp).Mass, "No Geom 7.016");
}

class HeaderFile : public ::testing::Test {
 protected:
  // Writes an RBS or SEN file under a name whose extension the writers would not choose, reads
  // its header as the editor does and gives the editor's texts.
  RumpDialogTexts opened(const std::string& name, Status (*encode)(const SpectrumRecord&, Bytes&),
                         HeaderKind expected) {
    SpectrumRecord r = test::RecordWithCounts(test::SmoothCounts(1024));
    r.SpecId = "sample 7";
    r.RealTime = "900";
    r.Mass = 4.0026f;
    r.Psi = 3;
    Bytes bytes;
    EXPECT_EQ(encode(r, bytes), kDone);
    path_ = dir_.file(name);
    test::WriteWhole(path_, bytes);
    kind_ = expected == HeaderKind::kRump ? HeaderKind::kSenras : HeaderKind::kRump;
    EXPECT_EQ(ReadHeaderFile(path_, record_, kind_, LocalFiles()), kDone);
    EXPECT_EQ(kind_, expected);
    return HeaderTexts(record_);
  }
  test::TempDir dir_;
  std::string path_;
  SpectrumRecord record_;
  HeaderKind kind_;
};

TEST_F(HeaderFile, RumpHeaderIsRewrittenInPlace) {
  // A name that ends in a blank is a name like any other.
  RumpDialogTexts texts = opened("run.01.rbs ", EncodeRBS, HeaderKind::kRump);
  texts.Date = "06-Dec-26";
  texts.BeamMeV = "2.275";
  texts.Psi = "7";
  texts.Geometry = "IBM";
  StampData untouched;
  const RumpEditorTarget target{true, HeaderEditorCaption(kind_, "run.01.rbs "), path_};
  EXPECT_EQ(target.caption, "Edit Rump Data : run.01.rbs ");
  ASSERT_EQ(CommitRumpDialog(texts, target, untouched, LocalFiles()), kDone);
  EXPECT_EQ(untouched, StampData());
  SpectrumRecord back;
  back.FileName = path_;  // the same file, not run.RBS
  ASSERT_EQ(ReadRBS(back, LocalFiles()), kDone);
  EXPECT_EQ(std::tuple(back.BeamMeV, back.Psi, back.Geometry, back.AcqDate),
            std::tuple(2.275f, 7.0f, 1, "06-Dec-26"));
  // What the editor does not show stays.
  EXPECT_EQ(back.Counts, record_.Counts);
  EXPECT_EQ(back.SpecId + "|" + back.RealTime, "sample 7|900");
}

TEST_F(HeaderFile, SenrasIgnoresWhatItDoesNotCarry) {
  RumpDialogTexts texts = opened("run.sen", EncodeSEN, HeaderKind::kSenras);
  texts.Mass = "No used";
  texts.ChargeState = "No used";
  texts.CurrentNA = "No used";
  texts.StartCh = "99";
  texts.Psi = "5";
  texts.Phi = "160";
  const RumpEditorTarget target{true, HeaderEditorCaption(kind_, "run.sen"), path_};
  EXPECT_EQ(target.caption, "Edit SENRAS Data : run.sen");
  StampData untouched;
  ASSERT_EQ(CommitRumpDialog(texts, target, untouched, LocalFiles()), kDone);
  SpectrumRecord back;
  back.FileName = path_;
  ASSERT_EQ(ReadSEN(back, LocalFiles()), kDone);
  EXPECT_EQ(std::tuple(back.Phi, back.Psi, back.StartCh), std::tuple(160.0f, 0.0f, 0.0f));
}

TEST_F(HeaderFile, NothingIsWrittenUnlessEverythingConvertsAndTheFileReads) {
  RumpDialogTexts texts = opened("keep.rbs", EncodeRBS, HeaderKind::kRump);
  const Bytes before = test::ReadWhole(path_);
  texts.BeamMeV = "2.0";
  texts.Omega = "";
  EXPECT_EQ(CommitHeaderFile(path_, kind_, texts, LocalFiles()), kInvalidData);
  EXPECT_EQ(test::ReadWhole(path_), before);
  // The file changed under the editor and is no longer an RBS file: it is not replaced.
  test::WriteWhole(path_, "damaged");
  texts.Omega = "1";
  EXPECT_EQ(CommitHeaderFile(path_, kind_, texts, LocalFiles()), kNotThisFormat);
  EXPECT_EQ(test::ReadWhole(path_), "damaged");
  EXPECT_EQ(CommitHeaderFile(dir_.file("vanished.rbs"), kind_, texts, LocalFiles()), kCannotOpen);
  EXPECT_EQ(ReadHeaderFile(dir_.file("vanished.rbs"), record_, kind_, LocalFiles()), kCannotOpen);
  test::WriteWhole(dir_.file("other.txt"), "text");
  EXPECT_EQ(ReadHeaderFile(dir_.file("other.txt"), record_, kind_, LocalFiles()), kNotThisFormat);
}

}  // namespace
}  // namespace durnix
