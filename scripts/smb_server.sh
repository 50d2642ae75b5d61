#!/usr/bin/env bash
# A Samba server of the tests' own on loopback, for the network entry of the panes:
#   smb_server.sh start DIR   starts it (and a computer without shares) in DIR
#   smb_server.sh stop DIR    stops both
# The computer 127.0.0.1 shares "guest" (anyone may read and write) and "priv" (only the user who
# runs the tests, password "durnix-secret"); the computer 127.0.0.2 shares nothing (the address
# is added to the loopback interface when it is not there). Both answer on one free port above
# 1024, written to DIR/port. DIR/client.conf is the client's configuration (work
# group DURNIXLAB, no NetBIOS), DIR/guest and DIR/priv are the shared folders on disk.
set -euo pipefail

command=${1:-}
dir=${2:-}
if [ -z "$command" ] || [ -z "$dir" ]; then
  echo "usage: $0 start|stop DIR" >&2
  exit 2
fi

# Every process of the servers names their configuration: smbd with "-s", its helpers
# (samba-dcerpcd, rpcd_*) with "--configfile=".
stop() {
  local pattern="(-s |--configfile=)$dir/(server|empty)\.conf"
  pkill -f -- "$pattern" 2>/dev/null || true
  for _ in $(seq 50); do
    pgrep -f -- "$pattern" >/dev/null || return 0
    sleep 0.1
  done
  pkill -9 -f -- "$pattern" 2>/dev/null || true
}

if [ "$command" = stop ]; then
  stop
  exit 0
fi
if [ "$command" != start ]; then
  echo "usage: $0 start|stop DIR" >&2
  exit 2
fi

smbd=$(command -v smbd || echo /usr/sbin/smbd)
if [ ! -x "$smbd" ]; then
  echo "smb_server: smbd is not installed (scripts/setup.sh installs samba)" >&2
  exit 1
fi
stop
rm -rf "$dir"
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
user=$(id -un)
# The second computer's address: the loopback interface takes it once, for every later run.
# (The addresses are read whole first: a "grep -q" that stops early fails the pipe.)
has_second() {
  local addresses
  addresses=$(ip -o addr show dev lo 2>/dev/null || true)
  [[ $addresses == *" 127.0.0.2/"* ]]
}
if ! has_second; then
  ip addr add 127.0.0.2/8 dev lo 2>/dev/null || sudo -n ip addr add 127.0.0.2/8 dev lo 2>/dev/null ||
    echo "smb_server: 127.0.0.2 can not be added to lo; the computer without shares is missing" >&2
fi
port=$(python3 - <<'PY'
import socket
for _ in range(200):
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    try:
        t = socket.socket()
        t.bind(("127.0.0.2", port))
        t.close()
        s.close()
        print(port)
        break
    except OSError:
        s.close()
PY
)
echo "$port" >"$dir/port"

server_conf() {  # name address
  local name=$1 address=$2
  local base="$dir/$name"
  mkdir -p "$base"/{private,lock,state,cache,pid,ncalrpc}
  cat <<CONF
[global]
  workgroup = DURNIXLAB
  netbios name = DURNIX-$name
  interfaces = $address
  bind interfaces only = yes
  smb ports = $port
  disable netbios = yes
  server role = standalone server
  server min protocol = SMB2
  map to guest = Bad User
  guest account = $user
  passdb backend = tdbsam:$base/private/passdb.tdb
  private dir = $base/private
  lock directory = $base/lock
  state directory = $base/state
  cache directory = $base/cache
  pid directory = $base/pid
  ncalrpc dir = $base/ncalrpc
  log file = $base/log
  log level = 0
  load printers = no
  printing = bsd
  printcap name = /dev/null
  disable spoolss = yes
  store dos attributes = no
  map archive = no
  map readonly = yes
CONF
}

mkdir -p "$dir/guest" "$dir/priv"
{
  server_conf server 127.0.0.1
  cat <<CONF
[guest]
  path = $dir/guest
  guest ok = yes
  read only = no
  force user = $user
[priv]
  path = $dir/priv
  valid users = $user
  read only = no
CONF
} >"$dir/server.conf"
server_conf empty 127.0.0.2 >"$dir/empty.conf"

cat >"$dir/client.conf" <<CONF
[global]
  workgroup = DURNIXLAB
  disable netbios = yes
  client min protocol = SMB2
  name resolve order = host
CONF

printf 'durnix-secret\ndurnix-secret\n' | smbpasswd -c "$dir/server.conf" -s -a "$user" >/dev/null
"$smbd" -D -s "$dir/server.conf"
if has_second; then
  "$smbd" -D -s "$dir/empty.conf"
  addresses="127.0.0.1 127.0.0.2"
else
  addresses=127.0.0.1
fi

python3 - "$port" $addresses <<'PY'
import socket, sys, time
deadline = time.time() + 15
port = int(sys.argv[1])
for address in sys.argv[2:]:
    while True:
        try:
            socket.create_connection((address, port), 1).close()
            break
        except OSError:
            if time.time() > deadline:
                sys.exit("smb_server: smbd does not answer on %s:%d" % (address, port))
            time.sleep(0.1)
PY
echo "smb_server: $addresses on port $port ($dir)"
