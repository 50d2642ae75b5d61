// SPDX-License-Identifier: GPL-3.0-or-later
// durnix-cli's analysis commands: the regions' table, the X-ray lines inside a spectrum and the
// surface edges of an RBS spectrum, with their refusals.

#include <gtest/gtest.h>

#include <cmath>

#include "formats/catalogue.h"
#include "support/cli_run.h"
#include "support/records.h"
#include "support/temp_dir.h"

namespace durnix {
namespace {

using test::cli;
using test::CliRun;
using Counts = std::vector<std::int32_t>;

class CliAnalysis : public ::testing::Test {
 protected:
  // A Gaussian peak (sigma 5) at channel 100 on a background of 10, in 1024 channels.
  std::string put(const std::string& name, FormatCode format, float gain,
                  void (*header)(SpectrumRecord&) = nullptr) {
    Counts counts(1024);
    for (int i = 0; i < 1024; ++i) {
      const double x = (i - 100) / 5.0;
      counts[static_cast<std::size_t>(i)] =
          10 + static_cast<std::int32_t>(std::lround(1000 * std::exp(-0.5 * x * x)));
    }
    SpectrumRecord record = test::RecordWithCounts(std::move(counts));
    record.CalGain = gain;
    if (header) header(record);
    Bytes bytes;
    EXPECT_EQ(Format(format).encode(record, bytes), kDone) << name;
    test::WriteWhole(dir_.file(name), bytes);
    return dir_.file(name);
  }
  test::TempDir dir_;
};

// 2 MeV 4He at 170 degrees, 2 keV per channel.
void HeliumBeam(SpectrumRecord& record) {
  record.BeamMeV = 2.0f;
  record.Mass = 4.0026f;
  record.Geometry = 1;
  record.Phi = 170;
}

TEST_F(CliAnalysis, RegionsAsTextCsvAndJson) {
  const std::string file = put("peak.rbs", FMT_RBS, 2.0f);
  CliRun r = cli({"regions", file, "70:130", "0:20", "--json"});
  ASSERT_EQ(r.exit, 0) << r.err;
  const nlohmann::json j = nlohmann::json::parse(r.out);
  ASSERT_EQ(j.size(), 2u);
  EXPECT_EQ(j[0]["from"], 70);
  EXPECT_EQ(j[0]["to"], 130);
  EXPECT_NEAR(j[0]["centroid"].get<double>(), 100, 0.01);
  EXPECT_NEAR(j[0]["fwhm"].get<double>(), 2.3548 * 5, 0.01 * 2.3548 * 5);
  EXPECT_NEAR(j[0]["fwhm_keV"].get<double>(), 2 * 2.3548 * 5, 0.02 * 2.3548 * 5);
  EXPECT_EQ(j[1]["gross"], 210);
  EXPECT_TRUE(j[1]["centroid"].is_null());

  r = cli({"regions", file, "0:20", "--csv"});
  ASSERT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.out, "From,To,Gross,Net,Centroid,FWHM,Centroid (keV),FWHM (keV)\n0,20,210,0,,,,\n");
  r = cli({"regions", file, "20:0"});
  EXPECT_EQ(r.out,
            "From\tTo\tGross\tNet\tCentroid\tFWHM\tCentroid (keV)\tFWHM (keV)\n"
            "0\t20\t210\t0\t\t\t\t\n");

