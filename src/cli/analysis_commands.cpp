// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/analysis_commands.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <ostream>

#include "cli/commands.h"
#include "cli/record_text.h"
#include "cli/viewer_commands.h"
#include "elements/element_lines.h"
#include "formats/text_rules.h"
#include "viewer/analysis.h"
#include "viewer/region_table.h"

namespace durnix::cli {

namespace {

// "A:B" as two channels; false when it is not two whole numbers around one colon.
bool parseSpan(const std::string& text, int& from, int& to) {
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  const auto whole = [](const std::string& part, int& value) {
    if (part.empty() || part.size() > 9) return false;
    std::size_t i = part[0] == '-' ? 1 : 0;
    if (i == part.size()) return false;
    for (; i < part.size(); ++i) {
      if (part[i] < '0' || part[i] > '9') return false;
    }
    value = std::stoi(part);
    return true;
  };
  return whole(text.substr(0, colon), from) && whole(text.substr(colon + 1), to);
}

// A number for JSON: nothing as null.
nlohmann::ordered_json jsonNumber(std::optional<double> value) {
  return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
}

// The folder durnix-cli runs from.
std::string programFolder() {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string(".") : self.parent_path().string();
}

std::unique_ptr<ElementDatabase> openDatabase(const DatabaseOption& option, std::ostream& err) {
  std::vector<std::string> candidates;
  if (!option.database.empty()) {
    candidates.push_back(option.database);
  } else {
    // A build keeps the database beside the desktop program, one folder above durnix-cli.
    const std::string folder = programFolder();
    candidates = ElementDatabaseCandidates(folder);
    candidates.insert(candidates.begin() + 1,
                      folder + "/../" + std::string(ElementDatabase::kFileName));
  }
  std::string problem;
  for (const std::string& path : candidates) {
    std::error_code error;
    if (option.database.empty() && !std::filesystem::exists(path, error)) continue;
    if (auto database = ElementDatabase::Open(path, problem)) return database;
    err << problem << '\n';
    return nullptr;
  }
  err << "The element database " << ElementDatabase::kFileName
      << " is not in any of its folders (--database names it).\n";
  return nullptr;
}

// The atomic numbers of the symbols given, in their order; nothing (said on `err`) when one is
// no element.
bool elementsOf(const ElementDatabase& database, const std::vector<std::string>& symbols,
                std::vector<int>& numbers, std::ostream& err) {
  for (const std::string& symbol : symbols) {
    const auto z = AtomicNumberOf(database, symbol.substr(0, symbol.find('-')));
    if (!z) {
      err << symbol << " is not an element.\n";
      return false;
    }
    numbers.push_back(*z);
  }
  return true;
}

std::string fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

}  // namespace

int RegionsCommand(const RegionsOptions& options, std::ostream& out, std::ostream& err) {
  std::vector<ViewerDocument::Span> spans;
  for (const std::string& text : options.spans) {
    ViewerDocument::Span span;
    if (!parseSpan(text, span.from, span.to)) {
      err << text << " is not a region: give its channels as FROM:TO.\n";
      return kExitUsage;
    }
    if (const std::string refusal = ViewerDocument::RegionEndsRefusal(span.from, span.to);
        !refusal.empty()) {
      err << refusal << '\n';
      return kExitUsage;
    }
    spans.push_back(span);
  }
  Viewed viewed;
  if (!ReadViewed(options.file, viewed, err)) return kExitFailed;
  for (const ViewerDocument::Span& span : spans) {
    if (std::string refusal; !viewed.document.AddRegion(span.from, span.to, refusal)) {
      err << options.file << ": " << refusal << '\n';
      return kExitUsage;
    }
  }
  const ViewerDocument& document = viewed.document;
  if (options.form == TableForm::kJson) {
    auto rows = nlohmann::ordered_json::array();
    for (const RegionFigures& figures : document.RegionTable()) {
      nlohmann::ordered_json row;
      row["from"] = figures.from;
      row["to"] = figures.to;
      row["gross"] = figures.areas.gross;
      row["net"] = NumericPrefix(SingleText(figures.areas.net));
      row["centroid"] = jsonNumber(figures.centroid);
      row["fwhm"] = jsonNumber(figures.fwhm);
      if (document.Calibrated()) {
        row["centroid_keV"] =
            jsonNumber(figures.centroid ? document.EnergyAt(*figures.centroid) : std::nullopt);
        row["fwhm_keV"] =
            jsonNumber(figures.fwhm ? document.EnergyWidth(*figures.fwhm) : std::nullopt);
      }
      rows.push_back(std::move(row));
    }
    out << JsonLine(rows) << '\n';
  } else {
    out << RegionTableText(document, options.form == TableForm::kCsv ? ',' : '\t');
  }
  return kExitDone;
}

int LinesCommand(const LinesOptions& options, std::ostream& out, std::ostream& err) {
  const auto database = openDatabase(options.database, err);
  if (!database) return kExitFailed;
  std::vector<int> numbers;
  if (!elementsOf(*database, options.elements, numbers, err)) return kExitUsage;
  Viewed viewed;
  if (!ReadViewed(options.file, viewed, err)) return kExitFailed;
  const ViewerDocument& document = viewed.document;
  if (!document.Calibrated() || document.ChNum() == 0) {
    err << options.file << ": " << ViewerDocument::kNoCalibrationRefusal << '\n';
    return kExitFailed;
  }
  const double low = *document.EnergyAt(0);
  const double high = *document.EnergyAt(document.ChNum() - 1);
  auto rows = nlohmann::ordered_json::array();
  for (const int z : numbers) {
    for (const XrayLine& line : XrayLinesOf(*database, z, options.families)) {
      if (line.keV < std::min(low, high) || line.keV > std::max(low, high)) continue;
      const double channel =
          *ChannelOfEnergy(line.keV, document.ConvFactor(), document.ConvOffset());
      if (options.json) {
        nlohmann::ordered_json row;
        row["element"] = line.symbol;
        row["line"] = line.line;
        row["name"] = line.label;
        row["energy_keV"] = line.keV;
        row["channel"] = channel;
        row["height"] = line.height;
        rows.push_back(std::move(row));
      } else {
        out << line.label << '\t' << fixed(line.keV, 4) << " keV\tchannel " << fixed(channel, 2)
            << '\n';
      }
    }
  }
  if (options.json) out << JsonLine(rows) << '\n';
  return kExitDone;
}

int EdgesCommand(const EdgesOptions& options, std::ostream& out, std::ostream& err) {
  const auto database = openDatabase(options.database, err);
  if (!database) return kExitFailed;
  std::vector<int> numbers;
  if (!elementsOf(*database, options.elements, numbers, err)) return kExitUsage;
  Viewed viewed;
  if (!ReadViewed(options.file, viewed, err)) return kExitFailed;
  const SpectrumRecord& header = viewed.record;
  const bool rumpHeader = viewed.format != nullptr &&
                          (viewed.format->code == FMT_RBS || viewed.format->code == FMT_SEN);
  const double beamMass = options.beamMass.value_or(rumpHeader ? header.Mass : 0);
  const double beamMeV = options.energy.value_or(rumpHeader ? header.BeamMeV : 0);
  if (!(beamMass > 0)) {
    err << options.file << " gives no beam mass (only RBS files carry one): give --beam-mass.\n";
    return kExitFailed;
  }
  if (!(beamMeV > 0)) {
    err << options.file
        << " gives no beam energy (only RBS and SEN files carry one): give --energy.\n";
    return kExitFailed;
  }
  const std::optional<double> angle = options.angle ? options.angle
                                      : rumpHeader  ? ScatteringAngle(header)
                                                    : std::nullopt;
  if (!angle) {
    err << options.file << " gives no scattering angle: give --angle.\n";
    return kExitFailed;
  }
  const ViewerDocument& document = viewed.document;
  auto rows = nlohmann::ordered_json::array();
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    const std::string& named = options.elements[i];
    const std::size_t dash = named.find('-');
    const std::string isotope = dash == std::string::npos ? std::string() : named.substr(dash + 1);
    const auto mass = TargetMass(*database, numbers[i], isotope);
    if (!mass) {
      err << named << ": the element database has no mass for it.\n";
      return kExitFailed;
    }
    const auto k = KinematicFactor(beamMass, *mass, *angle);
    if (!k) {
      err << named << " (" << *mass << " u) cannot scatter a projectile of " << beamMass
          << " u through " << *angle << " degrees.\n";
      return kExitFailed;
    }
    const double keV = *k * beamMeV * 1000.0;
    const auto channel = ChannelOfEnergy(keV, document.ConvFactor(), document.ConvOffset());
    const std::string symbol =
        SymbolOf(*database, numbers[i]) + (isotope.empty() ? std::string() : "-" + isotope);
    if (options.json) {
      nlohmann::ordered_json row;
      row["element"] = symbol;
      row["mass"] = *mass;
      row["K"] = *k;
      row["energy_keV"] = keV;
      row["channel"] = jsonNumber(channel);
      rows.push_back(std::move(row));
    } else {
      out << symbol << "\tmass " << fixed(*mass, 4) << " u\tK " << fixed(*k, 4) << '\t'
          << fixed(keV, 1) << " keV\t"
          << (channel ? "channel " + fixed(*channel, 2) : std::string("no calibration")) << '\n';
    }
  }
  if (options.json) out << JsonLine(rows) << '\n';
  return kExitDone;
}

}  // namespace durnix::cli
