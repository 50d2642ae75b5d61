// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The viewer's table of regions as text: the cells the window shows, the tab-separated text
// Copy puts on the clipboard and the CSV that Export and durnix-cli write, the same numbers in
// each.

#include <string>
#include <vector>

#include "viewer/analysis.h"
#include "viewer/viewer_document.h"

namespace durnix {

// The columns: "From", "To", "Gross", "Net", "Centroid", "FWHM", and with a calibration
// "Centroid (keV)" and "FWHM (keV)".
std::vector<std::string> RegionTableHeader(bool calibrated);

// One region's cells under the document's calibration. The net area as the viewer's Net field
// shows it, centroid and FWHM with two decimals in channels and three in keV; a figure the
// region does not have (no peak above its background) is an empty cell.
std::vector<std::string> RegionTableRow(const RegionFigures& figures,
                                        const ViewerDocument& document);

// The header and every row of the document's table, the cells joined by `separator`, each line
// ended by "\n".
std::string RegionTableText(const ViewerDocument& document, char separator);

}  // namespace durnix
