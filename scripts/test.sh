#!/usr/bin/env bash
# Builds Durnix and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${DURNIX_BUILD_DIR:-build}
./scripts/setup.sh
./scripts/check_format.sh
./scripts/build.sh
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
./scripts/check_install.sh "$build_dir"
./scripts/fuzz.sh
