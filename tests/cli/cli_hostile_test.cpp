// SPDX-License-Identifier: GPL-3.0-or-later
// durnix-cli against what users and their machines do to it: pipes and folders named as files,
// names ending in blanks, files that are not configuration files, two files of one run that
// would become one, a disk that fills up, a run killed part way.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "convert/batch.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace durnix {

using test::ExpectCli;

namespace {

using nlohmann::json;
using test::cli;
using test::CliRun;
using test::jsonLines;
namespace fs = std::filesystem;

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(CliHostile, PipesAndFoldersAreNotSpectra) {
  test::TempDir dir;
  ASSERT_EQ(::mkfifo(dir.file("f.CHN").c_str(), 0644), 0);
  // The run answers at once: nothing waits on a pipe that nobody writes.
  ExpectCli({"convert", "--to", "RBS", "--out", dir.path(), dir.file("f.CHN")}, 1,
            {"not found or disk not ready ! (Not a regular file) Ignore"});
  EXPECT_TRUE(fs::is_fifo(dir.file("f.CHN")));

  // A folder named as a file is a mistake for that name, not a file converted: failed in the
  // tally and in JSON, with a line of its own; alone it still gets a tally.
  fs::create_directory(dir.file("spectra.chn"));
  CliRun run = ExpectCli({"convert", "--json", "--to", "AS1", "--out", dir.path(),
                          dir.file("spectra.chn"), test::DataFile("rbs/film.RBS")},
                         1, {dir.file("spectra.chn") + " is a folder\n", TallyText(1, 0, 1)});
  EXPECT_TRUE(fs::exists(dir.file("film.AS1")));
  EXPECT_TRUE(contains(run.out, "\"result\":\"failed\"")) << run.out;
  EXPECT_TRUE(contains(run.out, "\"converted\":1,\"kept\":0,\"failed\":1,")) << run.out;
  run =
      ExpectCli({"convert", "--json", "--to", "AS1", "--out", dir.path(), dir.file("spectra.chn")},
                1, {TallyText(0, 0, 1)});
  EXPECT_TRUE(contains(run.out, "\"converted\":0,\"kept\":0,\"failed\":1,")) << run.out;
}

TEST(CliHostile, NamesAreTakenAsTheFileSystemHasThem) {
  test::TempDir dir;
  // "y.AS2 " is a name of its own, not "y.AS2".
  fs::copy_file(test::DataFile("as2/film.AS2"), dir.file("y.AS2 "));
  ExpectCli({"convert", "--to", "AS1", "--out", dir.path(), dir.file("y.AS2 ")}, 0);
  EXPECT_TRUE(fs::exists(dir.file("y.AS1")));

  // Paths that are not ASCII are the system's bytes, shown as they are.
  const std::string folder = dir.file("jürgen é");
  fs::create_directory(folder);
  fs::copy_file(test::DataFile("rbs/film.RBS"), folder + "/über.RBS");
  const CliRun run =
      ExpectCli({"convert", "--to", "SEN", "--json", "--out", folder, folder + "/über.RBS"}, 0);
  EXPECT_EQ(jsonLines(run.out).at(0)["destination"], folder + "/über.SEN");
}

// The run itself keeps the first file's output (tests/convert); the command line answers No and
// says why.
TEST(CliHostile, TwoFilesOfOneRunNeverBecomeOne) {
  test::TempDir dir;
  fs::copy_file(test::DataFile("rbs/film.RBS"), dir.file("run.01.RBS"));
  fs::copy_file(test::DataFile("as1/film.AS1"), dir.file("run.02.AS1"));
  const CliRun run =
      ExpectCli({"convert", "--to", "CHN", "--overwrite", "--json", "--out", dir.path(),
                 dir.file("run.01.RBS"), dir.file("run.02.AS1")},
                1,
                {dir.file("run.CHN") + " was written from another file of this run: " +
                 dir.file("run.02.AS1") + " is not converted"});
  const std::vector<json> lines = jsonLines(run.out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1]["result"], "failed");
  EXPECT_EQ(lines[1]["answer"], "No");
}

TEST(CliHostile, AWriteThatCannotFinishIsADiskErrorWithItsReason) {
  test::TempDir dir;
  fs::copy_file(test::DataFile("rbs/film.RBS"), dir.file("film.RBS"));
  test::WriteWhole(dir.file("film.AS1"), "the user's own file");
  // Files of at most 1 KiB may be written, as on a disk that is nearly full.
  const CliRun run = ExpectCli(
      {"convert", "--to", "AS1", "--overwrite", "--out", dir.path(), dir.file("film.RBS")}, 1,
      {"Disk is not ready or bad media. (File too large) Abort"}, dir.path(), "ulimit -f 2 &&");
  EXPECT_FALSE(contains(run.err, "overflowed"));
  EXPECT_EQ(test::ReadWhole(dir.file("film.AS1")), "the user's own file");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2);
}

