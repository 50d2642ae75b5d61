// SPDX-License-Identifier: GPL-3.0-or-later
// durnix-cli: the headless companion of the Durnix desktop program. It lists the formats, shows
// what a spectrum file holds, converts files between formats and runs the viewer's commands.

#include <CLI/CLI.hpp>
#include <algorithm>
#include <csignal>
#include <iostream>
#include <string_view>
#include <vector>

#include "cli/analysis_commands.h"
#include "cli/commands.h"
#include "cli/viewer_commands.h"
#include "durnix/version.h"

namespace {

// Moves the file names of `durnix-cli convert ...` out of the arguments into `files`: every
// argument after "convert" that is neither an option, nor the value of an option that takes one,
// nor after "--". Returns the arguments left for the parser.
std::vector<char*> TakeConvertFiles(CLI::App& convert, int argc, char** argv,
                                    std::vector<std::string_view>& files) {
  std::vector<char*> rest(argv, argv + argc);
  if (argc < 2 || std::string_view(argv[1]) != "convert") return rest;
  rest.resize(2);
  files.reserve(static_cast<std::size_t>(argc));
  bool onlyFiles = false;
  for (int i = 2; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (onlyFiles || arg.empty() || arg[0] != '-' || arg == "-") {
      files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      onlyFiles = true;
      continue;
    }
    rest.push_back(argv[i]);
    const CLI::Option* option =
        convert.get_option_no_throw(std::string(arg.substr(0, arg.find('='))));
    if (option != nullptr && option->get_items_expected_min() > 0 &&
        arg.find('=') == std::string::npos && i + 1 < argc) {
      rest.push_back(argv[++i]);  // the option's value
    }
  }
  return rest;
}

constexpr const char* kSpectrumHelp =
    "Which spectrum of a file that holds several (N42) is read, from 1 (default 1); files of "
    "one spectrum are read whole";

bool Blank(std::string_view value) {
  return value.find_first_not_of(" \t") == std::string_view::npos;
}

// A number given as an empty (or blank) text is no number: a usage error, as any text that is
// not a number is. Without this check an empty value would be read as 0.
const CLI::Validator kNotEmpty(
    [](std::string& value) { return Blank(value) ? std::string("an empty value") : std::string(); },
    "", "NOT EMPTY");

// The parser cannot be left to find an empty value among those of an option that takes several
// ("--linear 0.1 ''"): it never returns. So the values of the numeric options of the command
// named by args[1] are looked at first; the option with an empty value goes to `named`.
bool EmptyNumber(CLI::App& app, const std::vector<const CLI::Option*>& numeric,
                 const std::vector<char*>& args, std::string& named) {
  if (args.size() < 2) return false;
  const std::string commandName = args[1];
  const std::vector<CLI::App*> commands =
      app.get_subcommands([&](CLI::App* sub) { return sub->check_name(commandName); });
  if (commands.empty()) return false;
  CLI::App* command = commands.front();
  for (std::size_t i = 2; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == "--") break;
    if (arg.size() < 2 || arg[0] != '-') continue;
    const std::size_t equals = arg.find('=');
    const std::string name(arg.substr(0, equals));
    const CLI::Option* option = command->get_option_no_throw(name);
    if (option == nullptr || std::find(numeric.begin(), numeric.end(), option) == numeric.end()) {
      continue;
    }
    named = name;
    if (equals != std::string_view::npos) {
      if (Blank(arg.substr(equals + 1))) return true;
      continue;
    }
    const std::size_t values = static_cast<std::size_t>(option->get_items_expected_min());
    for (std::size_t k = 1; k <= values && i + k < args.size(); ++k) {
      if (Blank(args[i + k])) return true;
    }
    i += values;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace durnix::cli;
  // A file that outgrows the user's size limit is a write that fails, told as such, not the end
  // of the program.
  std::signal(SIGXFSZ, SIG_IGN);
  CLI::App app{"durnix-cli: convert and inspect spectrum files of multichannel analysers"};
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("durnix-cli ") + durnix::kProgramVersion);

  auto* formats = app.add_subcommand("formats", "List the formats: code, name, mask, extension");

  InfoOptions info;
  auto* infoCommand = app.add_subcommand("info", "Read spectrum files and print every field");
  infoCommand->add_option("--from", info.from,
                          "Source format (name, code or key; default AUTO detection)");
  infoCommand->add_flag("--json", info.json, "One JSON object per line per file");
  infoCommand->add_option("--spectrum", info.spectrum, kSpectrumHelp)->check(CLI::PositiveNumber);
  infoCommand->add_option("FILE", info.files, "Spectrum files")->required();

