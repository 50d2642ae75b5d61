#!/usr/bin/env bash
# Installs what is missing, builds Durnix, and converts the bundled samples to a temporary folder,
# once to ASCII with channel (AS1) and once to RUMP (RBS), with automatic format detection.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh
cli=${DURNIX_BUILD_DIR:-build}/src/cli/durnix-cli

out=$(mktemp -d "${TMPDIR:-/tmp}/durnix-samples.XXXXXX")
echo
echo "== What the samples hold"
"$cli" info --json samples/* | cut -c1-160
for format in AS1 RBS; do
  mkdir -p "$out/$format"
  echo
  echo "== durnix-cli convert --to $format --out $out/$format samples/*"
  "$cli" convert --to "$format" --out "$out/$format" samples/*
done
echo
echo "== The converted files are in $out"
ls -l "$out"/*
