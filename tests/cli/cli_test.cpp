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

using test::ExpectCli;

namespace {

using nlohmann::json;
using test::cli;
using test::CliRun;
using test::jsonLines;
namespace fs = std::filesystem;

json infoOf(const std::string& file) {
  return jsonLines(cli({"info", "--json", file}).out).at(0);
}

// End to end: a file of the corpus converted as a user runs it, then converted again onto the
// file written, as each option for an existing file says.
TEST(CliConvert, ConvertsAFileOfTheCorpusAndNeverReplacesOneSilently) {
  test::TempDir out;
  const std::string source = test::DataFile("rbs/film.RBS"), target = out.file("film.AS1");
  const std::string golden = test::ReadWhole(test::DataFile("convert/film_RBS.AS1"));
  const CliRun run =
      ExpectCli({"convert", "--to", "as1", "--out", out.path(), source}, 0,
                {"    Converted : 1  Remained : 0    Failed :  0", "Conversion is completed !!"});
  EXPECT_NE(run.out.find(source + " (RUMP (RBS)) -> " + target), std::string::npos) << run.out;
  EXPECT_TRUE(test::ReadWhole(target) == golden);

  test::WriteWhole(target, "the user's own file");
  ExpectCli({"convert", "--to", "6", "--out", out.path(), source}, 1,
            {"film.AS1 is already exist. Overwrite it ? No",
             "    Converted : 0  Remained : 0    Failed :  1", "Conversion is stopped !!"});
  // Kept because the user asked for it: said so, and not a failure.
  ExpectCli({"convert", "--to", "AS1", "--skip-existing", "--out", out.path(), source}, 0,
            {target + " kept\n"});
  EXPECT_EQ(test::ReadWhole(target), "the user's own file");
  ExpectCli({"convert", "--to", "AS1", "--overwrite", "--out", out.path(), source}, 0);
  EXPECT_TRUE(test::ReadWhole(target) == golden);
}

// The messages themselves are those of the conversion run (tests/convert); here, the answers
// that the command line takes. Paths show in capitals, as in every message of a conversion.
TEST(CliConvert, DefaultsToTheCurrentFolderAndGoesOnAfterAFailure) {
  test::TempDir here;
  const std::string bad = test::DataFile("as2/bad_e.AS2");
  ExpectCli(
      {"convert", "--to", "SEN", here.file("missing.RBS"), bad, test::DataFile("as1/film.AS1")}, 1,
      {UpperAscii(bad) + " is unknown format !! OK",
       "    Converted : 1  Remained : 0    Failed :  2"},
      here.path());
  EXPECT_TRUE(fs::exists(here.file("film.SEN")));
}

TEST(CliConvert, StampDataFromAConfigurationFile) {
  test::TempDir dir;
  const std::string config = dir.file("lab.cfg"), film = test::DataFile("as1/film.AS1");
  // A configuration made without a window; its folders need not exist on this machine.
  ExpectCli({"config", "set", config, "SourceFolder=/nowhere/in", "BeamMeV=2.275", "AtomicNo=2",
             "Mass=4.0026", "ChargeUC=20", "ChargeState=2", "Geometry=IBM", "Phi=165",
             "CalGain=1.5", "StampMode=off"},
            0);
  const CliRun show = cli({"config", "show", config});
  EXPECT_NE(show.out.find("BeamMeV: 2.275\nChargeState: 2\n"), std::string::npos) << show.out;
  EXPECT_NE(show.out.find("SourceFolder: /nowhere/in/\n"), std::string::npos);
  EXPECT_EQ(jsonLines(cli({"config", "show", "--json", config}).out).at(0)["Phi"], "165");
  for (const char* bad : {"Beam=3", "AtomicNo=lots"}) ExpectCli({"config", "set", config, bad}, 2);
  ExpectCli({"config", "show", dir.file("none.cfg")}, 1);

  ExpectCli({"convert", "--to", "SEN", "--config", config, "--stamp", "--out", dir.path(), film},
            0);
  const json sen = infoOf(dir.file("film.SEN"));
  EXPECT_EQ(sen["BeamMeV"].get<float>(), 2.275f);
  EXPECT_EQ(sen["ChargeUC"].get<float>(), 10.0f);  // the charge per charge state
  EXPECT_EQ(sen["Geometry"], 1);
  // Without stamp mode the header stays as read.
  ExpectCli({"convert", "--to", "RBS", "--config", config, "--out", dir.path(), film}, 0);
  EXPECT_EQ(infoOf(dir.file("film.RBS"))["BeamMeV"].get<float>(), 0.0f);
}

TEST(CliConvert, TimeToEnergyArmedForTheRun) {
  test::TempDir dir;
  // All counts of a 0.001 ns/ch spectrum near 100 ns land at 0.518 MeV: channel 5 of 10 x 0.1.
  std::string as2;
  for (int i = 0; i < 256; ++i) as2 += "1\r\n";
  test::WriteWhole(dir.file("tof.as2"), as2);
  // clang-format off
  ExpectCli({"convert", "--to", "RBS", "--time-to-energy", "--mass", "1", "--efficiency", "100",
             "--max", "25.6", "--tof-length", "1", "--conv-factor", "0.001", "--offset", "100",
             "--use-conv-factor", "--out", dir.path(), dir.file("tof.as2")}, 0);
  // clang-format on
  const json spectrum = infoOf(dir.file("tof.RBS"));
  EXPECT_EQ(spectrum["Counts"][4], 256);  // channel 5: 0.518 MeV at 0.1 MeV per channel
  EXPECT_EQ(spectrum["Counts"][5], 0);
  EXPECT_EQ(spectrum["CalGain"].get<float>(), 100.0f);
}

TEST(CliUsage, MistakesGiveStatusTwo) {
  const std::string file = test::DataFile("rbs/film.RBS");
  ExpectCli({}, 2);
  ExpectCli({"convert", file}, 2);
  for (const char* to : {"nonsense", "AUTO", "19"}) ExpectCli({"convert", "--to", to, file}, 2);
  ExpectCli({"info", "--spectrum", "0", file}, 2);
  ExpectCli({"convert", "--to", "RBS", "--overwrite", "--skip-existing", file}, 2);
  ExpectCli({"convert", "--to", "RBS", "--out", "/nonexistent/durnix", file}, 2);
  ExpectCli({"info", "--from", "nonsense", file}, 2);
  ExpectCli({"info"}, 2);
  EXPECT_EQ(ExpectCli({"convert", "--to", "MCA", file}, 2).err,
            "Canberra AccuSpec (MCA) is read only; choose a format to write.\n");
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
                   "<RadMeasurement id=\"Background\"><Spectrum id=\"b\">"
                   "<ChannelData>1 2 3</ChannelData></Spectrum></RadMeasurement>\n"
                   "<RadMeasurement id=\"Foreground\"><Spectrum id=\"f\">"
                   "<ChannelData compressionCode=\"CountedZeroes\">7 0 3 8</ChannelData>"
                   "</Spectrum></RadMeasurement>\n</RadInstrumentData>\n");
  EXPECT_NE(ExpectCli({"info", n42}, 0)
                .out.find("spectra: 2 (this is spectrum 1; --spectrum N reads another)\n"),
            std::string::npos);
  const json second = jsonLines(ExpectCli({"info", "--json", "--spectrum", "2", n42}, 0).out).at(0);
  EXPECT_EQ(second["format"], "ANSI N42.42 XML (N42)");
  EXPECT_EQ(second["spectra"].size(), 2u);
  EXPECT_EQ(second["dropped"].size(), 1u) << second["dropped"];  // the other measurement
  EXPECT_EQ(ExpectCli({"info", "--spectrum", "3", n42}, 1).err,
            n42 + " holds 2 spectra; --spectrum 3 names none.\n");
  ExpectCli({"convert", "--to", "CSV", "--spectrum", "2", "--out", dir.path(), n42}, 0);
  EXPECT_EQ(test::ReadWhole(dir.file("two.csv")),
            "Channel,Counts\r\n0,7\r\n1,0\r\n2,0\r\n3,0\r\n4,8\r\n");
  // An IEC file of another program, once "unknown format" (the AccuSpec ones are read by
  // tests/data/check_real_samples.py).
  const std::string iec = DURNIX_REAL_SAMPLES_DIR "/multi/becquerel_hpge_dummy_test_01.iec";
  if (!fs::exists(iec)) return;
  const json read = jsonLines(ExpectCli({"info", "--json", iec}, 0).out).at(0);
  EXPECT_EQ(read["format"], "IEC 61455 (IEC)");
  EXPECT_EQ(read["dropped"].size(), 3u);
}

