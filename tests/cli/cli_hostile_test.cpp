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
  CliRun run = cli({"convert", "--to", "RBS", "--out", dir.path(), dir.file("f.CHN")});
  EXPECT_EQ(run.exit, 1);
  EXPECT_TRUE(contains(run.err, "not found or disk not ready ! (Not a regular file) Ignore"))
      << run.err;
  EXPECT_TRUE(fs::is_fifo(dir.file("f.CHN")));

  // A folder named as a file is a mistake for that name, not a file converted: failed in the
  // tally and in JSON, with a line of its own; alone it still gets a tally.
  fs::create_directory(dir.file("spectra.chn"));
  run = cli({"convert", "--json", "--to", "AS1", "--out", dir.path(), dir.file("spectra.chn"),
             test::DataFile("rbs/film.RBS")});
  EXPECT_EQ(run.exit, 1);
  EXPECT_TRUE(contains(run.err, dir.file("spectra.chn") + " is a folder\n")) << run.err;
  EXPECT_TRUE(contains(run.err, TallyText(1, 0, 1))) << run.err;
  EXPECT_TRUE(fs::exists(dir.file("film.AS1")));
  EXPECT_TRUE(contains(run.out, "\"result\":\"failed\"")) << run.out;
  EXPECT_TRUE(contains(run.out, "\"converted\":1,\"kept\":0,\"failed\":1,")) << run.out;
  run = cli({"convert", "--json", "--to", "AS1", "--out", dir.path(), dir.file("spectra.chn")});
  EXPECT_EQ(run.exit, 1);
  EXPECT_TRUE(contains(run.err, TallyText(0, 0, 1))) << run.err;
  EXPECT_TRUE(contains(run.out, "\"converted\":0,\"kept\":0,\"failed\":1,")) << run.out;
}

TEST(CliHostile, NamesAreTakenAsTheFileSystemHasThem) {
  test::TempDir dir;
  // "y.AS2 " is a name of its own, not "y.AS2".
  fs::copy_file(test::DataFile("as2/film.AS2"), dir.file("y.AS2 "));
  CliRun run = cli({"convert", "--to", "AS1", "--out", dir.path(), dir.file("y.AS2 ")});
  EXPECT_EQ(run.exit, 0) << run.err;
  EXPECT_TRUE(fs::exists(dir.file("y.AS1")));

  // Paths that are not ASCII are the system's bytes, shown as they are.
  fs::create_directory(dir.file("jürgen é"));
  fs::copy_file(test::DataFile("rbs/film.RBS"), dir.file("jürgen é/über.RBS"));
  run = cli({"convert", "--to", "SEN", "--json", "--out", dir.file("jürgen é"),
             dir.file("jürgen é/über.RBS")});
  EXPECT_EQ(run.exit, 0) << run.err;
  EXPECT_EQ(jsonLines(run.out).at(0)["destination"], dir.file("jürgen é/über.SEN"));
}

// The run itself keeps the first file's output (tests/convert); the command line answers No and
// says why.
TEST(CliHostile, TwoFilesOfOneRunNeverBecomeOne) {
  test::TempDir dir;
  fs::copy_file(test::DataFile("rbs/film.RBS"), dir.file("run.01.RBS"));
  fs::copy_file(test::DataFile("as1/film.AS1"), dir.file("run.02.AS1"));
  const CliRun run = cli({"convert", "--to", "CHN", "--overwrite", "--json", "--out", dir.path(),
                          dir.file("run.01.RBS"), dir.file("run.02.AS1")});
  EXPECT_EQ(run.exit, 1);
  EXPECT_TRUE(contains(run.err, dir.file("run.CHN") +
                                    " was written from another file of this run: " +
                                    dir.file("run.02.AS1") + " is not converted"))
      << run.err;
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
  const CliRun run =
      cli({"convert", "--to", "AS1", "--overwrite", "--out", dir.path(), dir.file("film.RBS")},
          dir.path(), "ulimit -f 2 &&");
  EXPECT_EQ(run.exit, 1);
  EXPECT_TRUE(contains(run.err, "Disk is not ready or bad media. (File too large) Abort"))
      << run.err;
  EXPECT_FALSE(contains(run.err, "overflowed"));
  EXPECT_EQ(test::ReadWhole(dir.file("film.AS1")), "the user's own file");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2);
}

