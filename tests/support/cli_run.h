// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// durnix-cli run as a user runs it, from a shell, its output captured.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace durnix::test {

struct CliRun {
  int exit = -1;
  std::string out;
  std::string err;
};

inline std::string quoted(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs durnix-cli in `cwd` with `args`; `shellBefore` runs in the same shell first (a limit, a
// timeout), and the whole run is stopped after 60 seconds.
inline CliRun cli(const std::vector<std::string>& args, const std::string& cwd = ".",
                  const std::string& shellBefore = "") {
  static TempDir capture;
  std::string command =
      "cd " + quoted(cwd) + " && " + shellBefore + " timeout 60 " + quoted(DURNIX_CLI_PATH);
  for (const std::string& a : args) command += " " + quoted(a);
  command += " >" + quoted(capture.file("out")) + " 2>" + quoted(capture.file("err"));
  CliRun run;
  const int status = std::system(command.c_str());
  run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadWhole(capture.file("out"));
  run.err = ReadWhole(capture.file("err"));
  return run;
}

// The same, checked: the exit status, and each of `says` somewhere in what it wrote to stderr.
inline CliRun ExpectCli(const std::vector<std::string>& args, int exit,
                        const std::vector<std::string>& says = {}, const std::string& cwd = ".",
                        const std::string& shellBefore = "") {
  CliRun run = cli(args, cwd, shellBefore);
  EXPECT_EQ(run.exit, exit) << ::testing::PrintToString(args) << "\n" << run.err;
  for (const std::string& part : says) {
    EXPECT_NE(run.err.find(part), std::string::npos) << part << " is not in:\n" << run.err;
  }
  return run;
}

inline std::vector<nlohmann::json> jsonLines(const std::string& text) {
  std::vector<nlohmann::json> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
  return lines;
}

}  // namespace durnix::test
