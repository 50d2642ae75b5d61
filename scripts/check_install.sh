#!/usr/bin/env bash
# Checks the installation of Durnix from a build folder (default build):
#  (a) installs it into a temporary prefix, converts the bundled samples with the installed
#      durnix-cli to every format, checks that the desktop's file types name the results (and the
#      real spectra of other programs beside the project), that a program in the prefix finds
#      its data there, and starts the installed durnix under Xvfb on a spectrum;
#  (b) validates the desktop entry, the AppStream metadata and the file types, and renders both
#      manual pages;
#  (c) makes the Debian package with cpack and runs lintian on it (errors fail, warnings are
#      shown);
#  (d) configures the sources without the test and benchmark libraries and builds durnix-cli so,
#      and checks that a build with the windows but without Qt fails at configure.
# Exits non-zero at the first failure.
#
#   scripts/check_install.sh [BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
build=$(realpath "${1:-build}")
[ -f "$build/CMakeCache.txt" ] || { echo "check_install: $build is not a build folder" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/durnix-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() {
  echo "check_install: $*" >&2
  exit 1
}
step() { printf '\n== %s\n' "$*"; }

# The programs' user folders (settings, data, file types) are the check's own.
export HOME=$work/home
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_DATA_DIRS=$work/none
export XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# ---- (a) the installed programs -----------------------------------------------------------

prefix=$work/prefix
step "cmake --install $build --prefix $prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || {
  cat "$work/install.log"
  fail "the installation failed"
}
for file in bin/durnix bin/durnix-cli share/durnix/Durnix.mdb share/durnix/Durnix.hlp/1000.html \
  share/applications/durnix.desktop share/metainfo/org.durnix.Durnix.metainfo.xml \
  share/mime/packages/durnix.xml share/icons/hicolor/scalable/apps/durnix.svg \
  share/man/man1/durnix.1.gz share/man/man1/durnix-cli.1.gz share/doc/durnix/copyright \
  share/doc/durnix/changelog.Debian.gz; do
  [ -s "$prefix/$file" ] || fail "$file is not installed"
done
for size in 16 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/durnix.png
  file -b "$icon" | grep -q "PNG image data, $size x $size" || fail "$icon is not a $size px PNG"
done
echo "every file is in place"

step "the installed durnix-cli converts the samples to every format"
cli=$prefix/bin/durnix-cli
"$cli" --version
# Format key, and the file type of what it writes (KODAQ writes .SPC, CANBERRA .MCA; CSV files
# are the desktop's own text/csv).
formats=(RBS:rbs CHN:chn GVSPC:spc SPT:spt SPM:spm AS1:as1 AS2:as2 CANBERRA:canberra ANS:ans
  SEN:sen NCL:ncl SNF:snf KODAQ:spc SPE:spe IEC:iec N42:n42 CSV:)
