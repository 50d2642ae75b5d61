// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/stamp.h"

#include <gtest/gtest.h>

#include "formats/rbs.h"
#include "formats/sen.h"
#include "support/records.h"
#include "support/temp_dir.h"

namespace durnix {
namespace {

TEST(StrictNumbers, TheWholeTextMustBeANumber) {
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
}

TEST(StampEditing, StoresFieldsInOrderUntilOneFails) {
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
  EXPECT_EQ(stamp.Version, "2.0");
  EXPECT_EQ(stamp.AtomicNo, 3);
  EXPECT_EQ(stamp.Mass, 7.016f);
  EXPECT_EQ(stamp.Geometry, 1);
  EXPECT_EQ(stamp.Omega, 5.0f);

  // A field that does not convert: those before it are stored, the rest keep their values.
  texts.AtomicNo = "6";
  texts.ChargeUC = "lots";
  texts.CalGain = "9";
  EXPECT_EQ(CommitRumpDialog(texts, RumpEditorTarget{}, stamp, LocalFiles()), kInvalidData);
  EXPECT_EQ(stamp.AtomicNo, 6);
  EXPECT_EQ(stamp.CalGain, 0.0f);
  texts.ChargeUC = "1";
  texts.Geometry = "No Geom";
  ASSERT_TRUE(StoreStampTexts(texts, stamp));
  EXPECT_EQ(stamp.Geometry, -1);
  EXPECT_EQ(StampTexts(stamp).Geometry, "No Geom");
  EXPECT_EQ(StampTexts(stamp).Mass, "7.016");
}

TEST(HeaderEditing, CaptionsNameTheKind) {
  EXPECT_EQ(HeaderEditorCaption(HeaderKind::kRump, "a.rbs"), "Edit Rump Data : a.rbs");
  EXPECT_EQ(HeaderEditorCaption(HeaderKind::kSenras, "a.sen"), "Edit SENRAS Data : a.sen");
  EXPECT_EQ(HeaderKindOfCaption("Edit SENRAS Data : a.sen"), HeaderKind::kSenras);
  EXPECT_EQ(HeaderKindOfCaption("Edit Rump Data : a.rbs"), HeaderKind::kRump);
}

class HeaderFile : public ::testing::Test {
 protected:
  // An RBS or SEN file under a name whose extension the writers would not choose.
  std::string file(const std::string& name, Status (*encode)(const SpectrumRecord&, Bytes&)) {
    SpectrumRecord r = test::RecordWithCounts(test::SmoothCounts(1024));
    r.SpecId = "sample 7";
    r.RealTime = "900";
    r.LiveTime = "880";
    r.Mass = 4.0026f;
    r.Psi = 3;
    Bytes bytes;
    EXPECT_EQ(encode(r, bytes), kDone);
    test::WriteWhole(dir_.file(name), bytes);
    return dir_.file(name);
  }
  test::TempDir dir_;
};

TEST_F(HeaderFile, RumpHeaderIsRewrittenInPlace) {
  // A name that ends in a blank is a name like any other.
  const std::string path = file("run.01.rbs ", EncodeRBS);
  SpectrumRecord record;
  HeaderKind kind = HeaderKind::kSenras;
  ASSERT_EQ(ReadHeaderFile(path, record, kind, LocalFiles()), kDone);
  EXPECT_EQ(kind, HeaderKind::kRump);
  RumpDialogTexts texts = HeaderTexts(record);
  texts.Date = "06-Dec-26";
  texts.BeamMeV = "2.275";
  texts.Psi = "7";
  texts.Geometry = "IBM";
  StampData untouched;
  const RumpEditorTarget target{true, HeaderEditorCaption(kind, "run.01.rbs "), path};
  ASSERT_EQ(CommitRumpDialog(texts, target, untouched, LocalFiles()), kDone);
  EXPECT_EQ(untouched, StampData());
  SpectrumRecord back;
  back.FileName = path;  // the same file, not run.RBS
  ASSERT_EQ(ReadRBS(back, LocalFiles()), kDone);
  EXPECT_EQ(back.BeamMeV, 2.275f);
  EXPECT_EQ(back.Psi, 7.0f);
  EXPECT_EQ(back.Geometry, 1);
  EXPECT_EQ(back.AcqDate, "06-Dec-26");
  EXPECT_EQ(back.Counts, record.Counts);
  EXPECT_EQ(back.SpecId, "sample 7");
  EXPECT_EQ(back.RealTime, "900");
}

TEST_F(HeaderFile, SenrasIgnoresWhatItDoesNotCarry) {
  const std::string path = file("run.sen", EncodeSEN);
  SpectrumRecord record;
  HeaderKind kind = HeaderKind::kRump;
  ASSERT_EQ(ReadHeaderFile(path, record, kind, LocalFiles()), kDone);
  EXPECT_EQ(kind, HeaderKind::kSenras);
  RumpDialogTexts texts = HeaderTexts(record);
  texts.Mass = "No used";
  texts.ChargeState = "No used";
  texts.CurrentNA = "No used";
  texts.StartCh = "99";
  texts.Psi = "5";
  texts.Phi = "160";
  ASSERT_EQ(CommitHeaderFile(path, kind, texts, LocalFiles()), kDone);
  SpectrumRecord back;
  back.FileName = path;
  ASSERT_EQ(ReadSEN(back, LocalFiles()), kDone);
  EXPECT_EQ(back.Phi, 160.0f);
  EXPECT_EQ(back.Psi, 0.0f);
  EXPECT_EQ(back.StartCh, 0.0f);
}

TEST_F(HeaderFile, NothingIsWrittenUnlessEverythingConvertsAndTheFileReads) {
  const std::string path = file("keep.rbs", EncodeRBS);
  const Bytes before = test::ReadWhole(path);
  SpectrumRecord record;
  HeaderKind kind;
  ASSERT_EQ(ReadHeaderFile(path, record, kind, LocalFiles()), kDone);
  RumpDialogTexts texts = HeaderTexts(record);
  texts.BeamMeV = "2.0";
  texts.Omega = "";
  EXPECT_EQ(CommitHeaderFile(path, kind, texts, LocalFiles()), kInvalidData);
  EXPECT_EQ(test::ReadWhole(path), before);
  // The file changed under the editor and is no longer an RBS file: it is not replaced.
  test::WriteWhole(path, "damaged");
  texts.Omega = "1";
  EXPECT_EQ(CommitHeaderFile(path, kind, texts, LocalFiles()), kNotThisFormat);
  EXPECT_EQ(test::ReadWhole(path), "damaged");
  EXPECT_EQ(CommitHeaderFile(dir_.file("vanished.rbs"), kind, texts, LocalFiles()), kCannotOpen);
  EXPECT_EQ(ReadHeaderFile(dir_.file("vanished.rbs"), record, kind, LocalFiles()), kCannotOpen);
  test::WriteWhole(dir_.file("other.txt"), "text");
  EXPECT_EQ(ReadHeaderFile(dir_.file("other.txt"), record, kind, LocalFiles()), kNotThisFormat);
}

}  // namespace
}  // namespace durnix