  ConvertOptions convert;
  bool overwrite = false;
  bool skipExisting = false;
  auto* convertCommand = app.add_subcommand("convert", "Convert spectrum files to another format");
  convertCommand->add_option("--to", convert.to, "Destination format (name, code or key)")
      ->required();
  convertCommand->add_option("--from", convert.from,
                             "Source format (name, code or key; default AUTO detection)");
  convertCommand->add_option("--out", convert.outDir, "Destination folder (default: here)");
  auto* overwriteFlag =
      convertCommand->add_flag("--overwrite", overwrite, "Replace existing output files");
  auto* skipFlag =
      convertCommand->add_flag("--skip-existing", skipExisting, "Keep existing output files");
  overwriteFlag->excludes(skipFlag);
  convertCommand->add_flag("--yes", convert.yes,
                           "Answer Yes to \"... has not 1024 channel. Continue ?\"");
  convertCommand->add_option("--config", convert.config,
                             "Take preferences and stamp data from this configuration file");
  convertCommand->add_flag("--stamp", convert.stamp,
                           "Stamp mode: RBS and SEN files get the stamp data");
  bool timeToEnergy = false;
  bool energyToTime = false;
  auto* t2e = convertCommand->add_flag("--time-to-energy", timeToEnergy,
                                       "Convert each spectrum from a time to an energy axis");
  auto* e2t = convertCommand->add_flag("--energy-to-time", energyToTime,
                                       "Convert each spectrum from an energy to a time axis");
  t2e->excludes(e2t);
  // The options whose values are numbers, whose empty values are refused.
  std::vector<const CLI::Option*> numeric;
  const auto axisValue = [&](const char* name, std::optional<double>& value, const char* what) {
    numeric.push_back(convertCommand
                          ->add_option_function<double>(
                              name, [&value](double v) { value = v; }, what)
                          ->check(kNotEmpty));
  };
  axisValue("--mass", convert.mass, "Mass of the particle (amu)");
  axisValue("--efficiency", convert.efficiency, "Efficiency of the particle (%)");
  axisValue("--max", convert.maximum,
            "Maximum energy (MeV) or time (ns); 0 or none: from the data");
  axisValue("--tof-length", convert.tofLength, "Length of the flight path (m)");
  axisValue("--conv-factor", convert.convFactor, "Conversion factor (ns/ch or keV/ch)");
  axisValue("--offset", convert.offset, "Offset (ns or keV)");
  convertCommand->add_flag("--use-conv-factor", convert.useConvFactor,
                           "Use the conversion factor and offset given, not the file's own");
  convertCommand->add_option("--spectrum", convert.spectrum, kSpectrumHelp)
      ->check(CLI::PositiveNumber);
  convertCommand->add_flag("--json", convert.json,
                           "One JSON object per file and one for the run, on standard output");
  // Shown by --help; the names themselves are taken from the command line before it is parsed.
  convertCommand->add_option("FILE", "Spectrum files");
  convertCommand->footer(
      "Formats: AUTO, RBS, CHN, GVSPC, SPT, SPM, AS1, AS2, CANBERRA, ANS, SEN, NCL, SNF, KODAQ, "
      "SPE,\n"
      "IEC, N42, CSV (and MCA, read only), a code 0 to 18, or a display name as `durnix-cli "
      "formats` lists them; any letter case.");

  auto* config = app.add_subcommand("config", "Show or change a configuration file");
  config->require_subcommand(1);
  std::string configFile;
  bool configJson = false;
  std::vector<std::string> assignments;
  auto* show = config->add_subcommand("show", "Print the preferences and stamp data of FILE");
  show->add_flag("--json", configJson, "One JSON object");
  show->add_option("FILE", configFile, "Configuration file")->required();
  auto* set = config->add_subcommand(
      "set", "Change settings of FILE (made with the defaults when it does not exist)");
  set->add_option("FILE", configFile, "Configuration file")->required();
  set->add_option("KEY=VALUE", assignments, "Settings, named as `config show` lists them")
      ->required();

