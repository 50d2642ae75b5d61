// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Conversion of a spectrum's axis between flight time and energy, for a particle of given mass
// over a given flight length, re-binning the counts and correcting them for the efficiency.

#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix {

// What the axis dialog holds when a transform runs.
struct AxisParameters {
  float mass = 0;              // amu
  float efficiency = 0;        // %
  double maximum = 0;          // MeV (time to energy) or ns (energy to time); 0 when not given
  float tofLength = 0;         // m
  float convFactor = 0;        // ns/ch (time to energy) or keV/ch (energy to time)
  float offset = 0;            // ns or keV
  bool useConvFactor = false;  // the check box: the dialog's calibration replaces the file's
};

// The kinematic constant: a particle of mass M amu that needs t ns over the flight length has
// the energy K x M / t^2 MeV.
float KinematicConstant(float tofLength);

// Re-bin a time spectrum onto an energy axis of the same channel count, or back. The record's
// CalGain and CalOffset become the new axis (keV or ns per channel, offset 0).
// Returns 0; 11 when the mass or the efficiency is 0 (nothing changed); 200 for an arithmetic
// failure (a division by zero, a square root of a negative number, a channel or sum out of
// range, a result that is not finite), leaving the record unchanged.
Status TimeToEnergy(SpectrumRecord& record, const AxisParameters& axis);
Status EnergyToTime(SpectrumRecord& record, const AxisParameters& axis);

}  // namespace durnix
