// SPDX-License-Identifier: GPL-3.0-or-later
#include "elements/element_lines.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace durnix {

namespace {

// The fields of the tables, by position.
constexpr std::size_t kIonSymbol = 1;
constexpr std::size_t kIonMostAbundant = 2;  // the mass number of the most abundant isotope
constexpr std::size_t kIonAtomicWeight = 4;
constexpr std::size_t kIsotopeName = 1;
constexpr std::size_t kIsotopeMass = 2;
constexpr std::size_t kIsotopeMassNumber = 6;
constexpr std::size_t kXrayLine = 1;
constexpr std::size_t kXrayEnergy = 2;
constexpr std::size_t kXrayIntensity = 3;

char upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return upper(x) == upper(y); });
}

std::string field(const FieldRow& row, std::size_t i) {
  return i < row.size() && row[i].present ? row[i].text : std::string();
}

std::optional<double> number(const FieldRow& row, std::size_t i) {
  if (i < row.size() && row[i].present) return row[i].number;
  return std::nullopt;
}

}  // namespace

std::optional<int> AtomicNumberOf(const ElementDatabase& database, std::string_view symbol) {
  if (symbol.empty() || symbol.size() > 3) return std::nullopt;
  for (int z = 1; z <= ElementDatabase::kElements; ++z) {
    const auto row = database.ionData(z);
    if (row && sameLetters(field(*row, kIonSymbol), symbol)) return z;
  }
  return std::nullopt;
}

std::string SymbolOf(const ElementDatabase& database, int z) {
  const auto row = database.ionData(z);
  return row ? field(*row, kIonSymbol) : std::string();
}

std::string LineName(std::string_view line) {
  std::string name;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (i == 0 || (c >= '0' && c <= '9')) {
      name += upper(c);
      continue;
    }
    switch (upper(c)) {
      case 'A':
        name += "α";
        break;
      case 'B':
        name += "β";
        break;
      case 'G':
        name += "γ";
        break;
      case 'N':
        name += "η";
        break;
      case 'Z':
        name += "ζ";
        break;
      default:
        name += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
  }
  return name;
}

std::vector<XrayLine> XrayLinesOf(const ElementDatabase& database, int z,
                                  std::string_view families) {
  std::vector<XrayLine> lines;
  const std::string symbol = SymbolOf(database, z);
  std::map<char, double> strongest;
  std::vector<std::optional<double>> intensities;
  for (const FieldRow& row : database.xrays(z)) {
    const std::string name = field(row, kXrayLine);
    const auto energy = number(row, kXrayEnergy);
    if (name.empty() || !energy) continue;
    const char family = upper(name.front());
    if (families.find(family) == std::string_view::npos) continue;
    const auto intensity = number(row, kXrayIntensity);
    if (intensity) strongest[family] = std::max(strongest[family], *intensity);
    lines.push_back({z, symbol, name, symbol + " " + LineName(name), *energy, 1});
    intensities.push_back(intensity);
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const double top = strongest[upper(lines[i].line.front())];
    if (intensities[i] && top > 0) lines[i].height = *intensities[i] / top;
  }
  return lines;
}

std::optional<double> TargetMass(const ElementDatabase& database, int z, std::string_view isotope) {
  if (isotope.empty()) {
    const auto row = database.ionData(z);
    return row ? number(*row, kIonAtomicWeight) : std::nullopt;
  }
  for (const FieldRow& row : database.isotopes(z)) {
    const std::string massNumber = field(row, kIsotopeMassNumber);
    if (sameLetters(field(row, kIsotopeName), isotope) || massNumber == isotope) {
      return number(row, kIsotopeMass);
    }
  }
  return std::nullopt;
}

std::optional<double> BeamMass(const ElementDatabase& database, int z) {
  const auto row = database.ionData(z);
  if (!row) return std::nullopt;
  const std::string massNumber = field(*row, kIonMostAbundant);
  return massNumber.empty() ? std::nullopt : TargetMass(database, z, massNumber);
}

std::vector<std::string> ElementDatabaseCandidates(const std::string& programFolder) {
  std::vector<std::string> folders{programFolder, programFolder + "/../share/durnix"};
  const auto environment = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
  };
  std::string home = environment("XDG_DATA_HOME");
  if (home.empty() && !environment("HOME").empty()) home = environment("HOME") + "/.local/share";
  if (!home.empty()) folders.push_back(home + "/durnix");
  std::string dirs = environment("XDG_DATA_DIRS");
  if (dirs.empty()) dirs = "/usr/local/share:/usr/share";
  for (std::size_t start = 0; start <= dirs.size();) {
    const std::size_t end = std::min(dirs.find(':', start), dirs.size());
    if (end > start) folders.push_back(dirs.substr(start, end - start) + "/durnix");
    start = end + 1;
  }
  std::vector<std::string> paths;
  for (const std::string& folder : folders) {
    std::string path = folder + "/" + ElementDatabase::kFileName;
    if (std::find(paths.begin(), paths.end(), path) == paths.end())
      paths.push_back(std::move(path));
  }
  return paths;
}

}  // namespace durnix
