#!/usr/bin/env bash
# Builds Durnix and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/check_format.sh
./scripts/build.sh
ctest --test-dir "${DURNIX_BUILD_DIR:-build}" --output-on-failure -j "$(nproc)"
./scripts/fuzz.sh
