#!/usr/bin/env bash
# Draws every window of the desktop program in a virtual X display and saves it as a PNG in the
# folder given (default: build/screenshots), to look at them as a user would.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/screenshots}
./scripts/build.sh >/dev/null
# The network's pictures need the tests' Samba server, which goes again afterwards.
server="$out/smb_server"
trap './scripts/smb_server.sh stop "$server" >/dev/null 2>&1 || true' EXIT
./scripts/smb_server.sh start "$server" >/dev/null
xvfb-run -a -s "-screen 0 1280x900x24 -dpi 96" \
  "${DURNIX_BUILD_DIR:-build}/tools/durnix-screenshots" "$out" samples "$server"
