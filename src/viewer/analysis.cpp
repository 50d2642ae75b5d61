// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/analysis.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace durnix {

namespace {

double radians(double degrees) {
  return degrees * std::numbers::pi / 180.0;
}
double degrees(double radians) {
  return radians * 180.0 / std::numbers::pi;
}

// Where the net counts fall below `half` going from the peak at index `peak` outwards (`up`
// toward higher channels): the fractional index of the crossing, or nothing when they stay
// above it to the region's end.
std::optional<double> crossing(const std::vector<double>& net, std::size_t peak, bool up,
                               double half) {
  for (std::size_t i = peak; up ? i + 1 < net.size() : i > 0; up ? ++i : --i) {
    const double inner = net[i];
    const double outer = net[up ? i + 1 : i - 1];
    const double part = (inner - half) / (inner - outer);
    if (outer < half) return static_cast<double>(i) + (up ? part : -part);
  }
  return std::nullopt;
}

}  // namespace

RegionFigures FiguresOf(std::span<const std::int32_t> counts, int from, int to) {
  RegionFigures figures;
  figures.from = from;
  figures.to = to;
  if (from < 0 || to <= from || to >= static_cast<int>(counts.size())) return figures;
  figures.areas = AreasOf(counts, from, to);
  const double left = figures.areas.left;
  const double slope = (figures.areas.right - left) / (to - from);
  const auto window =
      counts.subspan(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from + 1));
  std::vector<double> net(window.size());
  double sum = 0;
  double moment = 0;
  std::size_t peak = 0;
  for (std::size_t i = 0; i < window.size(); ++i) {
    const double offset = static_cast<double>(i);
    net[i] = window[i] - (left + slope * offset);
    // Channels below the background line weigh nothing: the centroid stays within the region.
    sum += std::max(net[i], 0.0);
    moment += std::max(net[i], 0.0) * offset;
    if (net[i] > net[peak]) peak = i;
  }
  if (sum > 0) figures.centroid = from + moment / sum;
  if (net[peak] > 0) {
    const auto low = crossing(net, peak, false, net[peak] / 2);
    const auto high = crossing(net, peak, true, net[peak] / 2);
    if (low && high) figures.fwhm = *high - *low;
  }
  return figures;
}

std::optional<double> KinematicFactor(double m1, double m2, double thetaDegrees) {
  if (!(m1 > 0) || !(m2 > 0)) return std::nullopt;
  const double theta = radians(thetaDegrees);
  const double sine = m1 * std::sin(theta);
  const double root = m2 * m2 - sine * sine;
  if (root < 0) return std::nullopt;
  const double k = (std::sqrt(root) + m1 * std::cos(theta)) / (m1 + m2);
  // Beyond 90 degrees a projectile heavier than the nucleus cannot come back.
  if (k < 0) return std::nullopt;
  return k * k;
}

std::optional<double> ScatteringAngle(const SpectrumRecord& header) {
  double angle = header.Phi;
  if (header.Phi > 90) {
    angle = header.Phi;
  } else if (header.Geometry == 1) {
    angle = 180.0 - header.Theta - header.Phi;
  } else if (header.Geometry == 0) {
    const double incidence = std::cos(radians(header.Theta));
    if (incidence == 0) return std::nullopt;
    const double c = -std::cos(radians(header.Phi)) / incidence;
    if (c < -1 || c > 1) return std::nullopt;
    angle = degrees(std::acos(c));
  } else {
    return std::nullopt;
  }
  if (!(angle > 0 && angle <= 180)) return std::nullopt;
  return angle;
}

std::optional<double> ChannelOfEnergy(double keV, double keVPerChannel, double offsetKeV) {
  if (keVPerChannel == 0) return std::nullopt;
  return (keV - offsetKeV) / keVPerChannel;
}

}  // namespace durnix
