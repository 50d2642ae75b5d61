#!/usr/bin/env bash
# Fails when a C++ source of the project is not laid out as .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
find src tests tools bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 |
  xargs -0 clang-format --dry-run --Werror
