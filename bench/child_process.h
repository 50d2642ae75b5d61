// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Programs run by the benchmarks as whole processes, as a user runs them.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace bench {

struct ChildRun {
  double seconds = 0;
  double cpuSeconds = 0;  // user and system time of the process
  double peakMiB = 0;
  int exit = -1;
};

// Runs a program in `cwd`, its output thrown away, and measures it as a whole process.
inline ChildRun runChild(const std::vector<std::string>& args, const std::string& cwd) {
  std::vector<char*> argv;
  std::vector<std::string> copy = args;
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  // What earlier runs left to be written out is written before this one starts, so that each
  // run pays for its own files only.
  ::sync();
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    if (::chdir(cwd.c_str()) != 0) ::_exit(126);
    ::freopen("/dev/null", "w", stdout);
    ::freopen("/dev/null", "w", stderr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ChildRun run;
  run.seconds = seconds;
  const auto secondsOf = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  run.cpuSeconds = secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime);
  run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
  run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

inline std::string cliPath() {
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
  return (self.parent_path().parent_path() / "src" / "cli" / "durnix-cli").string();
}

}  // namespace bench
