// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace durnix {

// The spectrum that every reader fills and every writer takes. Texts are 8-bit characters as
// they stand in the files. Counts[0] holds channel 1; Counts always has ChannelCount entries.
struct SpectrumRecord {
  std::string FileName;
  std::vector<std::int32_t> Counts;
  std::int16_t ChannelCount = 0;

  std::string SpecId;
  std::string AcqDate;
  std::string AcqTime;
  std::string RealTime;
  std::string LiveTime;
  float CalGain = 0;
  float CalOffset = 0;
  float StartCh = 0;

  // The RUMP header (the stamp data when it is the copy kept in the preferences).
  std::string Version;
  float BeamMeV = 0;
  std::int16_t ChargeState = 0;
  float Mass = 0;
  std::int16_t AtomicNo = 0;
  float ChargeUC = 0;
  float CurrentNA = 0;
  float Fwhm = 0;
  float Correction = 0;
  std::int16_t Geometry = 0;
  float Theta = 0;
  float Phi = 0;
  float Psi = 0;
  float Omega = 0;
  std::string RumpComment;

  std::string KodaqId;
  std::string KodaqMem;

  // Count of channel `channel`, counting from 1.
  std::int32_t count(int channel) const { return Counts[static_cast<std::size_t>(channel - 1)]; }

  // Empties the spectrum, as a failed reader leaves it.
  void clearSpectrum() {
    Counts.clear();
    ChannelCount = 0;
  }

  bool operator==(const SpectrumRecord&) const = default;
};

// Geometry code as the header editor shows it: 0 "Cornell", 1 "IBM", anything else "No Geom".
const char* GeometryText(std::int16_t geometry);

}  // namespace durnix