TEST(CliHostile, OnlyConfigurationFilesAreChangedAsOnes) {
  test::TempDir dir;
  const std::string spectrum = dir.file("run.CHN");
  fs::copy_file(test::DataFile("chn/film.CHN"), spectrum);
  const std::string before = test::ReadWhole(spectrum);
  CliRun run = cli({"config", "set", spectrum, "Mass=4"});
  EXPECT_EQ(run.exit, 1);
  EXPECT_TRUE(contains(run.err, spectrum + " is not a configuration file")) << run.err;
  EXPECT_EQ(test::ReadWhole(spectrum), before);
  EXPECT_EQ(cli({"config", "show", spectrum}).exit, 1);

  // Text values that do not fit their field are refused, never cut.
  const std::string config = dir.file("lab.cfg");
  ASSERT_EQ(cli({"config", "set", config, "Version=1.00"}).exit, 0);
  const std::string saved = test::ReadWhole(config);
  run = cli({"config", "set", config, "SourceFolder=/" + std::string(400, 'a')});
  EXPECT_EQ(run.exit, 2);
  EXPECT_TRUE(contains(run.err, "SourceFolder holds at most 256 bytes")) << run.err;
  EXPECT_EQ(cli({"config", "set", config, "SourceMask=*.RBSXY"}).exit, 2);
  EXPECT_EQ(cli({"config", "set", config, "Version=" + std::string(21, 'v')}).exit, 2);
  run =
      cli({"config", "set", config, "Version=\xE2\x82\xAC 1"});  // the euro sign has no 8-bit form
  EXPECT_EQ(run.exit, 2);
  EXPECT_TRUE(contains(run.err, "Version holds 8-bit text")) << run.err;
  EXPECT_EQ(test::ReadWhole(config), saved);

  // Folders are paths: stored and shown as their bytes; other texts are 8-bit.
  ASSERT_EQ(
      cli({"config", "set", config, "DestinationFolder=/data/café", "Version=v\xC2\xB5"}).exit, 0);
  const std::string bytes = test::ReadWhole(config);
  EXPECT_EQ(bytes.substr(256, 13), "/data/caf\xC3\xA9/ ");
  EXPECT_EQ(bytes.substr(890, 3), "v\xB5 ");
  run = cli({"config", "show", config});
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
  fs::create_directory(dir.file("reference"));
  std::vector<std::string> args = {"convert", "--to", "GVSPC", "--out", dir.file("reference")};
  args.insert(args.end(), sources.begin(), sources.end());
  ASSERT_EQ(cli(args).exit, 0);
  std::map<std::string, std::string> expected;
  for (const auto& entry : fs::directory_iterator(dir.file("reference"))) {
    expected[entry.path().filename().string()] = test::ReadWhole(entry.path().string());
  }
  ASSERT_EQ(expected.size(), 2000u);

  std::mt19937 random(20261206);
  for (int attempt = 0; attempt < 6; ++attempt) {
    const std::string out = dir.file("out" + std::to_string(attempt));
    fs::create_directory(out);
    // Every other run replaces files that are there already, through temporary names.
    const bool replacing = attempt % 2 == 1;
    if (replacing) {
      for (const auto& [name, bytes] : expected) test::WriteWhole(out + "/" + name, "older");
    }
    std::vector<std::string> argv = {DURNIX_CLI_PATH, "convert", "--to", "GVSPC", "--out", out};
    if (replacing) argv.push_back("--overwrite");
    argv.insert(argv.end(), sources.begin(), sources.end());
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
    for (const auto& entry : fs::directory_iterator(out)) {
      const std::string name = entry.path().filename().string();
      if (replacing && name.rfind(".durnix-", 0) == 0) continue;  // the next run's to remove
      ASSERT_TRUE(expected.count(name) == 1) << "left behind: " << name;
      const std::string bytes = test::ReadWhole(entry.path().string());
      if (!(replacing && bytes == "older")) {
        EXPECT_EQ(bytes, expected.at(name)) << name;
      }
    }
    if (!replacing) continue;
    // The next run into the folder leaves exactly the converted files.
    std::vector<std::string> again = {"convert", "--to", "GVSPC", "--overwrite", "--out", out};
    again.insert(again.end(), sources.begin(), sources.end());
    ASSERT_EQ(cli(again).exit, 0);
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(out)) {
      const std::string name = entry.path().filename().string();
      ASSERT_TRUE(expected.count(name) == 1) << "left behind: " << name;
      ++count;
    }
    EXPECT_EQ(count, expected.size());
  }
}

}  // namespace
}  // namespace durnix