  // Bad regions are usage errors; a missing file is a failure.
  for (const char* bad : {"5", "5:5", "0:1024", "a:b", "-1:3"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(cli({"regions", file, bad}).exit, 2);
  }
  EXPECT_EQ(cli({"regions", file}).exit, 2);
  EXPECT_EQ(cli({"regions", file, "1:2", "--csv", "--json"}).exit, 2);
  EXPECT_EQ(cli({"regions", dir_.file("none.rbs"), "1:2"}).exit, 1);
}

TEST_F(CliAnalysis, LinesInsideTheSpectrumsRange) {
  // 0.01 keV per channel: 0 to 10.23 keV.
  const std::string file = put("xrf.chn", FMT_CHN, 0.01f);
  CliRun r = cli({"lines", file, "--element", "Fe", "--element", "pb", "--json"});
  ASSERT_EQ(r.exit, 0) << r.err;
  const nlohmann::json j = nlohmann::json::parse(r.out);
  bool feKa1 = false;
  for (const nlohmann::json& line : j) {
    EXPECT_LE(line["energy_keV"].get<double>(), 10.23) << line;
    EXPECT_GE(line["channel"].get<double>(), 0) << line;
    if (line["name"] == "Fe Kα1") {
      feKa1 = true;
      EXPECT_NEAR(line["energy_keV"].get<double>(), 6.404, 0.002);
      EXPECT_NEAR(line["channel"].get<double>(), 640.4, 0.2);
    }
    EXPECT_NE(line["name"], "Pb Lα1");  // 10.551 keV: beyond the last channel
  }
  EXPECT_TRUE(feKa1) << r.out;
  r = cli({"lines", file, "--element", "Fe"});
  EXPECT_NE(r.out.find("Fe Kα1\t6.40"), std::string::npos) << r.out;

  EXPECT_EQ(cli({"lines", file, "--element", "Qq"}).exit, 2);
  EXPECT_EQ(cli({"lines", file, "--element", "Fe", "--families", "X"}).exit, 2);
  EXPECT_EQ(cli({"lines", file}).exit, 2);
  r = cli({"lines", put("plain.chn", FMT_CHN, 0), "--element", "Fe"});
  EXPECT_EQ(r.exit, 1);
  EXPECT_NE(r.err.find("no energy calibration"), std::string::npos) << r.err;
}

TEST_F(CliAnalysis, EdgesFromTheHeaderOrTheOptions) {
  const std::string rbs = put("beam.rbs", FMT_RBS, 2.0f, HeliumBeam);
  CliRun r = cli({"edges", rbs, "--element", "Au", "--element", "Si", "--json"});
  ASSERT_EQ(r.exit, 0) << r.err;
  nlohmann::json j = nlohmann::json::parse(r.out);
  ASSERT_EQ(j.size(), 2u);
  EXPECT_EQ(j[0]["element"], "Au");
  EXPECT_NEAR(j[0]["mass"].get<double>(), 196.9666, 1e-3);
  EXPECT_NEAR(j[0]["K"].get<double>(), 0.9225, 1e-4);
  EXPECT_NEAR(j[0]["energy_keV"].get<double>(), 0.9225 * 2000, 0.2);
  EXPECT_NEAR(j[0]["channel"].get<double>(), 0.9225 * 1000, 0.1);
  EXPECT_NEAR(j[1]["K"].get<double>(), 0.5657, 1e-4);

  // The options replace the header's beam and angle; an isotope gives its own mass.
  r = cli({"edges", rbs, "--element", "C-12", "--angle", "90", "--energy", "1", "--beam-mass",
           "1.00728", "--json"});
  ASSERT_EQ(r.exit, 0) << r.err;
  j = nlohmann::json::parse(r.out);
  EXPECT_NEAR(j[0]["mass"].get<double>(), 12.0, 1e-6);
  EXPECT_NEAR(j[0]["K"].get<double>(), (12 - 1.00728) / (12 + 1.00728), 1e-4);
  EXPECT_NEAR(j[0]["energy_keV"].get<double>(), 1000 * j[0]["K"].get<double>(), 0.01);

  // A file without a beam is refused with what to give; with the options it is answered.
  const std::string chn = put("nobeam.chn", FMT_CHN, 2.0f);
  r = cli({"edges", chn, "--element", "Au"});
  EXPECT_EQ(r.exit, 1);
  EXPECT_NE(r.err.find("gives no beam mass (only RBS and SEN files carry one): give --beam-mass."),
            std::string::npos)
      << r.err;
  r = cli({"edges", chn, "--element", "Au", "--beam-mass", "4.0026"});
  EXPECT_EQ(r.exit, 1);
  EXPECT_NE(r.err.find("give --energy."), std::string::npos) << r.err;
  r = cli({"edges", chn, "--element", "Au", "--beam-mass", "4.0026", "--energy", "2"});
  EXPECT_EQ(r.exit, 1);
  EXPECT_NE(r.err.find("gives no scattering angle: give --angle."), std::string::npos) << r.err;
  r = cli({"edges", chn, "--element", "Au", "--beam-mass", "4.0026", "--energy", "2", "--angle",
           "170"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_NE(r.out.find("K 0.9225"), std::string::npos) << r.out;

  r = cli({"edges", rbs, "--element", "Qq"});
  EXPECT_EQ(r.exit, 2);
  EXPECT_NE(r.err.find("Qq is not an element."), std::string::npos) << r.err;
  EXPECT_EQ(cli({"edges", rbs, "--element", "Au", "--angle", "x"}).exit, 2);
  EXPECT_EQ(cli({"edges", rbs, "--element", "Au", "--database", dir_.file("none.mdb")}).exit, 1);
}

}  // namespace
}  // namespace durnix
