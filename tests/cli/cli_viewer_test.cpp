// SPDX-License-Identifier: GPL-3.0-or-later
// durnix-cli running the viewer's commands: areas of a region, adding, subtracting and
// shrinking, each result saved as the viewer saves it. The arithmetic, the shrinks and the
// save's checks themselves are tested in process by tests/viewer.

#include <gtest/gtest.h>

#include <filesystem>

#include "formats/catalogue.h"
#include "support/cli_run.h"
#include "support/records.h"
#include "support/temp_dir.h"

namespace durnix {
namespace {

using test::cli;
using test::CliRun;
using Counts = std::vector<std::int32_t>;
namespace fs = std::filesystem;

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

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
  CliRun run(std::vector<std::string> args) {
    args.insert(args.end(), {"--out", dir_.file("out")});
    return cli(args);
  }

  test::TempDir dir_;
};

TEST_F(CliViewer, RoiPrintsGrossAndNetAreas) {
  Counts counts(256, 5);
  counts[15] = 105;
  const std::string file = put("flat.rbs", FMT_RBS, counts);
  CliRun r = cli({"roi", file, "--from", "20", "--to", "10", "--json"});
  ASSERT_EQ(r.exit, 0) << r.err;
  const nlohmann::json j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["file"], file);
  EXPECT_EQ(j["from"], 10);
  EXPECT_EQ(j["to"], 20);
  EXPECT_TRUE(j["gross"].is_number_integer());
  EXPECT_EQ(j["gross"], 155);
  EXPECT_EQ(j["net"], 100.0);
  EXPECT_EQ(j["left"], 5.0);
  EXPECT_EQ(j["right"], 5.0);
  r = cli({"roi", file, "--from", "10", "--to", "20"});
  EXPECT_TRUE(contains(r.out, "Gross: 155\nNet: 100\n")) << r.out;
  EXPECT_EQ(cli({"roi", file, "--from", "12", "--to", "12"}).exit, 2);
  EXPECT_EQ(cli({"roi", file, "--from", "0", "--to", "256"}).exit, 2);
  EXPECT_EQ(cli({"roi", dir_.file("none.rbs"), "--from", "0", "--to", "5"}).exit, 1);
}

// An empty value is no number, whichever way it is given: alone, blank, "=", or among the values
// of an option that takes several.
TEST_F(CliViewer, AnEmptyNumberIsAUsageError) {
  const std::string file = put("flat.rbs", FMT_RBS, Counts(256, 5));
  for (const std::vector<std::string>& args : {
           std::vector<std::string>{"roi", file, "--from", "", "--to", "3"},
           {"roi", file, "--from", "1", "--to", " "},
           {"roi", file, "--from", "nan", "--to", "3"},
           {"shrink", file, "--linear", "0.1", ""},
           {"convert", "--to", "CHN", "--time-to-energy", "--offset=", file},
       }) {
    const CliRun r = run(args);
    EXPECT_EQ(r.exit, 2) << args[0] << " " << args[2] << " " << args[3] << "\n" << r.err;
  }
  EXPECT_TRUE(fs::is_empty(dir_.file("out")));
  EXPECT_FALSE(fs::exists(dir_.file("flat.CHN")));
}

TEST_F(CliViewer, AddAndSubtractSaveUnderTheFilesOwnName) {
  const std::string file = put("a.x", FMT_RBS, {3, 3, 7}, 2.5f);
  const std::string second = put("b.rbs", FMT_RBS, {1, 3});
  CliRun r = run({"add", file, second, "--factor", "0.5"});
  ASSERT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, dir_.file("out") + "/a.RBS\n");
  SpectrumRecord saved = readBack("a.RBS", FMT_RBS);
  EXPECT_EQ(saved.Counts, (Counts{4, 4, 7}));
  EXPECT_EQ(saved.SpecId, "sample 7");
  EXPECT_EQ(saved.CalGain, 2.5f);

  r = run({"add", file, second});
  EXPECT_EQ(r.exit, 1);
  EXPECT_TRUE(contains(r.err, "a.RBS exists")) << r.err;
  EXPECT_EQ(readBack("a.RBS", FMT_RBS).Counts, (Counts{4, 4, 7}));
  EXPECT_EQ(run({"add", file, second, "--overwrite"}).exit, 0);
  EXPECT_EQ(readBack("a.RBS", FMT_RBS).Counts, (Counts{4, 6, 7}));

  const std::string big = put("big.chn", FMT_CHN, Counts(1024, 9));
  ASSERT_EQ(run({"subtract", big, big, "--factor", "2", "--to", "AS2"}).exit, 0);
  EXPECT_EQ(readBack("big.AS2", FMT_AS2).Counts, Counts(1024, 0));

  r = run({"add", big, dir_.file("gone.rbs")});
  EXPECT_EQ(r.exit, 1);
  EXPECT_TRUE(contains(r.err, "is not found !! Retry ? (No such file or directory) No")) << r.err;
}

TEST_F(CliViewer, ShrinkTakesTheResolutionAndAnswersNoUnlessTold) {
  Counts counts(1024, 0);
  counts[100] = 1000;  // entry 101
  const std::string file = put("s.chn", FMT_CHN, counts);
  CliRun r = run({"shrink", file, "--two-channel", "--to", "AS2"});
  ASSERT_EQ(r.exit, 0) << r.err;
  Counts half(512, 0);
  half[50] = 1000;
  EXPECT_EQ(readBack("s.AS2", FMT_AS2).Counts, half);
  ASSERT_EQ(run({"shrink", file, "--constant", "1", "--to", "RBS"}).exit, 0);
  EXPECT_EQ(readBack("s.RBS", FMT_RBS).Counts.size(), 512u);

  // A value that is not a number, and one that the shrink refuses.
  for (const char* sigma : {"abc", "-2"}) {
    r = run({"shrink", file, "--to", "SPM", "--constant", sigma});
    EXPECT_EQ(r.exit, 1) << sigma;
    EXPECT_TRUE(contains(r.err, "There are some invalid data")) << r.err;
  }
  EXPECT_FALSE(fs::exists(dir_.file("out/s.SPM")));

  r = run({"shrink", file, "--two-channel", "--to", "NCL"});
  EXPECT_EQ(r.exit, 1);
  EXPECT_TRUE(contains(r.err, "s.NCL has not 1024 channel. Continue ? No")) << r.err;
  EXPECT_FALSE(fs::exists(dir_.file("out/s.NCL")));
  EXPECT_EQ(run({"shrink", file, "--two-channel", "--to", "NCL", "--yes"}).exit, 0);
}

}  // namespace
}  // namespace durnix
