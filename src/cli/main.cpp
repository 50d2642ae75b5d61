// SPDX-License-Identifier: GPL-3.0-or-later
// durnix-cli: the headless companion of the Durnix desktop program. It lists the formats, shows
// what a spectrum file holds and converts files between formats.

#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/commands.h"

int main(int argc, char** argv) {
  using namespace durnix::cli;
  CLI::App app{"durnix-cli: convert and inspect spectrum files of multichannel analysers"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "durnix-cli 1.52");

  auto* formats = app.add_subcommand("formats", "List the formats: code, name, mask, extension");

  InfoOptions info;
  auto* infoCommand = app.add_subcommand("info", "Read spectrum files and print every field");
  infoCommand->add_option("--from", info.from,
                          "Source format (name, code or key; default AUTO detection)");
  infoCommand->add_flag("--json", info.json, "One JSON object per line per file");
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
  convertCommand->add_flag("--yes", convert.yes, "Answer Yes to questions about channel counts");
  convertCommand->add_option("FILE", convert.files, "Spectrum files")->required();
  convertCommand->footer(
      "Formats: AUTO, RBS, CHN, GVSPC, SPT, SPM, AS1, AS2, CANBERRA, ANS, SEN, NCL, SNF, KODAQ,\n"
      "a code 0 to 13, or a display name as `durnix-cli formats` lists them; any letter case.");

  try {
    app.parse(argc, argv);
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
  if (overwrite) convert.existing = ExistingOutput::kOverwrite;
  if (skipExisting) convert.existing = ExistingOutput::kSkip;
  return ConvertCommand(convert, std::cout, std::cerr);
}
