// SPDX-License-Identifier: GPL-3.0-or-later
// durnix-cli as a user runs it: its commands, options, messages and exit statuses. The golden
// corpus itself is checked in process by tests/formats/golden_test.cpp.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

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

// End to end: a file of the corpus converted as a user runs it, then converted again onto the
// file written, as each option for an existing file says.
TEST(CliConvert, ConvertsAFileOfTheCorpusAndNeverReplacesOneSilently) {
  test::TempDir out;
  const std::string source = test::DataFile("rbs/film.RBS"), target = out.file("film.AS1");
  CliRun run = cli({"convert", "--to", "as1", "--out", out.path(), source});
  ASSERT_EQ(run.exit, 0) << run.err;
  EXPECT_NE(run.err.find("    Converted : 1  Remained : 0    Failed :  0"), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("Conversion is completed !!"), std::string::npos);
  EXPECT_NE(run.out.find(source + " (RUMP (RBS)) -> " + target), std::string::npos) << run.out;
  EXPECT_TRUE(test::ReadWhole(target) == test::ReadWhole(test::DataFile("convert/film_RBS.AS1")));
  const CliRun info = cli({"info", "--json", target});
  EXPECT_EQ(jsonLines(info.out).at(0)["format"], "ASCII with channel (AS1)");

  test::WriteWhole(target, "the user's own file");
  run = cli({"convert", "--to", "6", "--out", out.path(), source});
  EXPECT_EQ(run.exit, 1);
  EXPECT_NE(run.err.find("film.AS1 is already exist. Overwrite it ? No"), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("    Converted : 0  Remained : 0    Failed :  1"), std::string::npos);
  EXPECT_NE(run.err.find("Conversion is stopped !!"), std::string::npos);
  // Kept because the user asked for it: said so, and not a failure.
  run = cli({"convert", "--to", "AS1", "--skip-existing", "--out", out.path(), source});
  EXPECT_EQ(run.exit, 0) << run.err;
  EXPECT_NE(run.err.find(target + " kept\n"), std::string::npos) << run.err;
  EXPECT_EQ(test::ReadWhole(target), "the user's own file");
  run = cli({"convert", "--to", "AS1", "--overwrite", "--out", out.path(), source});
  EXPECT_EQ(run.exit, 0) << run.err;
  EXPECT_NE(test::ReadWhole(target), "the user's own file");
}

// The messages themselves are those of the conversion run (tests/convert); here, the answers
// that the command line takes.
TEST(CliConvert, DefaultsToTheCurrentFolderAndGoesOnAfterAFailure) {
  test::TempDir here;
  const CliRun run = cli({"convert", "--to", "SEN", here.file("missing.RBS"),
                          test::DataFile("as2/bad_e.AS2"), test::DataFile("as1/film.AS1")},
                         here.path());
  EXPECT_EQ(run.exit, 1);
  EXPECT_TRUE(fs::exists(here.file("film.SEN")));
  // Paths show in capitals, as in every message of a conversion.
  EXPECT_NE(run.err.find(UpperAscii(test::DataFile("as2/bad_e.AS2")) + " is unknown format !! OK"),
            std::string::npos);
  EXPECT_NE(run.err.find("    Converted : 1  Remained : 0    Failed :  2"), std::string::npos)
      << run.err;
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
}

TEST(CliUsage, MistakesGiveStatusTwo) {
  const std::string file = test::DataFile("rbs/film.RBS");
  EXPECT_EQ(cli({}).exit, 2);
  EXPECT_EQ(cli({"convert", file}).exit, 2);
  EXPECT_EQ(cli({"convert", "--to", "nonsense", file}).exit, 2);
  EXPECT_EQ(cli({"convert", "--to", "AUTO", file}).exit, 2);
  EXPECT_EQ(cli({"convert", "--to", "19", file}).exit, 2);
  const CliRun readOnly = cli({"convert", "--to", "MCA", file});
  EXPECT_EQ(readOnly.exit, 2);
  EXPECT_EQ(readOnly.err, "Canberra AccuSpec (MCA) is read only; choose a format to write.\n");
  EXPECT_EQ(cli({"info", "--spectrum", "0", file}).exit, 2);
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
            "13\tKODAQ (SPC)\t*.SPC\t.SPC\n"
            "14\tORTEC ASCII (SPE)\t*.SPE\t.Spe\n"
            "15\tIEC 61455 (IEC)\t*.IEC\t.IEC\n"
            "16\tANSI N42.42 XML (N42)\t*.N42\t.n42\n"
            "17\tCSV with energies (CSV)\t*.CSV\t.csv\n"
            "18\tCanberra AccuSpec (MCA)\t*.MCA\t\n");
}

