// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The numbers a physicist reads off a spectrum besides a region's areas: a region's centroid and
// full width at half maximum over its background line, and the kinematics of elastic scattering
// that place an element's surface edge in an RBS spectrum.

#include <cstdint>
#include <optional>
#include <span>

#include "formats/spectrum_record.h"
#include "viewer/region.h"

namespace durnix {

// A region's figures: its areas as the viewer shows them, and, when its net counts (count minus
// the background line) have a positive peak, the centroid (the mean channel weighted by the net
// counts above the line; channels below it weigh nothing) and the
// FWHM (where the net counts cross half their largest value, linearly interpolated between
// channels), both in channels.
struct RegionFigures {
  int from = 0;
  int to = 0;
  RegionAreas areas;
  std::optional<double> centroid;
  std::optional<double> fwhm;
};
// The figures of channels from..to of `counts` (from < to, both within the counts; otherwise
// only the ends are set).
RegionFigures FiguresOf(std::span<const std::int32_t> counts, int from, int to);

// The kinematic factor of elastic scattering: the part of its energy that a projectile of mass
// m1 keeps after scattering through `thetaDegrees` off a resting nucleus of mass m2. Nothing
// when m2 cannot scatter the projectile that far (m2 < m1 sin theta) or a mass is not positive.
std::optional<double> KinematicFactor(double m1, double m2, double thetaDegrees);

// The scattering angle (degrees) of an RBS or SEN header. A Phi above 90 degrees is the
// scattering angle itself, as SENRAS and most RUMP files give it (135, 165, 170). A Phi of 90 or
// less is the exit angle from the sample's normal, Theta the incidence angle, and the scattering
// angle follows from the geometry:
//   IBM (the beam, the detector and the normal in one plane): 180 - Theta - Phi;
//   Cornell (the tilt axis in the scattering plane): arccos(-cos Phi / cos Theta).
// Nothing for such a Phi without a geometry, or when the result is not above 0 and at most 180.
std::optional<double> ScatteringAngle(const SpectrumRecord& header);

// The channel (fractional) at which `keV` falls under a calibration of `keVPerChannel` and
// `offsetKeV`; nothing without a calibration (a factor of 0).
std::optional<double> ChannelOfEnergy(double keV, double keVPerChannel, double offsetKeV);

}  // namespace durnix