  RoiOptions roi;
  auto* roiCommand =
      app.add_subcommand("roi", "Gross and net areas of a region of interest, as the viewer shows");
  roiCommand->add_option("FILE", roi.file, "Spectrum file (read by detection)")->required();
  numeric.push_back(roiCommand->add_option("--from", roi.from, "First channel (counted from 0)")
                        ->required()
                        ->check(kNotEmpty));
  numeric.push_back(roiCommand->add_option("--to", roi.to, "Last channel (counted from 0)")
                        ->required()
                        ->check(kNotEmpty));
  roiCommand->add_flag("--json", roi.json, "One JSON object");

  // The options of the viewer's Save, for the commands that write their result.
  const auto saveOptions = [](CLI::App* command, ViewerSaveOptions& save) {
    command->add_option("--to", save.to,
                        "Format to write (name, code or key; default: the file's own)");
    command->add_option("--out", save.outDir, "Destination folder (default: here)");
    command->add_flag("--overwrite", save.overwrite, "Replace an existing output file");
    command->add_flag("--yes", save.yes,
                      "Answer Yes to \"... has not 1024 channel. Continue ?\" (default: No)");
    command->footer(
        "The result is saved as the viewer saves it: with the header of FILE, under FILE's own\n"
        "name with the extension of the format written.");
  };
  ArithmeticOptions add;
  ArithmeticOptions subtract;
  subtract.subtract = true;
  CLI::App* arithmeticCommands[2] = {};
  for (ArithmeticOptions* o : {&add, &subtract}) {
    CLI::App* command = app.add_subcommand(
        o->subtract ? "subtract" : "add",
        o->subtract ? "Subtract SECOND x factor from FILE (negative counts become 0) and save"
                    : "Add SECOND x factor to FILE and save");
    command->add_option("FILE", o->file, "Spectrum file (read by detection)")->required();
    command->add_option("SECOND", o->second, "The second spectrum (read by detection)")->required();
    numeric.push_back(command
                          ->add_option("--factor", o->factor,
                                       "Multiplication factor (0, negative or not a number: 1)")
                          ->check(kNotEmpty));
    saveOptions(command, o->save);
    arithmeticCommands[o->subtract ? 1 : 0] = command;
  }

  ShrinkOptions shrink;
  bool twoChannel = false;
  std::vector<std::string> constantSigma, linear, quadratic;
  auto* shrinkCommand =
      app.add_subcommand("shrink", "Halve the channels, with detector-resolution broadening");
  shrinkCommand->add_option("FILE", shrink.file, "Spectrum file (read by detection)")->required();
  auto* resolution = shrinkCommand->add_option_group("Shrink", "How the channels are halved");
  resolution->add_flag("--two-channel", twoChannel, "Add neighbouring channel pairs");
  numeric.push_back(
      resolution->add_option("--constant", constantSigma, "SIGMA: the resolution in channels")
          ->expected(1)
          ->allow_extra_args(false)
          ->check(kNotEmpty));
  numeric.push_back(resolution->add_option("--linear", linear, "A B: sigma = A*ch + B")
                        ->expected(2)
                        ->allow_extra_args(false)
                        ->check(kNotEmpty));
  numeric.push_back(
      resolution
          ->add_option("--quadratic", quadratic, "A B C: sigma = SQR(A * ch ^ 2 + B * ch + C)")
          ->expected(3)
          ->allow_extra_args(false)
          ->check(kNotEmpty));
  resolution->require_option(1);
  saveOptions(shrinkCommand, shrink.save);

  RegionsOptions regions;
  bool regionsJson = false;
  bool regionsCsv = false;
  auto* regionsCommand = app.add_subcommand(
      "regions", "Gross, net, centroid and FWHM of regions, as the viewer's regions table shows");
  regionsCommand->add_option("FILE", regions.file, "Spectrum file (read by detection)")->required();
  regionsCommand->add_option("REGION", regions.spans, "FROM:TO, channels counted from 0")
      ->required();
  auto* regionsJsonFlag = regionsCommand->add_flag("--json", regionsJson, "One JSON array");
  regionsCommand->add_flag("--csv", regionsCsv, "Comma-separated values with a header line")
      ->excludes(regionsJsonFlag);

  const auto databaseOption = [](CLI::App* command, DatabaseOption& option) {
    command->add_option("--database", option.database,
                        "The element database (default: Durnix.mdb where Durnix keeps it)");
  };
  LinesOptions lines;
  auto* linesCommand = app.add_subcommand(
      "lines", "The X-ray lines of elements within the spectrum's calibrated energy range");
  linesCommand->add_option("FILE", lines.file, "Spectrum file (read by detection)")->required();
  linesCommand->add_option("--element", lines.elements, "An element symbol (Fe); repeatable")
      ->required();
  linesCommand->add_option("--families", lines.families, "Line families (default KLM)");
  linesCommand->add_flag("--json", lines.json, "One JSON array");
  databaseOption(linesCommand, lines.database);