TEST(CliHostile, OnlyConfigurationFilesAreChangedAsOnes) {
  test::TempDir dir;
  const std::string spectrum = dir.file("run.CHN");
  fs::copy_file(test::DataFile("chn/film.CHN"), spectrum);
  ExpectCli({"config", "set", spectrum, "Mass=4"}, 1, {spectrum + " is not a configuration file"});
  EXPECT_TRUE(test::ReadWhole(spectrum) == test::ReadWhole(test::DataFile("chn/film.CHN")));
  ExpectCli({"config", "show", spectrum}, 1);

  // Text values that do not fit their field are refused, never cut; the euro sign has no 8-bit
  // form.
  const std::string config = dir.file("lab.cfg");
  ExpectCli({"config", "set", config, "Version=1.00"}, 0);
  const std::string saved = test::ReadWhole(config);
  const std::pair<std::string, std::string> refusals[] = {
      {"SourceFolder=/" + std::string(400, 'a'), "SourceFolder holds at most 256 bytes"},
      {"SourceMask=*.RBSXY", ""},
      {"Version=" + std::string(21, 'v'), ""},
      {"Version=\xE2\x82\xAC 1", "Version holds 8-bit text"}};
  for (const auto& [value, says] : refusals) ExpectCli({"config", "set", config, value}, 2, {says});
  EXPECT_EQ(test::ReadWhole(config), saved);

  // Folders are paths: stored and shown as their bytes; other texts are 8-bit.
  ExpectCli({"config", "set", config, "DestinationFolder=/data/café", "Version=v\xC2\xB5"}, 0);
  const std::string bytes = test::ReadWhole(config);
  EXPECT_EQ(bytes.substr(256, 13), "/data/caf\xC3\xA9/ ");
  EXPECT_EQ(bytes.substr(890, 3), "v\xB5 ");
  const CliRun run = cli({"config", "show", config});
  EXPECT_TRUE(contains(run.out, "DestinationFolder: /data/café/\n")) << run.out;
  EXPECT_TRUE(contains(run.out, "Version: vµ\n"));
}

TEST(CliHostile, AKilledRunLeavesOnlyWholeFilesAndNoTemporaryOnes) {
  test::TempDir dir;
  fs::create_directory(dir.file("in"));
  std::vector<std::string> sources;
  const std::string film = test::ReadWhole(test::DataFile("chn/film.CHN"));
  for (int i = 0; i < 2000; ++i) {
    sources.push_back(dir.file("in/s" + std::to_string(i) + ".CHN"));
    test::WriteWhole(sources.back(), film);
  }
  const auto convertInto = [&](const std::string& out, bool overwrite) {
    fs::create_directory(out);
    std::vector<std::string> args = {"convert", "--to", "GVSPC", "--out", out};
    if (overwrite) args.push_back("--overwrite");
    args.insert(args.end(), sources.begin(), sources.end());
    return args;
  };
  const auto filesIn = [](const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
      files[entry.path().filename().string()] = test::ReadWhole(entry.path().string());
    }
    return files;
  };
  ASSERT_EQ(cli(convertInto(dir.file("reference"), false)).exit, 0);
  const std::map<std::string, std::string> expected = filesIn(dir.file("reference"));
  ASSERT_EQ(expected.size(), 2000u);

  std::mt19937 random(20261206);
  for (int attempt = 0; attempt < 6; ++attempt) {
    const std::string out = dir.file("out" + std::to_string(attempt));
    // Every other run replaces files that are there already, through temporary names.
    const bool replacing = attempt % 2 == 1;
    std::vector<std::string> argv = convertInto(out, replacing);
    if (replacing) {
      for (const auto& [name, bytes] : expected) test::WriteWhole(out + "/" + name, "older");
    }
    argv.insert(argv.begin(), DURNIX_CLI_PATH);
    const pid_t child = ::fork();
    if (child == 0) {
      std::vector<char*> pointers;
      for (std::string& a : argv) pointers.push_back(a.data());
      pointers.push_back(nullptr);
      ::freopen("/dev/null", "w", stdout);
      ::freopen("/dev/null", "w", stderr);
      ::execv(DURNIX_CLI_PATH, pointers.data());
      ::_exit(127);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 400000));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    for (const auto& [name, bytes] : filesIn(out)) {
      if (replacing && name.rfind(".durnix-", 0) == 0) continue;  // the next run's to remove
      ASSERT_TRUE(expected.count(name) == 1) << "left behind: " << name;
      EXPECT_TRUE(bytes == expected.at(name) || (replacing && bytes == "older")) << name;
    }
    // The next run into the folder leaves exactly the converted files.
    if (!replacing) continue;
    ASSERT_EQ(cli(convertInto(out, true)).exit, 0);
    EXPECT_TRUE(filesIn(out) == expected) << out << " holds other files than the converted ones";
  }
}

}  // namespace
}  // namespace durnix
