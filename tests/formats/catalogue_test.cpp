// SPDX-License-Identifier: GPL-3.0-or-later
// What the formats of the catalogue share: how a chosen format is found, how writers name their
// files, the channel counts they refuse and each format's own file entry points. The table itself
// is pinned by CliFormats.ListsTheCatalogueInOrder, the layouts by the golden corpus.

#include "formats/catalogue.h"

#include <gtest/gtest.h>

#include <tuple>

#include "formats/ans.h"
#include "formats/ascii.h"
#include "formats/canberra.h"
#include "formats/chn.h"
#include "formats/gv_spc.h"
#include "formats/kodaq.h"
#include "formats/ncl_snf.h"
#include "formats/rbs.h"
#include "formats/sen.h"
#include "formats/spm.h"
#include "formats/spt.h"
#include "support/format_traits.h"
#include "support/memory_file_system.h"
#include "support/records.h"

namespace durnix {
namespace {

using test::RecordWithCounts;

TEST(Catalogue, FormatsAreFoundByNameCodeOrKeyInAnyCase) {
  const std::pair<const char*, const FormatInfo*> cases[] = {
      {"GvSpc", &Format(FMT_GV_SPC)},
      {"Canberra", &Format(FMT_CANBERRA)},
      {"13", &Format(FMT_KODAQ)},
      {"0", &Format(FMT_AUTO)},
      {"ascii with channel (as1)", &Format(FMT_AS1)},
      {"-1", nullptr},
      {"SPC", nullptr},  // three formats share that extension
      {"", nullptr}};
  for (const auto& [text, format] : cases) EXPECT_EQ(FindFormat(text), format) << text;
  // Display names are matched exactly where the program looks a chosen format up.
  EXPECT_EQ(FindFormatByDisplayName("rump (rbs)"), nullptr);
}

TEST(WriterNaming, TheTextAfterTheFirstOrLastDotOfTheOwnNameIsReplaced) {
  constexpr auto first = ExtensionRule::kAfterFirstDot;
  constexpr auto last = ExtensionRule::kAfterLastDot;
  const std::tuple<const char*, ExtensionRule, const char*> cases[] = {
      {"scan", first, "scan.AS1"},
      {"run.01.chn", first, "run.AS1"},
      {"/data.01/run.chn", first, "/data.01/run.AS1"},
      {"/data.01/run", first, "/data.01/run.AS1"},
      {"/data/run.", first, "/data/run.AS1"},
      // A hidden file's leading dot is part of its name.
      {"/data/.run.chn", first, "/data/.run.AS1"},
      {"/data/.run", first, "/data/.run.AS1"},
      {"run.01.chn", last, "run.01.AS1"},
      {"/data.01/run", last, "/data.01/run.AS1"},
      {"/data.01/.run", last, "/data.01/.run.AS1"}};
  for (const auto& [path, rule, named] : cases) {
    EXPECT_EQ(WithWriterExtension(path, "AS1", rule), named) << path;
  }
}

// Each format's own entry points name and write its file as the catalogue's writer does and read
// it back; a missing file gives 53 and no spectrum, a fixed-length layout refuses a channel short.
TEST(FormatFiles, EveryFormatsOwnEntryPointsWriteNameAndReadItsFile) {
  using Entry = FileResult (*)(SpectrumRecord&, FileSystem&);
  const std::tuple<FormatCode, Entry, Entry, const char*> formats[] = {
      {FMT_RBS, WriteRBS, ReadRBS, "run.RBS"},
      {FMT_CHN, WriteChn, ReadChn, "run.CHN"},
      {FMT_GV_SPC, WriteGvSpc, ReadGvSpc, "run.01.SPC"},
      {FMT_SPT, WriteSpt, ReadSpt, "run.SPT"},
      {FMT_SPM, WriteSpm, ReadSpm, "run.SPM"},
      {FMT_AS1, WriteAS1, ReadAS1, "run.AS1"},
      {FMT_AS2, WriteAS2, ReadAS2, "run.AS2"},
      {FMT_CANBERRA, WriteCanberra, ReadCanberra, "run.MCA"},
      {FMT_ANS, WriteAns, ReadAns, "run.ANS"},
      {FMT_SEN, WriteSEN, ReadSEN, "run.SEN"},
      {FMT_NCL, WriteNcl, ReadNcl, "run.NCL"},
      {FMT_SNF, WriteSnf, ReadSnf, "run.SNF"},
      {FMT_KODAQ, WriteKodaq, ReadKodaq, "run.SPC"}};
  for (const auto& [code, write, read, name] : formats) {
    const FormatInfo& format = Format(code);
    SCOPED_TRACE(format.displayName);
    test::MemoryFileSystem files;
    files.addFolder("/d");
    SpectrumRecord record = RecordWithCounts(test::SmoothCounts(1024));
    record.FileName = "/d/run.01.chn";
    SpectrumRecord viaCatalogue = record;
    ASSERT_EQ(write(record, files), kDone);
    EXPECT_EQ(record.FileName, "/d/" + std::string(name));
    const Bytes written = files.bytesOf(record.FileName);
    ASSERT_EQ(WriteFormat(format, viaCatalogue, files), kDone);
    EXPECT_EQ(viaCatalogue.FileName, record.FileName);
    EXPECT_TRUE(files.bytesOf(record.FileName) == written);
    SpectrumRecord back;
    back.FileName = record.FileName;
    ASSERT_EQ(read(back, files), kDone);
    EXPECT_EQ(back.Counts, test::CountsAfterWriting(code, record.Counts));
    if (code == FMT_ANS || code == FMT_NCL || code == FMT_SNF) {  // layouts of one exact length
      EXPECT_EQ(ParseFormat(format, written.substr(0, written.size() - 4), back), kNotThisFormat);
    }
    back.FileName = "/d/missing." + std::string(format.extension);
    EXPECT_EQ(read(back, files), kCannotOpen);
    EXPECT_TRUE(back.Counts.empty());
  }
}

// A writer refuses what its own reader would reject, at both ends of its channel range.
TEST(Writers, RefuseChannelCountsTheirReadersWouldReject) {
  const std::tuple<FormatCode, int, int> limits[] = {
      {FMT_CHN, 511, 16384}, {FMT_GV_SPC, 255, 16384}, {FMT_SPM, 256, 8192},
      {FMT_AS1, 256, 16384}, {FMT_AS2, 256, 16384},    {FMT_CANBERRA, 256, 8192},
      {FMT_ANS, 256, 8192},  {FMT_KODAQ, 256, 8192}};
  for (const auto& [code, low, high] : limits) {
    for (int n : {low - 1, low, high, high + 1}) {
      SpectrumRecord record =
          RecordWithCounts(std::vector<std::int32_t>(static_cast<std::size_t>(n), 1));
      Bytes file;
      EXPECT_EQ(Format(code).encode(record, file), n < low || n > high ? kDoesNotFit : kDone)
          << Format(code).displayName << ", " << n << " channels";
    }
  }
}

// Writers that change the record as they write leave it describing the file written.
TEST(Writers, ThoseThatChangeTheRecordLeaveItDescribingTheFile) {
  Bytes file;
  SpectrumRecord chn = RecordWithCounts(test::SmoothCounts(1024));
  ASSERT_EQ(EncodeChn(chn, file), kDone);
  EXPECT_EQ(chn.CalGain, 1.0f);  // an uncalibrated spectrum is written with a gain of 1
  SpectrumRecord ans = RecordWithCounts(test::SmoothCounts(1024));
  ASSERT_EQ(EncodeAns(ans, file), kDone);
  EXPECT_EQ(ans.SpecId, "Generated by Durnix 1.52.");
  EXPECT_EQ(file.substr(2, 26), "Generated by Durnix 1.52. ");
  SpectrumRecord spt = RecordWithCounts({5, 6, 7});
  std::tie(spt.SpecId, spt.AcqDate, spt.AcqTime) =
      std::make_tuple("  New Oxford  ", " 06/12/2026 ", "09:17:05 ");
  ASSERT_EQ(EncodeSpt(spt, file), kDone);
  EXPECT_EQ(spt.SpecId + "|" + spt.AcqDate + "|" + spt.AcqTime, "New Oxford|06/12/2026|09:17:05");
}

}  // namespace
}  // namespace durnix
