#!/usr/bin/env bash
# Configures and builds Durnix with its tests and benchmarks into build/ (or the folder given as
# DURNIX_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${DURNIX_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDURNIX_WARNINGS_AS_ERRORS=ON \
  -DDURNIX_BUILD_BENCH=ON >/dev/null
cmake --build "$build_dir"
