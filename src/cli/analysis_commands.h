// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The viewer's analysis without a window: the figures of several regions, the X-ray lines of
// elements within a spectrum's energy range, and the surface edges of elements in an RBS
// spectrum. Each returns the exit status of commands.h.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace durnix::cli {

enum class TableForm { kText, kJson, kCsv };

struct RegionsOptions {
  std::string file;
  std::vector<std::string> spans;  // "A:B", channels counted from 0
  TableForm form = TableForm::kText;
};
int RegionsCommand(const RegionsOptions& options, std::ostream& out, std::ostream& err);

// Where the element database is: `database` when given, else the first of the usual places
// (elements/element_lines.h) seen from the folder of durnix-cli.
struct DatabaseOption {
  std::string database;
};

struct LinesOptions {
  std::string file;
  std::vector<std::string> elements;
  std::string families = "KLM";
  bool json = false;
  DatabaseOption database;
};
int LinesCommand(const LinesOptions& options, std::ostream& out, std::ostream& err);

struct EdgesOptions {
  std::string file;
  std::vector<std::string> elements;  // "Au", or an isotope "Si-28"
  std::optional<double> angle;        // degrees
  std::optional<double> energy;       // MeV
  std::optional<double> beamMass;     // u
  bool json = false;
  DatabaseOption database;
};
int EdgesCommand(const EdgesOptions& options, std::ostream& out, std::ostream& err);

}  // namespace durnix::cli
