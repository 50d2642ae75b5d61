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
#include "viewer/markers.h"
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

// The choices of the names given, in their order; nothing (said on `err`) when one is no
// element.
bool choicesOf(const ElementDatabase& database, const std::vector<std::string>& names,
               std::vector<ElementChoice>& choices, std::ostream& err) {
  std::string problem;
  if (ElementChoicesOf(database, names, choices, problem)) return true;
  err << problem << '\n';
  return false;
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
  if (options.families.empty() ||
      options.families.find_first_not_of("KLMklm") != std::string::npos) {
    err << options.families << " are not line families: give any of K, L and M.\n";
    return kExitUsage;
  }
  std::string families = options.families;
  for (char& letter : families) letter = static_cast<char>(letter & ~0x20);  // upper case
  const auto database = openDatabase(options.database, err);
  if (!database) return kExitFailed;
  std::vector<ElementChoice> choices;
  if (!choicesOf(*database, options.elements, choices, err)) return kExitUsage;
  Viewed viewed;
  if (!ReadViewed(options.file, viewed, err)) return kExitFailed;
  const ViewerDocument& document = viewed.document;
  if (!document.Calibrated() || document.ChNum() == 0) {
    err << options.file << ": " << ViewerDocument::kNoCalibrationRefusal << '\n';
    return kExitFailed;
  }
  auto rows = nlohmann::ordered_json::array();
  for (const XrayLine& line : LinesWithin(*database, choices, families, document)) {
    const double channel = *ChannelOfEnergy(line.keV, document.ConvFactor(), document.ConvOffset());
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
  if (options.json) out << JsonLine(rows) << '\n';
  return kExitDone;
}

int EdgesCommand(const EdgesOptions& options, std::ostream& out, std::ostream& err) {
  const auto database = openDatabase(options.database, err);
  if (!database) return kExitFailed;
  std::vector<ElementChoice> choices;
  if (!choicesOf(*database, options.elements, choices, err)) return kExitUsage;
  Viewed viewed;
  if (!ReadViewed(options.file, viewed, err)) return kExitFailed;
  const bool rumpHeader = viewed.format != nullptr &&
                          (viewed.format->code == FMT_RBS || viewed.format->code == FMT_SEN);
  Beam beam = BeamOf(viewed.record, rumpHeader, *database);
  if (options.beamMass) beam.mass = options.beamMass;
  if (options.energy) beam.MeV = options.energy;
  if (options.angle) beam.angle = options.angle;
  if (!(beam.mass > 0.0)) {
    err << options.file
        << " gives no beam mass (only RBS and SEN files carry one): give --beam-mass.\n";
    return kExitFailed;
  }
  if (!(beam.MeV > 0.0)) {
    err << options.file
        << " gives no beam energy (only RBS and SEN files carry one): give --energy.\n";
    return kExitFailed;
  }
  if (!beam.angle) {
    err << options.file << " gives no scattering angle: give --angle.\n";
    return kExitFailed;
  }
  std::vector<SurfaceEdge> edges;
  if (std::string problem; !SurfaceEdgesOf(*database, choices, beam, edges, problem)) {
    err << problem << '\n';
    return kExitFailed;
  }
  const ViewerDocument& document = viewed.document;
  auto rows = nlohmann::ordered_json::array();
  for (const SurfaceEdge& edge : edges) {
    const auto channel = ChannelOfEnergy(edge.keV, document.ConvFactor(), document.ConvOffset());
    if (options.json) {
      nlohmann::ordered_json row;
      row["element"] = edge.name;
      row["mass"] = edge.mass;
      row["K"] = edge.K;
      row["energy_keV"] = edge.keV;
      row["channel"] = jsonNumber(channel);
      rows.push_back(std::move(row));
    } else {
      out << edge.name << "\tmass " << fixed(edge.mass, 4) << " u\tK " << fixed(edge.K, 4) << '\t'
          << fixed(edge.keV, 1) << " keV\t"
          << (channel ? "channel " + fixed(*channel, 2) : std::string("no calibration")) << '\n';
    }
  }
  if (options.json) out << JsonLine(rows) << '\n';
  return kExitDone;
}

}  // namespace durnix::cli
