#!/usr/bin/env bash
# Installs the Debian packages that Durnix needs to build, test, fuzz and benchmark.
# Only packages that are missing are installed; a machine that has them all is left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  libsqlite3-dev sqlite3
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libcli11-dev libpugixml-dev
  clang clang-format libclang-rt-14-dev
  xvfb xauth libx11-dev fonts-liberation fonts-dejavu-core
  libsmbclient-dev samba smbclient iproute2
  python3
  desktop-file-utils appstream libxml2-utils shared-mime-info xdg-utils libfile-mimeinfo-perl man-db dpkg-dev lintian librsvg2-bin file
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: every package is installed"
  exit 0
fi

echo "setup: installing ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
