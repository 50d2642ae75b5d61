#!/usr/bin/env bash
# Builds Durnix and runs every test; then the unit tests of the core once more, built with
# AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/, or DURNIX_ASAN_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${DURNIX_BUILD_DIR:-build}
asan_dir=${DURNIX_ASAN_BUILD_DIR:-build-asan}
./scripts/setup.sh
./scripts/check_format.sh
./scripts/build.sh
# The network tests start a Samba server of their own; it goes however the tests end.
trap './scripts/smb_server.sh stop "$build_dir/tests/smb_server" >/dev/null 2>&1 || true' EXIT
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"

# The core without the windows: any fault the sanitizers see ends the test that made it.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
core_tests=(formats_test convert_test shell_test viewer_test)
cmake -S . -B "$asan_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDURNIX_WARNINGS_AS_ERRORS=ON \
  -DDURNIX_SANITIZE=ON -DDURNIX_BUILD_WINDOW=OFF -DDURNIX_BUILD_TESTS=ON -DDURNIX_BUILD_BENCH=OFF \
  "${launcher[@]}" >/dev/null
cmake --build "$asan_dir" --target "${core_tests[@]}"
labels=$(IFS='|' && echo "${core_tests[*]}")
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$asan_dir" --output-on-failure -j "$(nproc)" -L "^($labels)\$"

./scripts/check_install.sh "$build_dir"
./scripts/fuzz.sh
