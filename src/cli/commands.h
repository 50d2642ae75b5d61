// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The commands of durnix-cli. Each returns the process exit status: 0 when everything asked was
// done, 1 when some file failed, 2 for a usage error.

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace durnix {
struct Preferences;
}

namespace durnix::cli {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

int FormatsCommand(std::ostream& out);

struct InfoOptions {
  std::string from = "AUTO";
  bool json = false;
  std::size_t spectrum = 1;  // which spectrum of a file that holds several, from 1
  std::vector<std::string> files;
};
int InfoCommand(const InfoOptions& options, std::ostream& out, std::ostream& err);

enum class ExistingOutput { kKeep, kOverwrite, kSkip };

enum class AxisDirection { kNone, kTimeToEnergy, kEnergyToTime };

struct ConvertOptions {
  std::string to;
  std::string from = "AUTO";
  std::string outDir = ".";
  ExistingOutput existing = ExistingOutput::kKeep;
  bool yes = false;
  std::string config;  // a configuration file supplying preferences and stamp data
  bool stamp = false;
  AxisDirection axis = AxisDirection::kNone;
  // The axis dialog's fields; those not given come from the configuration (or its defaults).
  std::optional<double> mass, efficiency, maximum, tofLength, convFactor, offset;
  bool useConvFactor = false;
  bool json = false;         // one JSON object per file and one for the run, on standard output
  std::size_t spectrum = 1;  // which spectrum of a file that holds several, from 1
  // The files, as the caller keeps them for the run (the command line's own words): a run of
  // many files keeps one list of their names.
  std::vector<std::string_view> files;
};
int ConvertCommand(const ConvertOptions& options, std::ostream& out, std::ostream& err);

// Preferences from a configuration file for a run without a window. Its folders mean nothing
// here, so they are not checked. Returns 0, or 1 when the file cannot be read or is no
// configuration file (said on `err`, naming the file).
int LoadHeadlessConfig(const std::string& path, Preferences& prefs, std::ostream& err);

int ConfigShowCommand(const std::string& file, bool json, std::ostream& out, std::ostream& err);
int ConfigSetCommand(const std::string& file, const std::vector<std::string>& assignments,
                     std::ostream& err);

}  // namespace durnix::cli
