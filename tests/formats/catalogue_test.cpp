// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/catalogue.h"

#include <gtest/gtest.h>

namespace durnix {
namespace {

TEST(Catalogue, CodesNamesMasksAndExtensionsAreFixed) {
  struct Row {
    FormatCode code;
    const char* name;
    const char* mask;
    const char* extension;
  };
  const Row rows[] = {
      {FMT_AUTO, "AUTO detection", "*.*", ""},
      {FMT_RBS, "RUMP (RBS)", "*.RBS", "RBS"},
      {FMT_CHN, "EG&G Maestro II (CHN)", "*.CHN", "CHN"},
      {FMT_GV_SPC, "EG&G GammaVision (SPC)", "*.SPC", "SPC"},
      {FMT_SPT, "New Oxford (SPT)", "*.SPT", "SPT"},
      {FMT_SPM, "Old Oxford (SPM or PCA)", "*.SPM", "SPM"},
      {FMT_AS1, "ASCII with channel (AS1)", "*.AS1", "AS1"},
      {FMT_AS2, "ASCII without channel (AS2)", "*.AS2", "AS2"},
      {FMT_CANBERRA, "CANBERRA (SPC)", "*.SPC", "MCA"},
      {FMT_ANS, "QuantumX (ANS)", "*.ANS", "ANS"},
      {FMT_SEN, "SENRAS (SEN)", "*.SEN", "SEN"},
      {FMT_NCL, "NUCLEUS (NCL)", "*.NCL", "NCL"},
      {FMT_SNF, "Charles Evans Hypra (SNF)", "*.SNF", "SNF"},
      {FMT_KODAQ, "KODAQ (SPC)", "*.SPC", "SPC"},
  };
  ASSERT_EQ(std::size(rows), FormatCatalogue().size());
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const FormatInfo& f = FormatCatalogue()[i];
    EXPECT_EQ(f.code, rows[i].code);
    EXPECT_EQ(static_cast<std::size_t>(f.code), i);
    EXPECT_EQ(f.displayName, rows[i].name);
    EXPECT_EQ(f.mask, rows[i].mask);
    EXPECT_EQ(f.extension, rows[i].extension);
    EXPECT_EQ(FindFormatByDisplayName(rows[i].name), &f);
  }
  EXPECT_FALSE(Format(FMT_AUTO).readable());
  EXPECT_FALSE(Format(FMT_AUTO).writable());
}

TEST(Catalogue, FormatsAreFoundByNameCodeOrKeyInAnyCase) {
  EXPECT_EQ(FindFormat("rbs"), &Format(FMT_RBS));
  EXPECT_EQ(FindFormat("1"), &Format(FMT_RBS));
  EXPECT_EQ(FindFormat("ascii with channel (as1)"), &Format(FMT_AS1));
  EXPECT_EQ(FindFormat("GvSpc"), &Format(FMT_GV_SPC));
  EXPECT_EQ(FindFormat("Canberra"), &Format(FMT_CANBERRA));
  EXPECT_EQ(FindFormat("13"), &Format(FMT_KODAQ));
  EXPECT_EQ(FindFormat("0"), &Format(FMT_AUTO));
  EXPECT_EQ(FindFormat("auto"), &Format(FMT_AUTO));
  EXPECT_EQ(FindFormat("14"), nullptr);
  EXPECT_EQ(FindFormat("-1"), nullptr);
  EXPECT_EQ(FindFormat("SPC"), nullptr);  // three formats share that extension
  EXPECT_EQ(FindFormat(""), nullptr);
  // Display names are matched exactly where the program looks a chosen format up.
  EXPECT_EQ(FindFormatByDisplayName("rump (rbs)"), nullptr);
}

TEST(WriterNaming, TextAfterTheFirstDotOfTheNameIsReplaced) {
  EXPECT_EQ(WithWriterExtension("scan", "AS1"), "scan.AS1");
  EXPECT_EQ(WithWriterExtension("run.01.chn", "RBS"), "run.RBS");
  EXPECT_EQ(WithWriterExtension("a.b.chn", "AS1"), "a.AS1");
  EXPECT_EQ(WithWriterExtension("/data.01/run.chn", "AS1"), "/data.01/run.AS1");
  EXPECT_EQ(WithWriterExtension("/data.01/run", "AS1"), "/data.01/run.AS1");
  EXPECT_EQ(WithWriterExtension("/data/run.", "SEN"), "/data/run.SEN");
  // A hidden file's leading dot is part of its name.
  EXPECT_EQ(WithWriterExtension("/data/.run.chn", "RBS"), "/data/.run.RBS");
  EXPECT_EQ(WithWriterExtension("/data/.run", "RBS"), "/data/.run.RBS");
}

TEST(WriterNaming, LastDotRuleReplacesOnlyTheLastExtension) {
  constexpr auto last = ExtensionRule::kAfterLastDot;
  EXPECT_EQ(WithWriterExtension("run.01.chn", "SPC", last), "run.01.SPC");
  EXPECT_EQ(WithWriterExtension("/data.01/run", "SPC", last), "/data.01/run.SPC");
  EXPECT_EQ(WithWriterExtension("/data.01/.run", "SPC", last), "/data.01/.run.SPC");
}

}  // namespace
}  // namespace durnix