samples=(samples/*)
for entry in "${formats[@]}"; do
  format=${entry%%:*}
  mkdir -p "$work/out/$format"
  status=0
  "$cli" convert --to "$format" --out "$work/out/$format" --yes "${samples[@]}" \
    >"$work/convert.log" 2>&1 || status=$?
  [ "$status" -eq 0 ] || {
    cat "$work/convert.log"
    fail "durnix-cli convert --to $format ended with $status"
  }
  written=$(find "$work/out/$format" -type f -size +0 | wc -l)
  [ "$written" -eq "${#samples[@]}" ] || fail "$format: $written files written of ${#samples[@]}"
  # Every result reads back, but KODAQ's: its files lack the memory item of a KODAQ source.
  if [ "$format" != KODAQ ]; then
    "$cli" info "$work/out/$format"/* >/dev/null || fail "$format: a result does not read back"
  fi
  echo "$format: $written files"
done

step "the file types name the spectra"
# The types of the package beside the desktop's own, as they are once installed.
mime=$XDG_DATA_HOME/mime
mkdir -p "$mime/packages"
cp /usr/share/mime/packages/freedesktop.org.xml "$prefix/share/mime/packages/durnix.xml" \
  "$mime/packages/"
update-mime-database "$mime" 2>"$work/mime.log"
if grep -E -i "error|warning" "$work/mime.log"; then fail "update-mime-database finds faults"; fi
expect_type() {
  local type
  type=$(xdg-mime query filetype "$1")
  [ "$type" = "application/x-durnix-$2" ] || fail "$1 is $type, not application/x-durnix-$2"
  printf '%-40s %s\n' "$(basename "$1")" "$type"
}
for entry in "${formats[@]}"; do
  [ -n "${entry#*:}" ] || continue
  for file in "$work/out/${entry%%:*}"/*; do expect_type "$file" "${entry#*:}"; done
done
# Without an extension, the formats of a fixed signature are still told by their first bytes.
for format in RBS SEN SPT; do
  first=$(find "$work/out/$format" -type f | head -n 1)
  cp "$first" "$work/spectrum-${format}"
  expect_type "$work/spectrum-${format}" "$(echo "$format" | tr '[:upper:]' '[:lower:]')"
done
real=$source_dir/../shared/real_samples
if [ -d "$real" ]; then
  while IFS= read -r file; do
    case ${file,,} in
      *.chn) expect_type "$file" chn ;;
      *.spc) expect_type "$file" spc ;;
      *.mca) expect_type "$file" canberra ;;
      *.spe) expect_type "$file" spe ;;
      *.iec) expect_type "$file" iec ;;
      *.n42) expect_type "$file" n42 ;;
    esac
  done < <(find "$real" -type f | sort)
fi

step "a program in the prefix finds its data there"
probe=$build/tests/data_files_probe
[ -x "$probe" ] || fail "$probe is not built"
"$probe" "$prefix/bin" | tee "$work/probe.txt"
grep -qx "database: $prefix/share/durnix/Durnix.mdb" "$work/probe.txt" ||
  fail "the element database is not found in $prefix/share/durnix"
grep -qx "help: $prefix/share/durnix/Durnix.hlp" "$work/probe.txt" ||
  fail "the help pages are not found in $prefix/share/durnix"
grep -qx "config: $XDG_CONFIG_HOME/durnix/durnix.cfg" "$work/probe.txt" ||
  fail "durnix.cfg is not looked for in the user's configuration folder"

step "the installed durnix starts under Xvfb with a spectrum to view"
status=0
QT_QPA_PLATFORM=xcb xvfb-run -a timeout 8 "$prefix/bin/durnix" "$work/out/RBS/au_on_si.RBS" \
  >"$work/durnix.log" 2>&1 || status=$?
# 124: still running when timeout stopped it.
[ "$status" -eq 124 ] || {
  cat "$work/durnix.log"
  fail "durnix ended with $status before it was stopped"
}
echo "durnix ran until it was stopped"

# ---- (b) the desktop's files and the manual pages -------------------------------------------

step "desktop-file-validate, appstreamcli, xmllint"
desktop-file-validate "$prefix/share/applications/durnix.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/org.durnix.Durnix.metainfo.xml"
xmllint --noout "$prefix/share/mime/packages/durnix.xml"
# The freedesktop schema of the file types, where the installed shared-mime-info has one.
schema=$(find /usr/share/shared-mime-info /usr/share/xml /usr/share/doc/shared-mime-info \
  -name 'shared-mime-info*.xsd' 2>/dev/null | head -n 1 || true)
if [ -n "$schema" ]; then
  xmllint --noout --schema "$schema" "$prefix/share/mime/packages/durnix.xml"
else
  echo "(shared-mime-info ships no schema: the file types were checked by update-mime-database)"
fi

step "man -l"
for page in durnix durnix-cli; do
  status=0
  MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" >"$work/$page.txt" \
    2>"$work/$page.err" || status=$?
  [ "$status" -eq 0 ] || fail "man -l $page.1.gz ended with $status"
  [ -s "$work/$page.txt" ] || fail "$page.1.gz renders to nothing"
  if [ -s "$work/$page.err" ]; then
    cat "$work/$page.err"
    fail "$page.1.gz has faults"
  fi
  echo "$page(1): $(wc -l <"$work/$page.txt") lines"
done

# ---- (c) the Debian package -------------------------------------------------------------------

step "cpack -G DEB"
(cd "$build" && cpack -G DEB -B "$work/deb") >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log"
  fail "cpack failed"
}
deb=$(find "$work/deb" -maxdepth 1 -name 'durnix_*.deb' | head -n 1)
[ -n "$deb" ] || fail "cpack made no durnix_*.deb"
echo "$(basename "$deb")"
dpkg-deb --field "$deb" Package Version Architecture Section Depends

step "lintian"
lintian --fail-on error "$deb" || fail "lintian finds errors in $(basename "$deb")"

# ---- (d) the build options --------------------------------------------------------------------

step "a build without GoogleTest and Google Benchmark"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
lean=$work/lean
cmake -S "$source_dir" -B "$lean" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
  -DDURNIX_BUILD_TESTS=OFF -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >"$work/lean.log" 2>&1 || {
  cat "$work/lean.log"
  fail "the sources do not configure without the test libraries"
}
cmake --build "$lean" --target durnix-cli >>"$work/lean.log" 2>&1 || {
  cat "$work/lean.log"
  fail "durnix-cli does not build without the test libraries"
}
"$lean/src/cli/durnix-cli" --version

step "the windows without Qt"
if cmake -S "$source_dir" -B "$work/no-qt" -G Ninja -DDURNIX_BUILD_TESTS=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON >"$work/no-qt.log" 2>&1; then
  fail "the sources configure with the windows but without Qt"
fi
grep -q "Qt6" "$work/no-qt.log" || {
  cat "$work/no-qt.log"
  fail "the configure without Qt failed, but not for Qt"
}
cmake -S "$source_dir" -B "$work/core-only" -G Ninja -DDURNIX_BUILD_TESTS=OFF \
  -DDURNIX_BUILD_WINDOW=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON >"$work/core-only.log" 2>&1 || {
  cat "$work/core-only.log"
  fail "the core and durnix-cli do not configure without Qt"
}
echo "without Qt, only DURNIX_BUILD_WINDOW=OFF configures"

printf '\ncheck_install: every check passed\n'
