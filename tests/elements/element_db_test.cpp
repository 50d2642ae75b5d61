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

TEST_F(Elements, KnownReferenceValuesEveryElementFrom1To111AndTheXrayLines) {
  EXPECT_NEAR(db_->xrayEnergy(26, "KA1").value(), 6.404, 0.002);
  EXPECT_NEAR(db_->xrayEnergy(26, "LA1").value(), 0.705, 0.001);
  EXPECT_NEAR(db_->ionData(14)->at(5).number, 2.33, 0.005);   // Si density, g/cm3
  EXPECT_NEAR(db_->ionData(1)->at(7).number, 13.598, 0.001);  // H first ionisation, eV
  // Symbol, name and most abundant isotope.
  const FieldRow iron = *db_->ionData(26);
  EXPECT_EQ(iron[1].text + " " + iron[10].text + " " + iron[2].text, "Fe Iron 56");
  const std::vector<FieldRow> gold = db_->isotopes(79);
  const auto au197 = std::find_if(gold.begin(), gold.end(), [](const FieldRow& isotope) {
    return isotope[1].text == "Au-197";
  });
  ASSERT_NE(au197, gold.end());
  EXPECT_DOUBLE_EQ((*au197)[3].number, 100.0);
  ASSERT_FALSE(db_->ions(26).empty());
  EXPECT_EQ(db_->ions(26).front()[1].text, "Fe+");
  for (int z = 1; z <= ElementDatabase::kElements; ++z) {
    ASSERT_TRUE(db_->ionData(z) && db_->general(z) && db_->misc(z) && db_->history(z))
        << "element " << z << " lacks its ion data, general, misc or history row";
  }
  EXPECT_FALSE(db_->ionData(112).has_value());
  const std::vector<FieldRow> lines = db_->allXrays();
  EXPECT_EQ(lines.size(), 1807u);
  const auto [lowest, highest] = std::minmax_element(
      lines.begin(), lines.end(),
      [](const FieldRow& a, const FieldRow& b) { return a[0].number < b[0].number; });
  EXPECT_EQ(std::pair((*lowest)[0].number, (*highest)[0].number), std::pair(3.0, 98.0));
  EXPECT_TRUE(db_->xrays(2).empty());
}

TEST_F(Elements, PanelTextsWithAndWithoutValues) {
  const ElementPanel fe =
      PanelTexts(*db_->ionData(26), db_->xrayEnergy(26, "KA1"), db_->xrayEnergy(26, "LA1"));
  EXPECT_EQ(fe.atomNum + fe.symbol, "26Fe");
  EXPECT_EQ(fe.props[0].substr(0, 15), "Nat.Wgt. = 55.8");
  EXPECT_EQ(fe.props[1], "MAI Mass=56");
  // The atom density, worked out from the density, has the density's digits (four to six).
  EXPECT_EQ(fe.props[3], "Density        = 7.874 g/cm3");
  EXPECT_EQ(fe.props[4], "Atom Dens. = 8.491e22 atom/cm3");
  EXPECT_EQ(PanelTexts(*db_->ionData(14), std::nullopt, std::nullopt).props[4],  // silicon
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
  const ElementPanel cleared = ClearedPanel();
  EXPECT_EQ(cleared.symbol + cleared.props[5] + "|" + cleared.props[6],
            "Heat Subl.    =|Fermi Vel.    =");
}

TEST_F(Elements, LinesAndMassesThatTheViewerMarks) {
  EXPECT_EQ(AtomicNumberOf(*db_, "pB"), 82);
  EXPECT_FALSE(AtomicNumberOf(*db_, "Xx"));
  EXPECT_FALSE(AtomicNumberOf(*db_, ""));
  EXPECT_EQ(SymbolOf(*db_, 79), "Au");

  // Line energies of the reference tables (keV).
  const std::tuple<const char*, std::string, double> cases[] = {{"Fe", "Fe Kα1", 6.404},
                                                                {"Cu", "Cu Kα1", 8.048},
                                                                {"Pb", "Pb Lα1", 10.551},
                                                                {"Pb", "Pb Lβ1", 12.614}};
  for (const auto& [symbol, label, keV] : cases) {
    SCOPED_TRACE(label);
    const std::vector<XrayLine> lines = XrayLinesOf(*db_, *AtomicNumberOf(*db_, symbol));
    const auto line = std::find_if(lines.begin(), lines.end(),
                                   [&](const XrayLine& l) { return l.label == label; });
    ASSERT_NE(line, lines.end());
    EXPECT_NEAR(line->keV, keV, 0.002);
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

  const std::pair<const char*, const char*> names[] = {
      {"KA1", "Kα1"}, {"LB2", "Lβ2"}, {"LG1", "Lγ1"}, {"LN", "Lη"}, {"MZ", "Mζ"}, {"LL", "Ll"}};
  for (const auto& [code, name] : names) EXPECT_EQ(LineName(code), name) << code;

  EXPECT_NEAR(TargetMass(*db_, 79).value(), 196.9666, 1e-3);
  EXPECT_NEAR(TargetMass(*db_, 14).value(), 28.0855, 1e-3);
  EXPECT_NEAR(TargetMass(*db_, 14, "Si-28").value(), 27.9769, 1e-3);
  EXPECT_NEAR(TargetMass(*db_, 14, "30").value(), 29.9738, 1e-3);
  EXPECT_FALSE(TargetMass(*db_, 14, "Si-99"));
}

TEST_F(Elements, BeamsAndEdgesOfHeaders) {
  EXPECT_NEAR(BeamMass(*db_, 1).value(), 1.0078, 1e-4);
  // A SENRAS header names the ion, not its mass; a RUMP one gives the mass.
  SpectrumRecord senras;
  senras.AtomicNo = 2;
  senras.BeamMeV = 2;
  senras.Geometry = 1;
  senras.Phi = 170;
  const Beam beam = BeamOf(senras, true, *db_);
  EXPECT_NEAR(beam.mass.value(), 4.0026, 1e-4);  // the mass of helium
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
  EXPECT_EQ(choices[0].name + " " + choices[1].name + "/" + choices[1].isotope, "Au Si-28/28");
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
  // In rising order: each text also sorts after the one before it.
  const std::pair<double, const char*> cases[] = {
      {0.0523, "  0.0523"}, {0.705, "  0.705"},  {1.04, "  1.04"},    {6.404, "  6.404"},
      {9.99, "  9.99"},     {10.0, " 10"},       {17.479, " 17.479"}, {99.9, " 99.9"},
      {100.0, "100"},       {115.606, "115.606"}};
  std::string previous;
  for (const auto& [keV, text] : cases) {
    EXPECT_EQ(XrayEnergyText(keV), text);
    EXPECT_LT(previous, XrayEnergyText(keV)) << keV;
    previous = XrayEnergyText(keV);
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
