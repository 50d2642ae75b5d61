// SPDX-License-Identifier: GPL-3.0-or-later
// The element database as the build makes it from data/elements/elements.sql.

#include "elements/element_db.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "elements/element_lines.h"
#include "support/temp_dir.h"
#include "viewer/markers.h"

namespace durnix {
namespace {

class Elements : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string problem;
    db_ = ElementDatabase::Open(DURNIX_ELEMENT_DB, problem).release();
    ASSERT_NE(db_, nullptr) << problem;
  }
  static void TearDownTestSuite() {
    delete db_;
    db_ = nullptr;
  }
  static ElementDatabase* db_;
};
ElementDatabase* Elements::db_ = nullptr;

TEST_F(Elements, KnownReferenceValues) {
  EXPECT_NEAR(db_->xrayEnergy(26, "KA1").value(), 6.404, 0.002);
  EXPECT_NEAR(db_->xrayEnergy(26, "LA1").value(), 0.705, 0.001);
  EXPECT_NEAR(db_->ionData(14)->at(5).number, 2.33, 0.005);   // Si density, g/cm3
  EXPECT_NEAR(db_->ionData(1)->at(7).number, 13.598, 0.001);  // H first ionisation, eV
  EXPECT_EQ(db_->ionData(26)->at(1).text, "Fe");
  EXPECT_EQ(db_->ionData(26)->at(10).text, "Iron");
  EXPECT_EQ(db_->ionData(26)->at(2).text, "56");  // most abundant isotope
  bool gold = false;
  for (const FieldRow& isotope : db_->isotopes(79)) {
    if (isotope[1].text == "Au-197") {
      gold = true;
      EXPECT_DOUBLE_EQ(isotope[3].number, 100.0);
    }
  }
  EXPECT_TRUE(gold);
  EXPECT_FALSE(db_->ions(26).empty());
  EXPECT_EQ(db_->ions(26).front()[1].text, "Fe+");
}

TEST_F(Elements, EveryElementFrom1To111AndTheXrayLines) {
  for (int z = 1; z <= ElementDatabase::kElements; ++z) {
    ASSERT_TRUE(db_->ionData(z).has_value()) << z;
    ASSERT_TRUE(db_->general(z).has_value()) << z;
    ASSERT_TRUE(db_->misc(z).has_value()) << z;
    ASSERT_TRUE(db_->history(z).has_value()) << z;
  }
  EXPECT_FALSE(db_->ionData(112).has_value());
  const std::vector<FieldRow> lines = db_->allXrays();
  EXPECT_EQ(lines.size(), 1807u);
  int lowest = 999, highest = 0;
  for (const FieldRow& line : lines) {
    lowest = std::min(lowest, static_cast<int>(line[0].number));
    highest = std::max(highest, static_cast<int>(line[0].number));
  }
  EXPECT_EQ(lowest, 3);
  EXPECT_EQ(highest, 98);
  EXPECT_TRUE(db_->xrays(2).empty());
}

TEST_F(Elements, PanelTextsWithAndWithoutValues) {
  const int iron = 26;
  const ElementPanel fe =
      PanelTexts(*db_->ionData(iron), db_->xrayEnergy(iron, "KA1"), db_->xrayEnergy(iron, "LA1"));
  EXPECT_EQ(fe.atomNum, "26");
  EXPECT_EQ(fe.symbol, "Fe");
  EXPECT_EQ(fe.props[0].substr(0, 15), "Nat.Wgt. = 55.8");
  EXPECT_EQ(fe.props[1], "MAI Mass=56");
  // The atom density, worked out from the density, has the density's digits (four to six).
  EXPECT_EQ(fe.props[3], "Density        = 7.874 g/cm3");
  EXPECT_EQ(fe.props[4], "Atom Dens. = 8.491e22 atom/cm3");
  const int silicon = 14;
  EXPECT_EQ(PanelTexts(*db_->ionData(silicon), std::nullopt, std::nullopt).props[4],
            "Atom Dens. = 4.996e22 atom/cm3");
  EXPECT_EQ(fe.props[5].substr(0, 20), "X-ray (Ka1)    = 6.4");
  EXPECT_TRUE(fe.props[5].ends_with(" keV"));

  // Fields without values leave their labels alone, without units.
  FieldRow empty(11);
  empty[0] = {true, "111", 111};
  empty[1] = {true, "Rg", 0};
  const ElementPanel rg = PanelTexts(empty, std::nullopt, std::nullopt);
  EXPECT_EQ(rg.props, (std::vector<std::string>{
                          "Nat.Wgt. = ", "MAI Mass=", "MAI Wgt.=", "Density        =",
                          "Atom Dens. =", "X-ray (Ka1)    = keV", "X-ray (La1)    = keV"}));
  EXPECT_EQ(ClearedPanel().props[5], "Heat Subl.    =");
  EXPECT_EQ(ClearedPanel().props[6], "Fermi Vel.    =");
  EXPECT_EQ(ClearedPanel().symbol, "");
}

