// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/markers.h"

#include <algorithm>
#include <sstream>

#include "viewer/analysis.h"

namespace durnix {

std::vector<std::string> ElementNamesOf(std::string_view text) {
  std::vector<std::string> names;
  std::string name;
  for (const char c : text) {
    if (c == ' ' || c == '\t' || c == ',' || c == ';') {
      if (!name.empty()) names.push_back(std::move(name));
      name.clear();
    } else {
      name += c;
    }
  }
  if (!name.empty()) names.push_back(std::move(name));
  return names;
}

bool ElementChoicesOf(const ElementDatabase& database, const std::vector<std::string>& names,
                      std::vector<ElementChoice>& choices, std::string& problem) {
  choices.clear();
  for (const std::string& named : names) {
    const std::size_t dash = named.find('-');
    const auto z = AtomicNumberOf(database, named.substr(0, dash));
    const std::string isotope = dash == std::string::npos ? std::string() : named.substr(dash + 1);
    if (!z || (dash != std::string::npos && isotope.empty())) {
      problem = named + " is not an element.";
      return false;
    }
    const std::string symbol = SymbolOf(database, *z);
    choices.push_back({*z, isotope, isotope.empty() ? symbol : symbol + "-" + isotope});
  }
  return true;
}

std::vector<XrayLine> LinesWithin(const ElementDatabase& database,
                                  const std::vector<ElementChoice>& choices,
                                  std::string_view families, const ViewerDocument& document) {
  std::vector<XrayLine> within;
  if (!document.Calibrated() || document.ChNum() == 0) return within;
  const double first = *document.EnergyAt(0);
  const double last = *document.EnergyAt(document.ChNum() - 1);
  for (const ElementChoice& choice : choices) {
    for (XrayLine& line : XrayLinesOf(database, choice.z, families)) {
      if (line.keV >= std::min(first, last) && line.keV <= std::max(first, last)) {
        within.push_back(std::move(line));
      }
    }
  }
  return within;
}

Beam BeamOf(const SpectrumRecord& header, bool rumpHeader, const ElementDatabase& database) {
  Beam beam;
  if (!rumpHeader) return beam;
  if (header.Mass > 0) {
    beam.mass = header.Mass;
  } else if (header.AtomicNo > 0) {
    beam.mass = BeamMass(database, header.AtomicNo);
  }
  if (header.BeamMeV > 0) beam.MeV = header.BeamMeV;
  beam.angle = ScatteringAngle(header);
  return beam;
}

std::string BeamRefusal(const Beam& beam, bool rumpHeader) {
  if (!rumpHeader) {
    return "Only RBS and SEN spectra hold a beam and a geometry: no surface edge can be placed "
           "on this one.";
  }
  if (!(beam.mass > 0.0)) return "The header gives no beam mass: no surface edge can be placed.";
  if (!(beam.MeV > 0.0)) return "The header gives no beam energy: no surface edge can be placed.";
  if (!beam.angle) {
    return "The header's angles give no scattering angle: no surface edge can be placed.";
  }
  return {};
}

namespace {

std::string Number(double value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

}  // namespace

bool SurfaceEdgesOf(const ElementDatabase& database, const std::vector<ElementChoice>& choices,
                    const Beam& beam, std::vector<SurfaceEdge>& edges, std::string& problem) {
  edges.clear();
  for (const ElementChoice& choice : choices) {
    const auto mass = TargetMass(database, choice.z, choice.isotope);
    if (!mass) {
      problem = choice.name + ": the element database has no mass for it.";
      return false;
    }
    const auto k = KinematicFactor(*beam.mass, *mass, *beam.angle);
    if (!k) {
      problem = choice.name + " (" + Number(*mass) + " u) cannot scatter a projectile of " +
                Number(*beam.mass) + " u through " + Number(*beam.angle) + " degrees.";
      return false;
    }
    edges.push_back({choice.name, *mass, *k, *k * *beam.MeV * 1000.0});
  }
  return true;
}

std::vector<ViewerDocument::Marker> LineMarkers(const std::vector<XrayLine>& lines) {
  std::vector<ViewerDocument::Marker> markers;
  for (const XrayLine& line : lines) {
    markers.push_back({ViewerDocument::Marker::kXray, line.keV, line.label, line.height});
  }
  return markers;
}

std::vector<ViewerDocument::Marker> EdgeMarkers(const std::vector<SurfaceEdge>& edges) {
  std::vector<ViewerDocument::Marker> markers;
  for (const SurfaceEdge& edge : edges) {
    markers.push_back({ViewerDocument::Marker::kEdge, edge.keV, edge.name, 1});
  }
  return markers;
}

}  // namespace durnix
