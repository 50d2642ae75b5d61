// SPDX-License-Identifier: GPL-3.0-or-later
// durnix-cli's analysis commands: the regions' table, the X-ray lines inside a spectrum and the
// surface edges of an RBS spectrum, with their refusals.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "formats/catalogue.h"
#include "support/cli_run.h"
#include "support/records.h"
#include "support/temp_dir.h"

namespace durnix {

using test::ExpectCli;

namespace {

using test::CliRun;

class CliAnalysis : public ::testing::Test {
 protected:
  // A Gaussian peak (sigma 5) at channel 100 on a background of 10, in 1024 channels; with
  // `beam`, of 2 MeV 4He at 170 degrees.
  std::string put(const std::string& name, FormatCode format, float gain, bool beam = false) {
    std::vector<std::int32_t> counts(1024);
    for (int i = 0; i < 1024; ++i) {
      const double x = (i - 100) / 5.0;
      counts[static_cast<std::size_t>(i)] =
          10 + static_cast<std::int32_t>(std::lround(1000 * std::exp(-0.5 * x * x)));
    }
    SpectrumRecord record = test::RecordWithCounts(std::move(counts));
    record.CalGain = gain;
    if (beam) {
      record.BeamMeV = 2.0f;
      record.Mass = 4.0026f;
      record.Geometry = 1;
      record.Phi = 170;
    }
    Bytes bytes;
    EXPECT_EQ(Format(format).encode(record, bytes), kDone) << name;
    test::WriteWhole(dir_.file(name), bytes);
    return dir_.file(name);
  }
  test::TempDir dir_;
};

TEST_F(CliAnalysis, RegionsAsTextCsvAndJson) {
  const std::string file = put("peak.rbs", FMT_RBS, 2.0f);
  CliRun r = ExpectCli({"regions", file, "70:130", "0:20", "--json"}, 0);
  const nlohmann::json j = nlohmann::json::parse(r.out);
  ASSERT_EQ(j.size(), 2u);
  EXPECT_NEAR(j[0]["centroid"].get<double>(), 100, 0.01);
  EXPECT_NEAR(j[0]["fwhm"].get<double>(), 2.3548 * 5, 0.01 * 2.3548 * 5);
  EXPECT_NEAR(j[0]["fwhm_keV"].get<double>(), 2 * 2.3548 * 5, 0.02 * 2.3548 * 5);
  EXPECT_EQ(j[1], nlohmann::json::parse(R"({"from":0,"to":20,"gross":210,"net":0,"centroid":null,
      "fwhm":null,"centroid_keV":null,"fwhm_keV":null})"));

  r = ExpectCli({"regions", file, "0:20", "--csv"}, 0);
  EXPECT_EQ(r.out, "From,To,Gross,Net,Centroid,FWHM,Centroid (keV),FWHM (keV)\n0,20,210,0,,,,\n");
  r = ExpectCli({"regions", file, "20:0"}, 0);
  EXPECT_EQ(r.out,
            "From\tTo\tGross\tNet\tCentroid\tFWHM\tCentroid (keV)\tFWHM (keV)\n"
            "0\t20\t210\t0\t\t\t\t\n");

  // Bad regions are usage errors; a missing file is a failure.
  for (const char* bad : {"5", "5:5", "0:1024", "a:b", "-1:3"}) {
    ExpectCli({"regions", file, bad}, 2);
  }
  ExpectCli({"regions", file}, 2);
  ExpectCli({"regions", file, "1:2", "--csv", "--json"}, 2);
  ExpectCli({"regions", dir_.file("none.rbs"), "1:2"}, 1, {"is not found !!"});
}

TEST_F(CliAnalysis, LinesInsideTheSpectrumsRange) {
  // 0.01 keV per channel: 0 to 10.23 keV.
  const std::string file = put("xrf.chn", FMT_CHN, 0.01f);
  const nlohmann::json j = nlohmann::json::parse(
      ExpectCli({"lines", file, "--element", "Fe", "--element", "pb", "--json"}, 0).out);
  for (const nlohmann::json& line : j) {
    EXPECT_LE(line["energy_keV"].get<double>(), 10.23) << line;  // not Pb Lα1, at 10.551 keV
    EXPECT_GE(line["channel"].get<double>(), 0) << line;
  }
  const auto feKa1 = std::find_if(
      j.begin(), j.end(), [](const nlohmann::json& line) { return line["name"] == "Fe Kα1"; });
  ASSERT_NE(feKa1, j.end()) << j;
  EXPECT_NEAR((*feKa1)["energy_keV"].get<double>(), 6.404, 0.002);
  EXPECT_NEAR((*feKa1)["channel"].get<double>(), 640.4, 0.2);
  const CliRun r = ExpectCli({"lines", file, "--element", "Fe"}, 0);
  EXPECT_NE(r.out.find("Fe Kα1\t6.40"), std::string::npos) << r.out;

  ExpectCli({"lines", file, "--element", "Qq"}, 2);
  ExpectCli({"lines", file, "--element", "Fe", "--families", "X"}, 2);
  ExpectCli({"lines", file}, 2);
  ExpectCli({"lines", put("plain.chn", FMT_CHN, 0), "--element", "Fe"}, 1,
            {"no energy calibration"});
}

TEST_F(CliAnalysis, EdgesFromTheHeaderOrTheOptions) {
  const std::string rbs = put("beam.rbs", FMT_RBS, 2.0f, true);
  CliRun r = ExpectCli({"edges", rbs, "--element", "Au", "--element", "Si"}, 0);
  EXPECT_EQ(r.out,
            "Au\tmass 196.9666 u\tK 0.9225\t1845.0 keV\tchannel 922.49\n"
            "Si\tmass 28.0850 u\tK 0.5657\t1131.5 keV\tchannel 565.73\n");

  // The options replace the header's beam and angle; an isotope gives its own mass.
  r = ExpectCli({"edges", rbs, "--element", "C-12", "--angle", "90", "--energy", "1", "--beam-mass",
                 "1.00728", "--json"},
                0);
  const nlohmann::json j = nlohmann::json::parse(r.out);
  EXPECT_NEAR(j[0]["mass"].get<double>(), 12.0, 1e-6);
  EXPECT_NEAR(j[0]["K"].get<double>(), (12 - 1.00728) / (12 + 1.00728), 1e-4);
  EXPECT_NEAR(j[0]["energy_keV"].get<double>(), 1000 * j[0]["K"].get<double>(), 0.01);

  // A file without a beam is refused with what to give; with the options it is answered.
  const std::string chn = put("nobeam.chn", FMT_CHN, 2.0f);
  ExpectCli({"edges", chn, "--element", "Au"}, 1,
            {"gives no beam mass (only RBS and SEN files carry one): give --beam-mass."});
  ExpectCli({"edges", chn, "--element", "Au", "--beam-mass", "4.0026"}, 1, {"give --energy."});
  ExpectCli({"edges", chn, "--element", "Au", "--beam-mass", "4.0026", "--energy", "2"}, 1,
            {"gives no scattering angle: give --angle."});
  EXPECT_NE(ExpectCli({"edges", chn, "--element", "Au", "--beam-mass", "4.0026", "--energy", "2",
                       "--angle", "170"},
                      0)
                .out.find("K 0.9225"),
            std::string::npos);

  ExpectCli({"edges", rbs, "--element", "Qq"}, 2, {"Qq is not an element."});
  ExpectCli({"edges", rbs, "--element", "Au", "--angle", "x"}, 2);
  ExpectCli({"edges", rbs, "--element", "Au", "--database", dir_.file("none.mdb")}, 1);
}

}  // namespace
}  // namespace durnix