TEST(CliInfo, TextsAreLatin1AndTheTextFormShowsEveryField) {
  test::TempDir dir;
  // A SENRAS file whose title holds 8-bit characters (micro sign, degree sign).
  std::string sen = test::ReadWhole(test::DataFile("sen/bare.SEN"));
  sen.replace(23, 6, std::string("5 \xB5") + "C \xB0");
  test::WriteWhole(dir.file("latin.SEN"), sen);
  const std::vector<json> lines = jsonLines(
      ExpectCli({"info", "--json", dir.file("latin.SEN"), dir.file("missing.SEN")}, 1).out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0]["SpecId"].get<std::string>().substr(0, 8), "5 \u00B5C \u00B0");
  EXPECT_EQ(lines[0]["format"], "SENRAS (SEN)");
  EXPECT_EQ(lines[1]["status"], 53);
  EXPECT_EQ(lines[1]["format"], "");

  const CliRun text = ExpectCli({"info", test::DataFile("rbs/film.RBS")}, 0);
  for (const char* line : {"format: RUMP (RBS)\n", "SpecId: Au 20nm on Si, 2 MeV He\n",
                           "CalGain: 2.0371\n", "Geometry: 0 (Cornell)\n", "ChannelCount: 1024\n",
                           "RumpComment: thin film test\n", "KodaqMem: \n"}) {
    EXPECT_NE(text.out.find(line), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace durnix