  EdgesOptions edges;
  auto* edgesCommand = app.add_subcommand(
      "edges", "Surface edges of elements in an RBS spectrum: E = K x beam energy");
  edgesCommand->add_option("FILE", edges.file, "Spectrum file (read by detection)")->required();
  edgesCommand
      ->add_option("--element", edges.elements, "An element (Au) or an isotope (Si-28); repeatable")
      ->required();
  const auto edgeValue = [&](const char* name, std::optional<double>& value, const char* what) {
    numeric.push_back(edgesCommand
                          ->add_option_function<double>(
                              name, [&value](double v) { value = v; }, what)
                          ->check(kNotEmpty));
  };
  edgeValue("--angle", edges.angle, "Scattering angle (degrees; default: from the header)");
  edgeValue("--energy", edges.energy, "Beam energy (MeV; default: from the header)");
  edgeValue("--beam-mass", edges.beamMass, "Beam's mass (u; default: from the header)");
  edgesCommand->add_flag("--json", edges.json, "One JSON array");
  databaseOption(edgesCommand, edges.database);
  edgesCommand->footer(
      "The scattering angle comes from the header: a Phi above 90 is the angle itself; a\n"
      "Phi of 90 or less is the exit angle, and the angle is 180 - Theta - Phi in the IBM\n"
      "geometry, arccos(-cos Phi / cos Theta) in the Cornell geometry.");

  // The files of a conversion stay where the command line has them: a run of 20000 files keeps
  // no copies of their names.
  std::vector<char*> rest = TakeConvertFiles(*convertCommand, argc, argv, convert.files);
  if (std::string option; EmptyNumber(app, numeric, rest, option)) {
    std::cerr << option << ": an empty value\nRun with --help for more information.\n";
    return 2;
  }
  try {
    app.parse(static_cast<int>(rest.size()), rest.data());
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return 2;
  }

  if (formats->parsed()) return FormatsCommand(std::cout);
  if (infoCommand->parsed()) return InfoCommand(info, std::cout, std::cerr);
  if (show->parsed()) return ConfigShowCommand(configFile, configJson, std::cout, std::cerr);
  if (set->parsed()) return ConfigSetCommand(configFile, assignments, std::cerr);
  if (roiCommand->parsed()) return RoiCommand(roi, std::cout, std::cerr);
  if (regionsCommand->parsed()) {
    regions.form = regionsJson ? TableForm::kJson : regionsCsv ? TableForm::kCsv : TableForm::kText;
    return RegionsCommand(regions, std::cout, std::cerr);
  }
  if (linesCommand->parsed()) return LinesCommand(lines, std::cout, std::cerr);
  if (edgesCommand->parsed()) return EdgesCommand(edges, std::cout, std::cerr);
  if (arithmeticCommands[0]->parsed()) return ArithmeticCommand(add, std::cout, std::cerr);
  if (arithmeticCommands[1]->parsed()) return ArithmeticCommand(subtract, std::cout, std::cerr);
  if (shrinkCommand->parsed()) {
    shrink.kind = twoChannel               ? ShrinkKind::kTwoChannel
                  : !constantSigma.empty() ? ShrinkKind::kConstant
                  : !linear.empty()        ? ShrinkKind::kLinear
                                           : ShrinkKind::kQuadratic;
    shrink.values = twoChannel               ? std::vector<std::string>{}
                    : !constantSigma.empty() ? constantSigma
                    : !linear.empty()        ? linear
                                             : quadratic;
    return ShrinkCommand(shrink, std::cout, std::cerr);
  }
  if (timeToEnergy) convert.axis = AxisDirection::kTimeToEnergy;
  if (energyToTime) convert.axis = AxisDirection::kEnergyToTime;
  if (overwrite) convert.existing = ExistingOutput::kOverwrite;
  if (skipExisting) convert.existing = ExistingOutput::kSkip;
  if (convert.files.empty()) {
    std::cerr << "FILE is required\nRun with --help for more information.\n";
    return 2;
  }
  return ConvertCommand(convert, std::cout, std::cerr);
}
