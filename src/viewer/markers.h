// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The markers of chosen elements on a spectrum, as the viewer draws them and durnix-cli lists
// them: the X-ray lines that fall within the spectrum's calibrated range, and the surface edges
// E = K E0 of an RBS spectrum, from the element database and the spectrum's header.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "elements/element_lines.h"
#include "formats/spectrum_record.h"
#include "viewer/viewer_document.h"

namespace durnix {

// An element as the user names it: "Au", or an isotope "Si-28" (its mass number after a dash).
struct ElementChoice {
  int z = 0;
  std::string isotope;  // "28", or empty for the element's natural mass
  std::string name;     // as the database writes it: "Au", "Si-28"
};

// The names of `text` ("Fe Pb", "Fe, Pb; Si-28"): split at blanks, commas and semicolons.
std::vector<std::string> ElementNamesOf(std::string_view text);

// The choices for `names`, in their order; false, with "Qq is not an element." in `problem`,
// when one names no element.
bool ElementChoicesOf(const ElementDatabase& database, const std::vector<std::string>& names,
                      std::vector<ElementChoice>& choices, std::string& problem);

// The X-ray lines of the chosen elements (families "K", "KL", "KLM") that lie between the
// energies of the document's first and last channels. The document must be calibrated.
std::vector<XrayLine> LinesWithin(const ElementDatabase& database,
                                  const std::vector<ElementChoice>& choices,
                                  std::string_view families, const ViewerDocument& document);

// What places a surface edge: the beam's mass (u) and energy (MeV) and the scattering angle
// (degrees). Each is missing when the header does not give it.
struct Beam {
  std::optional<double> mass;
  std::optional<double> MeV;
  std::optional<double> angle;
};
// The beam of a RUMP or SENRAS header (`rumpHeader` false: a file of another format, which
// carries none). A header that names the beam's element (AtomicNo) but not its mass, as SENRAS
// files do, has the mass of that element's most abundant isotope.
Beam BeamOf(const SpectrumRecord& header, bool rumpHeader, const ElementDatabase& database);

// Why the viewer cannot place surface edges with `beam`; empty when it can.
std::string BeamRefusal(const Beam& beam, bool rumpHeader);

struct SurfaceEdge {
  std::string name;  // "Au", "Si-28"
  double mass = 0;   // u
  double K = 0;
  double keV = 0;
};
// The edge of each choice under a beam that has all three values; false, with the reason in
// `problem`, when the database has no mass for one or it cannot scatter the beam that far.
bool SurfaceEdgesOf(const ElementDatabase& database, const std::vector<ElementChoice>& choices,
                    const Beam& beam, std::vector<SurfaceEdge>& edges, std::string& problem);

// The viewer's markers for lines and for edges.
std::vector<ViewerDocument::Marker> LineMarkers(const std::vector<XrayLine>& lines);
std::vector<ViewerDocument::Marker> EdgeMarkers(const std::vector<SurfaceEdge>& edges);

}  // namespace durnix