TEST_F(Elements, LinesAndMassesThatTheViewerMarks) {
  EXPECT_EQ(AtomicNumberOf(*db_, "Fe"), 26);
  EXPECT_EQ(AtomicNumberOf(*db_, "pB"), 82);
  EXPECT_FALSE(AtomicNumberOf(*db_, "Xx"));
  EXPECT_FALSE(AtomicNumberOf(*db_, ""));
  EXPECT_EQ(SymbolOf(*db_, 79), "Au");

  // Line energies of the reference tables (keV).
  struct Case {
    const char* symbol;
    const char* label;
    double keV;
  };
  const Case cases[] = {{"Fe", "Fe Kα1", 6.404},
                        {"Cu", "Cu Kα1", 8.048},
                        {"Pb", "Pb Lα1", 10.551},
                        {"Pb", "Pb Lβ1", 12.614}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::vector<XrayLine> lines = XrayLinesOf(*db_, *AtomicNumberOf(*db_, c.symbol));
    const auto line = std::find_if(lines.begin(), lines.end(),
                                   [&](const XrayLine& l) { return l.label == c.label; });
    ASSERT_NE(line, lines.end());
    EXPECT_NEAR(line->keV, c.keV, 0.002);
    EXPECT_GT(line->height, 0);
    EXPECT_LE(line->height, 1);
  }
  // Only the families asked for, the strongest line of each family at full height.
  const std::vector<XrayLine> k = XrayLinesOf(*db_, 29, "K");
  ASSERT_FALSE(k.empty());
  double highest = 0;
  for (const XrayLine& line : k) {
    EXPECT_EQ(line.line[0], 'K') << line.line;
    highest = std::max(highest, line.height);
  }
  EXPECT_DOUBLE_EQ(highest, 1.0);
  EXPECT_TRUE(XrayLinesOf(*db_, 29, "").empty());

  EXPECT_EQ(LineName("KA1"), "Kα1");
  EXPECT_EQ(LineName("LB2"), "Lβ2");
  EXPECT_EQ(LineName("LG1"), "Lγ1");
  EXPECT_EQ(LineName("LN"), "Lη");
  EXPECT_EQ(LineName("MZ"), "Mζ");
  EXPECT_EQ(LineName("LL"), "Ll");

  EXPECT_NEAR(TargetMass(*db_, 79).value(), 196.9666, 1e-3);
  EXPECT_NEAR(TargetMass(*db_, 14).value(), 28.0855, 1e-3);
  EXPECT_NEAR(TargetMass(*db_, 14, "Si-28").value(), 27.9769, 1e-3);
  EXPECT_NEAR(TargetMass(*db_, 14, "30").value(), 29.9738, 1e-3);
  EXPECT_FALSE(TargetMass(*db_, 14, "Si-99"));
}

