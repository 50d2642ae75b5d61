// SPDX-License-Identifier: GPL-3.0-or-later
// Makes the sample spectra in samples/ with Durnix's own writers. The spectra are synthetic:
// ion-beam spectra of thin films drawn from simple edge and peak shapes with a fixed
// pseudo-random noise, so the files come out the same on every run.
//
//   durnix-make-samples SAMPLES_DIR
//
// Run it only to change the samples on purpose; they are committed.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "formats/ascii.h"
#include "formats/rbs.h"
#include "formats/sen.h"

namespace {

using durnix::SpectrumRecord;

// A fixed linear congruential generator: the same noise everywhere.
class Noise {
 public:
  double uniform() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(state_ >> 11) / 9007199254740992.0;
  }
  // Counts around `mean` with Poisson-like spread.
  std::int32_t around(double mean) {
    if (mean <= 0) return 0;
    const double u1 = uniform() + 1e-12;
    const double u2 = uniform();
    const double gauss = std::sqrt(-2 * std::log(u1)) * std::cos(6.283185307179586 * u2);
    return static_cast<std::int32_t>(std::lround(std::max(0.0, mean + gauss * std::sqrt(mean))));
  }

 private:
  std::uint64_t state_ = 20261206;
};

// A substrate or thick layer: a plateau below the surface edge at `edge`, rising slowly.
double plateau(double ch, double edge, double height, double width) {
  return height * 0.5 * std::erfc((ch - edge) / width) * (1.0 + 0.35 * (edge - ch) / edge);
}

// A thin layer: a peak at `centre`.
double peak(double ch, double centre, double height, double width) {
  const double x = (ch - centre) / width;
  return height * std::exp(-0.5 * x * x);
}

SpectrumRecord spectrum(int channels, double (*shape)(double)) {
  static Noise noise;
  SpectrumRecord record;
  for (int ch = 0; ch < channels; ++ch) record.Counts.push_back(noise.around(shape(ch)));
  record.ChannelCount = static_cast<std::int16_t>(channels);
  return record;
}

void rumpHeader(SpectrumRecord& r, float beamMeV, float calGain, float calOffset) {
  r.BeamMeV = beamMeV;
  r.ChargeState = 1;
  r.Mass = 4.0026f;
  r.AtomicNo = 2;
  r.ChargeUC = 20;
  r.CurrentNA = 12.5f;
  r.CalGain = calGain;
  r.CalOffset = calOffset;
  r.Fwhm = 15;
  r.Correction = 1;
  r.Geometry = 1;  // IBM
  r.Theta = 0;
  r.Phi = 170;
  r.Psi = 0;
  r.Omega = 5;
}

bool write(durnix::FileResult (*writer)(SpectrumRecord&, durnix::FileSystem&),
           SpectrumRecord record, const std::string& path) {
  record.FileName = path;
  const durnix::Status status = writer(record, durnix::LocalFiles());
  std::printf("%s: status %d\n", record.FileName.c_str(), status);
  return status == durnix::kDone;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: durnix-make-samples SAMPLES_DIR\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  bool ok = true;

  // 2 MeV He on 20 nm gold on silicon, 1024 channels of about 2 keV.
  SpectrumRecord auSi =
      spectrum(1024, [](double ch) { return plateau(ch, 505, 900, 6) + peak(ch, 905, 2600, 6); });
  rumpHeader(auSi, 2.0f, 1.9877f, 25.4f);
  auSi.SpecId = "Au 20nm on Si, 2 MeV He, 170 deg";
  auSi.AcqDate = "06-Dec-26";
  auSi.AcqTime = "09:17:05";
  auSi.RealTime = "900";
  auSi.LiveTime = "873.5";
  auSi.Version = "1.00";
  auSi.RumpComment = "synthetic sample spectrum";
  ok &= write(durnix::WriteRBS, auSi, dir + "au_on_si.RBS");

  // 2 MeV He on 100 nm SiO2 on silicon: the oxygen peak sits on the silicon plateau.
  SpectrumRecord oxide = spectrum(1024, [](double ch) {
    return plateau(ch, 480, 850, 6) - 0.45 * plateau(ch, 480, 850, 6) * (ch > 430 ? 1 : 0) +
           peak(ch, 365, 380, 14);
  });
  rumpHeader(oxide, 2.0f, 1.9877f, 25.4f);
  oxide.SpecId = "SiO2 100nm on Si";
  oxide.AcqDate = "05-Dec-26";
  oxide.AcqTime = "16:40:12";
  oxide.RealTime = "1200";
  oxide.LiveTime = "1150";
  oxide.Version = "VERSION 1.2";
  ok &= write(durnix::WriteSEN, oxide, dir + "sio2_on_si.SEN");

  // 2.275 MeV He on tantalum on glassy carbon, 512 channels.
  SpectrumRecord taC =
      spectrum(512, [](double ch) { return plateau(ch, 150, 120, 4) + peak(ch, 470, 1800, 5); });
  taC.SpecId = "Ta 10nm on C";
  taC.AcqDate = "04-Dec-26";
  taC.AcqTime = "11:02:44";
  ok &= write(durnix::WriteAS1, taC, dir + "ta_on_c.AS1");

  // 3 MeV He on GaAs, 2048 channels.
  SpectrumRecord gaAs = spectrum(
      2048, [](double ch) { return plateau(ch, 1700, 1400, 10) + plateau(ch, 1660, 1300, 10); });
  ok &= write(durnix::WriteAS2, gaAs, dir + "gaas.AS2");

  return ok ? 0 : 1;
}
