// SPDX-License-Identifier: GPL-3.0-or-later
// durnix-cli running the viewer's commands: areas of a region, adding, subtracting and
// shrinking, each result saved as the viewer saves it. The arithmetic, the shrinks and the
// save's checks themselves are tested in process by tests/viewer.

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "formats/catalogue.h"
#include "support/cli_run.h"
#include "support/records.h"
#include "support/temp_dir.h"

namespace durnix {

using test::ExpectCli;

namespace {

using test::CliRun;
using Counts = std::vector<std::int32_t>;
namespace fs = std::filesystem;

class CliViewer : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directory(dir_.file("out")); }

  // Writes `counts` as `name` in `format` beside the output folder; returns the path.
  std::string put(const std::string& name, FormatCode format, Counts counts, float gain = 0) {
    SpectrumRecord record = test::RecordWithCounts(std::move(counts));
    record.SpecId = "sample 7";
    record.CalGain = gain;
    Bytes bytes;
    EXPECT_EQ(Format(format).encode(record, bytes), kDone) << name;
    test::WriteWhole(dir_.file(name), bytes);
    return dir_.file(name);
  }
  SpectrumRecord readBack(const std::string& name, FormatCode format) {
    SpectrumRecord record;
    record.FileName = dir_.file("out/" + name);
    EXPECT_EQ(ReadFormat(Format(format), record, LocalFiles()), kDone) << name;
    return record;
  }
  // Runs durnix-cli into the output folder as ExpectCli does; a refused run writes nothing there.
  CliRun run(std::vector<std::string> args, int exit, const std::vector<std::string>& says = {}) {
    const auto before = std::distance(fs::directory_iterator(dir_.file("out")), {});
    args.insert(args.end(), {"--out", dir_.file("out")});
    const CliRun r = ExpectCli(args, exit, says);
    if (exit != 0) {
      EXPECT_EQ(std::distance(fs::directory_iterator(dir_.file("out")), {}), before);
    }
    return r;
  }

  test::TempDir dir_;
};

// An empty value is no number, whichever way it is given: alone, blank, "=", or among the values
// of an option that takes several.
TEST_F(CliViewer, RoiPrintsGrossAndNetAreasAndAnEmptyNumberIsAUsageError) {
  Counts counts(256, 5);
  counts[15] = 105;
  const std::string file = put("flat.rbs", FMT_RBS, counts), out = dir_.file("out");
  CliRun r = ExpectCli({"roi", file, "--from", "20", "--to", "10", "--json"}, 0);
  // The region comes in order; the gross area is a whole number, the others need not be.
  EXPECT_EQ(r.out, R"({"file":")" + file +
                       R"(","from":10,"to":20,"gross":155,"net":100.0,"left":5.0,"right":5.0})"
                       "\n");
  r = ExpectCli({"roi", file, "--from", "10", "--to", "20"}, 0);
  EXPECT_NE(r.out.find("Gross: 155\nNet: 100\n"), std::string::npos) << r.out;
  ExpectCli({"roi", dir_.file("none.rbs"), "--from", "0", "--to", "5"}, 1, {"is not found !!"});
  for (const std::vector<std::string>& args : {
           std::vector<std::string>{"roi", file, "--from", "12", "--to", "12"},
           {"roi", file, "--from", "0", "--to", "256"},
           {"roi", file, "--from", "", "--to", "3"},
           {"roi", file, "--from", "1", "--to", " "},
           {"roi", file, "--from", "nan", "--to", "3"},
           {"shrink", file, "--linear", "0.1", "", "--out", out},
           {"convert", "--to", "CHN", "--time-to-energy", "--offset=", "--out", out, file},
       }) {
    ExpectCli(args, 2);
  }
  EXPECT_TRUE(fs::is_empty(out));
  EXPECT_FALSE(fs::exists(dir_.file("flat.CHN")));
}

TEST_F(CliViewer, AddAndSubtractSaveUnderTheFilesOwnName) {
  const std::string file = put("a.x", FMT_RBS, {3, 3, 7}, 2.5f);
  const std::string second = put("b.rbs", FMT_RBS, {1, 3});
  EXPECT_EQ(run({"add", file, second, "--factor", "0.5"}, 0).out, dir_.file("out") + "/a.RBS\n");
  const SpectrumRecord saved = readBack("a.RBS", FMT_RBS);
  EXPECT_EQ(std::tie(saved.Counts, saved.SpecId, saved.CalGain),
            std::make_tuple(Counts{4, 4, 7}, std::string("sample 7"), 2.5f));

  run({"add", file, second}, 1, {"a.RBS exists"});
  EXPECT_EQ(readBack("a.RBS", FMT_RBS).Counts, (Counts{4, 4, 7}));
  run({"add", file, second, "--overwrite"}, 0);
  EXPECT_EQ(readBack("a.RBS", FMT_RBS).Counts, (Counts{4, 6, 7}));

  const std::string big = put("big.chn", FMT_CHN, Counts(1024, 9));
  run({"subtract", big, big, "--factor", "2", "--to", "AS2"}, 0);
  EXPECT_EQ(readBack("big.AS2", FMT_AS2).Counts, Counts(1024, 0));

  run({"add", big, dir_.file("gone.rbs")}, 1,
      {"is not found !! Retry ? (No such file or directory) No"});
}

TEST_F(CliViewer, ShrinkTakesTheResolutionAndAnswersNoUnlessTold) {
  Counts counts(1024, 0);
  counts[100] = 1000;  // entry 101
  const std::string file = put("s.chn", FMT_CHN, counts);
  run({"shrink", file, "--two-channel", "--to", "AS2"}, 0);
  Counts half(512, 0);
  half[50] = 1000;
  EXPECT_EQ(readBack("s.AS2", FMT_AS2).Counts, half);
  run({"shrink", file, "--constant", "1", "--to", "RBS"}, 0);
  EXPECT_EQ(readBack("s.RBS", FMT_RBS).Counts.size(), 512u);

  // A value that is not a number, and one that the shrink refuses.
  for (const char* sigma : {"abc", "-2"}) {
    run({"shrink", file, "--to", "SPM", "--constant", sigma}, 1, {"There are some invalid data"});
  }
  run({"shrink", file, "--two-channel", "--to", "NCL"}, 1,
      {"s.NCL has not 1024 channel. Continue ? No"});
  run({"shrink", file, "--two-channel", "--to", "NCL", "--yes"}, 0);
}

}  // namespace
}  // namespace durnix