// A file of several spectra: info lists them and reads the one --spectrum names, convert writes
// that one, and what the record cannot hold is named in JSON.
TEST(CliInfo, FilesOfSeveralSpectraAndWhatIsDropped) {
  test::TempDir dir;
  const std::string n42 = dir.file("two.n42");
  test::WriteWhole(n42,
                   "<?xml version=\"1.0\"?>\n"
                   "<RadInstrumentData xmlns=\"http://physics.nist.gov/N42/2011/N42\">\n"
                   "<RadMeasurement id=\"Background\"><RealTimeDuration>PT10S</RealTimeDuration>"
                   "<Spectrum id=\"b\"><LiveTimeDuration>PT9S</LiveTimeDuration>"
                   "<ChannelData>1 2 3</ChannelData></Spectrum></RadMeasurement>\n"
                   "<RadMeasurement id=\"Foreground\"><RealTimeDuration>PT1M</RealTimeDuration>"
                   "<Spectrum id=\"f\"><LiveTimeDuration>PT58.5S</LiveTimeDuration>"
                   "<ChannelData compressionCode=\"CountedZeroes\">7 0 3 8</ChannelData>"
                   "</Spectrum></RadMeasurement>\n</RadInstrumentData>\n");
  CliRun run = cli({"info", n42});
  ASSERT_EQ(run.exit, 0) << run.err;
  EXPECT_NE(run.out.find("spectra: 2 (this is spectrum 1; --spectrum N reads another)\n"),
            std::string::npos)
      << run.out;
  run = cli({"info", "--json", "--spectrum", "2", n42});
  ASSERT_EQ(run.exit, 0) << run.err;
  const json second = jsonLines(run.out).at(0);
  EXPECT_EQ(second["format"], "ANSI N42.42 XML (N42)");
  EXPECT_EQ(second["spectra"].size(), 2u);
  EXPECT_EQ(second["dropped"].size(), 1u) << second["dropped"];  // the other measurement
  run = cli({"info", "--spectrum", "3", n42});
  EXPECT_EQ(run.exit, 1);
  EXPECT_EQ(run.err, n42 + " holds 2 spectra; --spectrum 3 names none.\n");

  run = cli({"convert", "--to", "CSV", "--spectrum", "2", "--out", dir.path(), n42});
  ASSERT_EQ(run.exit, 0) << run.err;
  EXPECT_EQ(test::ReadWhole(dir.file("two.csv")),
            "Channel,Counts\r\n0,7\r\n1,0\r\n2,0\r\n3,0\r\n4,8\r\n");
  // The IEC and AccuSpec files of other programs, once "unknown format" or taken for ASCII.
  const std::string samples = DURNIX_REAL_SAMPLES_DIR;
  if (!fs::exists(samples + "/multi")) return;
  run = cli({"info", "--json", samples + "/multi/becquerel_hpge_dummy_test_01.iec",
             samples + "/canberra_accuspec_mca/xylib_03yag02.mca"});
  ASSERT_EQ(run.exit, 0) << run.err;
  const auto lines = jsonLines(run.out);
  EXPECT_EQ(lines.at(0)["format"], "IEC 61455 (IEC)");
  EXPECT_EQ(lines.at(0)["dropped"].size(), 3u);
  EXPECT_EQ(lines.at(1)["format"], "Canberra AccuSpec (MCA)");
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
