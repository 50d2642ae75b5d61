// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/region_table.h"

#include <cstdio>

namespace durnix {

namespace {

std::string fixed(std::optional<double> value, int decimals) {
  if (!value) return {};
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, *value);
  return text;
}

}  // namespace

std::vector<std::string> RegionTableHeader(bool calibrated) {
  std::vector<std::string> header{"From", "To", "Gross", "Net", "Centroid", "FWHM"};
  if (calibrated) {
    header.emplace_back("Centroid (keV)");
    header.emplace_back("FWHM (keV)");
  }
  return header;
}

std::vector<std::string> RegionTableRow(const RegionFigures& figures,
                                        const ViewerDocument& document) {
  std::vector<std::string> row{std::to_string(figures.from), std::to_string(figures.to),
                               GrossText(figures.areas),     NetText(figures.areas),
                               fixed(figures.centroid, 2),   fixed(figures.fwhm, 2)};
  if (document.Calibrated()) {
    row.push_back(fixed(figures.centroid ? document.EnergyAt(*figures.centroid) : std::nullopt, 3));
    row.push_back(fixed(figures.fwhm ? document.EnergyWidth(*figures.fwhm) : std::nullopt, 3));
  }
  return row;
}

std::string RegionTableText(const ViewerDocument& document, char separator) {
  std::string text;
  const auto line = [&](const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (i > 0) text += separator;
      text += cells[i];
    }
    text += '\n';
  };
  line(RegionTableHeader(document.Calibrated()));
  for (const RegionFigures& figures : document.RegionTable()) {
    line(RegionTableRow(figures, document));
  }
  return text;
}

}  // namespace durnix
