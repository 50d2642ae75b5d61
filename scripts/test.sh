#!/usr/bin/env bash
# Builds Durnix and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${DURNIX_BUILD_DIR:-build}
./scripts/setup.sh
./scripts/check_format.sh
./scripts/build.sh
# The network tests start a Samba server of their own; it goes however the tests end.
trap './scripts/smb_server.sh stop "$build_dir/tests/smb_server" >/dev/null 2>&1 || true' EXIT
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
./scripts/check_install.sh "$build_dir"
./scripts/fuzz.sh
