// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the viewer marks for chosen elements, looked up in the element database: the X-ray lines
// of the K, L and M families, and the masses that place a surface edge in an RBS spectrum.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "elements/element_db.h"

namespace durnix {

// The atomic number of an element symbol ("Fe", also "fe" or "FE"); nothing for no element.
std::optional<int> AtomicNumberOf(const ElementDatabase& database, std::string_view symbol);

// The element's symbol as the database writes it ("Fe").
std::string SymbolOf(const ElementDatabase& database, int z);

// One X-ray line of an element.
struct XrayLine {
  int z = 0;
  std::string symbol;  // "Fe"
  std::string line;    // as the database names it: "KA1"
  std::string label;   // as the viewer writes it, in UTF-8: "Fe Kα1"
  double keV = 0;
  // The line's intensity relative to the strongest line of its element and family among those
  // given (0..1); 1 where the database has no intensity.
  double height = 1;
};

// The lines of element z in the families named by the letters of `families` ("K", "KL", "KLM"),
// in the database's order. Lines without an energy are left out.
std::vector<XrayLine> XrayLinesOf(const ElementDatabase& database, int z,
                                  std::string_view families = "KLM");

// "KA1" as the viewer writes it after the symbol: "Kα1" (A α, B β, G γ, N η, Z ζ; other letters
// in lower case: "Ll").
std::string LineName(std::string_view line);

// The mass (u) an element scatters with: the isotope `isotope` ("Au-197" or "197") when given,
// else the element's mean atomic mass (its natural atomic weight). Nothing when the database has
// none.
std::optional<double> TargetMass(const ElementDatabase& database, int z,
                                 std::string_view isotope = {});

// The mass (u) of a beam of element z: its most abundant isotope's (4.0026 for helium, 1.0078
// for hydrogen). Nothing when the database has none.
std::optional<double> BeamMass(const ElementDatabase& database, int z);

// Where the element database of durnix-cli is looked for: beside the executable in `programFolder`,
// then share/durnix of its prefix, then durnix/ in $XDG_DATA_HOME (or ~/.local/share) and in each
// folder of $XDG_DATA_DIRS (or /usr/local/share:/usr/share).
std::vector<std::string> ElementDatabaseCandidates(const std::string& programFolder);

}  // namespace durnix
