#!/usr/bin/env bash
# Builds the fuzz target with clang and its sanitizers into build-fuzz/ and runs it for
# FUZZ_SECONDS seconds (default 60) on a corpus seeded from the golden files and the samples.
# Any crash, leak, undefined behaviour or hang fails the run; libFuzzer leaves the input that
# caused it as crash-*, leak-* or timeout-* in the current folder. Put such a file into
# tests/data/fuzz/ so that the regression test keeps it.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${DURNIX_FUZZ_BUILD_DIR:-build-fuzz}
seconds=${FUZZ_SECONDS:-60}

CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DDURNIX_FUZZ=ON -DDURNIX_BUILD_TESTS=OFF -DDURNIX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build_dir" --target fuzz_readers

corpus=$(mktemp -d "${TMPDIR:-/tmp}/durnix-fuzz.XXXXXX")
trap 'rm -rf "$corpus"' EXIT
i=0
while IFS= read -r -d '' seed; do
  cp "$seed" "$corpus/seed-$i"
  i=$((i + 1))
done < <(find tests/data samples -type f ! -name '*.json' ! -name '*.py' ! -name '*.md' -size -300k -print0)

# The inputs that once failed come first, then the fuzzing proper.
if compgen -G "tests/data/fuzz/*" >/dev/null; then
  "$build_dir/fuzz/fuzz_readers" -runs=0 tests/data/fuzz/*
fi
"$build_dir/fuzz/fuzz_readers" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 "$corpus" 2>&1 | tail -n 8
exit "${PIPESTATUS[0]}"
