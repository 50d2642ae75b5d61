// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The commands of durnix-cli. Each returns the process exit status: 0 when everything asked was
// done, 1 when some file failed, 2 for a usage error.

#include <iosfwd>
#include <string>
#include <vector>

namespace durnix::cli {

int FormatsCommand(std::ostream& out);

struct InfoOptions {
  std::string from = "AUTO";
  bool json = false;
  std::vector<std::string> files;
};
int InfoCommand(const InfoOptions& options, std::ostream& out, std::ostream& err);

enum class ExistingOutput { kAsk, kOverwrite, kSkip };

struct ConvertOptions {
  std::string to;
  std::string from = "AUTO";
  std::string outDir = ".";
  ExistingOutput existing = ExistingOutput::kAsk;
  bool yes = false;
  std::vector<std::string> files;
};
int ConvertCommand(const ConvertOptions& options, std::ostream& out, std::ostream& err);

}  // namespace durnix::cli
