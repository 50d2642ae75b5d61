// SPDX-License-Identifier: GPL-3.0-or-later
// durnix-cli as a user runs it: the golden corpus in tests/data (made by an independent
// implementation of the layouts, see tests/data/make_golden.py) must be read field for field by
// `info --json` and written byte for byte by `convert`.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "formats/text_rules.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace durnix {
namespace {

using nlohmann::json;
using test::cli;
using test::CliRun;
using test::jsonLines;
namespace fs = std::filesystem;

json golden() {
  std::ifstream in(test::DataFile("golden.json"));
  return json::parse(in);
}

// The expected output of converting `source` to `to` in the corpus.
std::string expectedConvert(const std::string& source, const std::string& to) {
  const json corpus = golden();
  for (const json& c : corpus["converts"]) {
    if (c["source"] == source && c["to"] == to && c.contains("expected")) return c["expected"];
  }
  ADD_FAILURE() << "no conversion of " << source << " to " << to << " in the corpus";
  return {};
}

void expectSameRecord(const json& expected, const json& actual, const std::string& file) {
  for (const auto& [key, value] : expected.items()) {
    ASSERT_TRUE(actual.contains(key)) << file << ": " << key;
    if (value.is_number_float() || actual[key].is_number_float()) {
      EXPECT_EQ(value.get<double>() == 0 ? 0.0f : value.get<float>(), actual[key].get<float>())
          << file << ": " << key;
    } else {
      EXPECT_EQ(value, actual[key]) << file << ": " << key;
    }
  }
}

TEST(CliGolden, InfoJsonReadsEveryFileOfTheCorpus) {
  std::map<std::string, std::vector<json>> byFormat;
  const json corpus = golden();
  for (const json& read : corpus["reads"]) byFormat[read["from"]].push_back(read);
  int checked = 0;
  for (const auto& [from, reads] : byFormat) {
    std::vector<std::string> args = {"info", "--json", "--from", from};
    for (const json& read : reads) args.push_back(test::DataFile(read["file"].get<std::string>()));
    const CliRun run = cli(args);
    const std::vector<json> lines = jsonLines(run.out);
    ASSERT_EQ(lines.size(), reads.size()) << from << "\n" << run.err;
    bool anyFailed = false;
    for (std::size_t i = 0; i < reads.size(); ++i) {
      const json& want = reads[i];
      const json& got = lines[i];
      const std::string file = want["file"];
      EXPECT_EQ(got["file"], test::DataFile(file));
      EXPECT_EQ(got["status"], want["status"]) << file << " from " << from;
      EXPECT_EQ(got["format"], want["format"]) << file << " from " << from;
      if (want["status"] != 0) {
        anyFailed = true;
        EXPECT_EQ(got["ChannelCount"], 0) << file;
        EXPECT_TRUE(got["Counts"].empty()) << file;
      } else {
        expectSameRecord(want["record"], got, file);
      }
      ++checked;
    }
    EXPECT_EQ(run.exit, anyFailed ? 1 : 0) << from;
  }
  EXPECT_GT(checked, 100);
}

TEST(CliGolden, ConvertWritesEveryExpectedFileByteForByte) {
  int compared = 0;
  const json corpus = golden();
  for (const json& convert : corpus["converts"]) {
    test::TempDir out;
    const std::string source = test::DataFile(convert["source"].get<std::string>());
    const CliRun run = cli({"convert", "--yes", "--from", convert["from"], "--to", convert["to"],
                            "--out", out.path(), source});
    const auto written = std::vector<fs::directory_entry>(fs::directory_iterator(out.path()), {});
    if (convert["status"] == 0) {
      ASSERT_EQ(run.exit, 0) << source << " to " << convert["to"] << "\n" << run.err;
      ASSERT_EQ(written.size(), 1u) << source;
      const std::string expected =
          test::ReadWhole(test::DataFile(convert["expected"].get<std::string>()));
      EXPECT_TRUE(test::ReadWhole(written[0].path().string()) == expected)
          << source << " to " << convert["to"] << " differs from " << convert["expected"];
      ++compared;
    } else {
      EXPECT_EQ(run.exit, 1) << source;
      EXPECT_TRUE(written.empty()) << source;
      // A count that does not fit, or a number of channels the format does not hold.
      EXPECT_TRUE(run.err.find("is overflowed !!") != std::string::npos ||
                  run.err.find(" channels; ") != std::string::npos)
          << run.err;
    }
  }
  EXPECT_GT(compared, 90);
}

TEST(CliConvert, ExistingFilesAreNeverReplacedSilently) {
  test::TempDir out;
  const std::string source = test::DataFile("rbs/film.RBS");
  const std::string target = out.file("film.AS1");
  test::WriteWhole(target, "the user's own file");

  CliRun run = cli({"convert", "--to", "as1", "--out", out.path(), source});
  EXPECT_EQ(run.exit, 1);
  EXPECT_NE(run.err.find("film.AS1 is already exist. Overwrite it ? No"), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("    Converted : 0  Remained : 0    Failed :  1"), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("Conversion is stopped !!"), std::string::npos);
  EXPECT_EQ(test::ReadWhole(target), "the user's own file");

  // Kept because the user asked for it: said so, and not a failure.
  run = cli({"convert", "--to", "6", "--skip-existing", "--out", out.path(), source});
  EXPECT_EQ(run.exit, 0) << run.err;
  EXPECT_NE(run.err.find(target + " kept\n"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("    Converted : 0  Remained : 0    Failed :  1"), std::string::npos);
  EXPECT_EQ(test::ReadWhole(target), "the user's own file");

  run = cli(
      {"convert", "--to", "ASCII with channel (AS1)", "--overwrite", "--out", out.path(), source});
  EXPECT_EQ(run.exit, 0) << run.err;
  EXPECT_EQ(test::ReadWhole(target),
            test::ReadWhole(test::DataFile(expectedConvert("rbs/film.RBS", "AS1"))));
  EXPECT_NE(run.err.find("Conversion is completed !!"), std::string::npos);
  EXPECT_NE(run.out.find(source + " (RUMP (RBS)) -> " + target), std::string::npos) << run.out;
}

TEST(CliConvert, DefaultsToTheCurrentFolderAndGoesOnAfterAFailure) {
  test::TempDir here;
  const CliRun run = cli({"convert", "--to", "SEN", test::DataFile("as1/film.AS1"),
                          here.file("missing.RBS"), test::DataFile("as2/bad_e.AS2"),
                          test::DataFile("rbs/pixe290.RBS"), test::DataFile("as2/film.AS2")},
                         here.path());
  EXPECT_EQ(run.exit, 1);
  EXPECT_TRUE(fs::exists(here.file("film.SEN")));
  // Paths show in capitals, as in every message of a conversion.
  EXPECT_NE(run.err.find(UpperAscii(here.file("missing.RBS")) +
                         " not found or disk not ready ! (No such file or directory) Ignore"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find(UpperAscii(test::DataFile("as2/bad_e.AS2")) + " is unknown format !! OK"),
            std::string::npos);
  EXPECT_NE(run.err.find(UpperAscii(test::DataFile("rbs/pixe290.RBS")) +
                         " is for PIXE or NRA file !! OK"),
            std::string::npos);
  // The second film is named like the first: it is not written over it.
  EXPECT_NE(run.err.find("film.SEN is already exist."), std::string::npos);
  EXPECT_NE(run.err.find("    Converted : 1  Remained : 0    Failed :  4"), std::string::npos)
      << run.err;

  const CliRun keyed = cli({"convert", "--from", "rbs", "--to", "as2", "--out", here.path(),
                            test::DataFile("as1/film.AS1")});
  EXPECT_EQ(keyed.exit, 1);
  EXPECT_NE(
      keyed.err.find(UpperAscii(test::DataFile("as1/film.AS1")) + " has not RUMP (RBS) format !!"),
      std::string::npos)
      << keyed.err;
}

TEST(CliConvert, StampDataFromAConfigurationFile) {
  test::TempDir dir;
  const std::string config = dir.file("lab.cfg");
  // A configuration made without a window; its folders need not exist on this machine.
  CliRun run = cli({"config", "set", config, "SourceFolder=/nowhere/in", "BeamMeV=2.275",
                    "AtomicNo=2", "Mass=4.0026", "ChargeUC=20", "ChargeState=2", "Geometry=IBM",
                    "Phi=165", "CalGain=1.5", "StampMode=off"});
  ASSERT_EQ(run.exit, 0) << run.err;
  run = cli({"config", "show", config});
  EXPECT_NE(run.out.find("BeamMeV: 2.275\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Geometry: IBM\n"), std::string::npos);
  EXPECT_NE(run.out.find("SourceFolder: /nowhere/in/\n"), std::string::npos);
  run = cli({"config", "show", "--json", config});
  EXPECT_EQ(jsonLines(run.out).at(0)["Phi"], "165");
  EXPECT_EQ(cli({"config", "set", config, "Beam=3"}).exit, 2);
  EXPECT_EQ(cli({"config", "set", config, "AtomicNo=lots"}).exit, 2);
  EXPECT_EQ(cli({"config", "show", dir.file("none.cfg")}).exit, 1);

  run = cli({"convert", "--to", "SEN", "--config", config, "--stamp", "--out", dir.path(),
             test::DataFile("as1/film.AS1")});
  ASSERT_EQ(run.exit, 0) << run.err;
  CliRun info = cli({"info", "--json", dir.file("film.SEN")});
  const json sen = jsonLines(info.out).at(0);
  EXPECT_EQ(sen["BeamMeV"].get<float>(), 2.275f);
  EXPECT_EQ(sen["ChargeUC"].get<float>(), 10.0f);  // the charge per charge state
  EXPECT_EQ(sen["Geometry"], 1);
  EXPECT_EQ(sen["CalGain"].get<float>(), 1.5f);
  // Without stamp mode the header stays as read.
  run = cli({"convert", "--to", "RBS", "--config", config, "--out", dir.path(),
             test::DataFile("as1/film.AS1")});
  info = cli({"info", "--json", dir.file("film.RBS")});
  EXPECT_EQ(jsonLines(info.out).at(0)["BeamMeV"].get<float>(), 0.0f);
}

TEST(CliConvert, TimeToEnergyArmedForTheRun) {
  test::TempDir dir;
  // All counts of a 0.001 ns/ch spectrum near 100 ns land at 0.518 MeV: channel 5 of 10 x 0.1.
  std::string as2;
  for (int i = 0; i < 256; ++i) as2 += "1\r\n";
  test::WriteWhole(dir.file("tof.as2"), as2);
  // clang-format off
  CliRun run = cli({"convert", "--to", "RBS", "--time-to-energy", "--mass", "1", "--efficiency",
                    "100", "--max", "25.6", "--tof-length", "1", "--conv-factor", "0.001",
                    "--offset", "100", "--use-conv-factor", "--out", dir.path(),
                    dir.file("tof.as2")});
  // clang-format on
  ASSERT_EQ(run.exit, 0) << run.err;
  CliRun info = cli({"info", "--json", dir.file("tof.RBS")});
  const json spectrum = jsonLines(info.out).at(0);
  EXPECT_EQ(spectrum["Counts"][4], 256);  // channel 5: 0.518 MeV at 0.1 MeV per channel
  EXPECT_EQ(spectrum["Counts"][5], 0);
  EXPECT_EQ(spectrum["CalGain"].get<float>(), 100.0f);
  run = cli({"convert", "--to", "RBS", "--overwrite", "--time-to-energy", "--out", dir.path(),
             dir.file("tof.as2")});
  EXPECT_EQ(run.exit, 1);
  EXPECT_NE(run.err.find("The value of Mass or Efficiency is not valid !!"), std::string::npos);
}

TEST(CliUsage, MistakesGiveStatusTwo) {
  const std::string file = test::DataFile("rbs/film.RBS");
  EXPECT_EQ(cli({}).exit, 2);
  EXPECT_EQ(cli({"convert", file}).exit, 2);
  EXPECT_EQ(cli({"convert", "--to", "nonsense", file}).exit, 2);
  EXPECT_EQ(cli({"convert", "--to", "AUTO", file}).exit, 2);
  EXPECT_EQ(cli({"convert", "--to", "14", file}).exit, 2);
  EXPECT_EQ(cli({"convert", "--to", "RBS", "--overwrite", "--skip-existing", file}).exit, 2);
  EXPECT_EQ(cli({"convert", "--to", "RBS", "--out", "/nonexistent/durnix", file}).exit, 2);
  EXPECT_EQ(cli({"info", "--from", "nonsense", file}).exit, 2);
  EXPECT_EQ(cli({"info"}).exit, 2);
  for (const char* command : {"formats", "info", "convert"}) {
    const CliRun help = cli({command, "--help"});
    EXPECT_EQ(help.exit, 0) << command;
    EXPECT_NE(help.out.find("Usage:"), std::string::npos) << command;
  }
}

TEST(CliFormats, ListsTheCatalogueInOrder) {
  const CliRun run = cli({"formats"});
  EXPECT_EQ(run.exit, 0);
  EXPECT_EQ(run.out,
            "0\tAUTO detection\t*.*\t\n"
            "1\tRUMP (RBS)\t*.RBS\t.RBS\n"
            "2\tEG&G Maestro II (CHN)\t*.CHN\t.CHN\n"
            "3\tEG&G GammaVision (SPC)\t*.SPC\t.SPC\n"
            "4\tNew Oxford (SPT)\t*.SPT\t.SPT\n"
            "5\tOld Oxford (SPM or PCA)\t*.SPM\t.SPM\n"
            "6\tASCII with channel (AS1)\t*.AS1\t.AS1\n"
            "7\tASCII without channel (AS2)\t*.AS2\t.AS2\n"
            "8\tCANBERRA (SPC)\t*.SPC\t.MCA\n"
            "9\tQuantumX (ANS)\t*.ANS\t.ANS\n"
            "10\tSENRAS (SEN)\t*.SEN\t.SEN\n"
            "11\tNUCLEUS (NCL)\t*.NCL\t.NCL\n"
            "12\tCharles Evans Hypra (SNF)\t*.SNF\t.SNF\n"
            "13\tKODAQ (SPC)\t*.SPC\t.SPC\n");
}

TEST(CliInfo, TextsAreLatin1AndTheTextFormShowsEveryField) {
  test::TempDir dir;
  // A SENRAS file whose title holds 8-bit characters (micro sign, degree sign).
  std::string sen = test::ReadWhole(test::DataFile("sen/bare.SEN"));
  sen.replace(23, 6,
              "5 \xB5"
              "C \xB0");
  test::WriteWhole(dir.file("latin.SEN"), sen);
  const CliRun run = cli({"info", "--json", dir.file("latin.SEN"), dir.file("missing.SEN")});
  EXPECT_EQ(run.exit, 1);
  const std::vector<json> lines = jsonLines(run.out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0]["SpecId"].get<std::string>().substr(0, 8), "5 \u00B5C \u00B0");
  EXPECT_EQ(lines[0]["format"], "SENRAS (SEN)");
  EXPECT_EQ(lines[1]["status"], 53);
  EXPECT_EQ(lines[1]["format"], "");

  const CliRun text = cli({"info", test::DataFile("rbs/film.RBS")});
  EXPECT_EQ(text.exit, 0);
  for (const char* line : {"format: RUMP (RBS)\n", "SpecId: Au 20nm on Si, 2 MeV He\n",
                           "CalGain: 2.0371\n", "Geometry: 0 (Cornell)\n", "ChannelCount: 1024\n",
                           "RumpComment: thin film test\n", "KodaqMem: \n"}) {
    EXPECT_NE(text.out.find(line), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace durnix