TEST_F(Elements, BeamsAndEdgesOfHeaders) {
  EXPECT_NEAR(BeamMass(*db_, 2).value(), 4.0026, 1e-4);
  EXPECT_NEAR(BeamMass(*db_, 1).value(), 1.0078, 1e-4);
  // A SENRAS header names the ion, not its mass; a RUMP one gives the mass.
  SpectrumRecord senras;
  senras.AtomicNo = 2;
  senras.BeamMeV = 2;
  senras.Geometry = 1;
  senras.Phi = 170;
  const Beam beam = BeamOf(senras, true, *db_);
  EXPECT_NEAR(beam.mass.value(), 4.0026, 1e-4);
  EXPECT_EQ(BeamRefusal(beam, true), "");
  SpectrumRecord rump = senras;
  rump.Mass = 3.016f;
  EXPECT_NEAR(BeamOf(rump, true, *db_).mass.value(), 3.016, 1e-4);
  EXPECT_FALSE(BeamOf(rump, false, *db_).mass);
  EXPECT_EQ(BeamRefusal(BeamOf(rump, false, *db_), false),
            "Only RBS and SEN spectra hold a beam and a geometry: no surface edge can be placed "
            "on this one.");
  rump.BeamMeV = 0;
  EXPECT_EQ(BeamRefusal(BeamOf(rump, true, *db_), true),
            "The header gives no beam energy: no surface edge can be placed.");
  rump.BeamMeV = 2;
  rump.Phi = 20;
  rump.Geometry = 2;
  EXPECT_EQ(BeamRefusal(BeamOf(rump, true, *db_), true),
            "The header's angles give no scattering angle: no surface edge can be placed.");

  std::vector<ElementChoice> choices;
  std::string problem;
  ASSERT_TRUE(ElementChoicesOf(*db_, ElementNamesOf("au, si-28;C"), choices, problem));
  ASSERT_EQ(choices.size(), 3u);
  EXPECT_EQ(choices[0].name, "Au");
  EXPECT_EQ(choices[1].name, "Si-28");
  EXPECT_EQ(choices[1].isotope, "28");
  EXPECT_FALSE(ElementChoicesOf(*db_, {"Si-"}, choices, problem));
  EXPECT_EQ(problem, "Si- is not an element.");
  std::vector<SurfaceEdge> edges;
  ASSERT_TRUE(ElementChoicesOf(*db_, {"Au", "Si-28"}, choices, problem));
  ASSERT_TRUE(SurfaceEdgesOf(*db_, choices, beam, edges, problem)) << problem;
  EXPECT_NEAR(edges[0].K, 0.9225, 1e-4);
  EXPECT_NEAR(edges[0].keV, 0.9225 * 2000, 0.2);
  EXPECT_NEAR(edges[1].mass, 27.9769, 1e-3);
  // Hydrogen cannot send helium back.
  ASSERT_TRUE(ElementChoicesOf(*db_, {"H"}, choices, problem));
  EXPECT_FALSE(SurfaceEdgesOf(*db_, choices, beam, edges, problem));
  EXPECT_NE(problem.find("H (1.00"), std::string::npos) << problem;
  EXPECT_NE(problem.find("cannot scatter a projectile of 4.0026 u through 170 degrees."),
            std::string::npos)
      << problem;
}

TEST(XrayEnergyText, SortsAsNumbersBelow1000keV) {
  EXPECT_EQ(XrayEnergyText(0.705), "  0.705");
  EXPECT_EQ(XrayEnergyText(0.0523), "  0.0523");
  EXPECT_EQ(XrayEnergyText(6.404), "  6.404");
  EXPECT_EQ(XrayEnergyText(17.479), " 17.479");
  EXPECT_EQ(XrayEnergyText(100), " 100");
  EXPECT_EQ(XrayEnergyText(115.606), "115.606");
  const std::vector<double> energies = {0.0523, 0.705,  1.04, 6.404, 9.99,
                                        10.0,   17.479, 99.9, 115.6};
  for (std::size_t i = 1; i < energies.size(); ++i) {
    EXPECT_LT(XrayEnergyText(energies[i - 1]), XrayEnergyText(energies[i])) << energies[i];
  }
}

TEST(ElementDatabaseFile, MissingFilesAndTablesAreSaid) {
  std::string problem;
  EXPECT_EQ(ElementDatabase::Open("/nonexistent/Durnix.mdb", problem), nullptr);
  EXPECT_EQ(problem, "The element database /nonexistent/Durnix.mdb cannot be opened !!");
  test::TempDir dir;
  test::WriteWhole(dir.file("Durnix.mdb"), "not a database at all, but long enough to look at");
  EXPECT_EQ(ElementDatabase::Open(dir.file("Durnix.mdb"), problem), nullptr);
  EXPECT_NE(problem.find("has no table \"Ion Data\""), std::string::npos) << problem;
}

}  // namespace
}  // namespace durnix
