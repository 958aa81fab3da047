#!/usr/bin/env bash
# Starts the program unpacked from its package the way the desktop entry starts it: offscreen, from
# the root folder, with a scratch home and a scratch settings store that keeps the network on
# loopback. After a few seconds SIGTERM closes it as a user would; its start trace (VQS_TRACE) must
# show that it found its platform plugin, a font and its icon, started in the documented report
# folder and went through its shutdown before it ended with status 0.
# usage (inside a private network namespace, as ./run's `isolated` does):
#   packaging/check-installed-start.sh <unpacked package root> <scratch folder> <version>
set -euo pipefail
root=$1
scratch=$2
version=$3

fail() {
  echo "start check: $*" >&2
  [ -f "$scratch/stderr" ] && sed 's/^/  | /' "$scratch/stderr" >&2
  exit 1
}

# The program's default network address is a broadcast into the LAN: never start it without the
# loopback guard and a store that says 127.0.0.1.
[ -n "${VQS_LOOPBACK_ONLY:-}" ] || fail "VQS_LOOPBACK_ONLY must be set"
home=$scratch/home
config=$scratch/config
rm -rf "$home" "$config" "$scratch/serial" "$scratch/runtime"
mkdir -p "$home" "$config/NORVALE" "$scratch/serial" "$scratch/runtime"
chmod 700 "$scratch/runtime"
store=$config/NORVALE/VQS1.0.ini
cat >"$store" <<'INI'
[COMNO]
%5CNORVALE%5CVQS1.0%5CCOMNO=sz:0

[NETWORKIP]
%5CNORVALE%5CVQS1.0%5CNETWORKIP=sz:127.0.0.1
INI

# The command of the desktop entry, with the program taken from the unpacked package.
exec_line=$(sed -n 's/^Exec=//p' "$root"/usr/share/applications/*.desktop)
read -ra command <<<"$exec_line"
[ "${command[0]}" = lumiquest ] || fail "unexpected Exec line: $exec_line"
command[0]=$root/usr/bin/lumiquest

status=0
(cd / && env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$config" \
  XDG_RUNTIME_DIR="$scratch/runtime" VQS_SERIAL_DIR="$scratch/serial" VQS_LOOPBACK_ONLY=1 \
  VQS_TRACE=1 QT_QPA_PLATFORM=offscreen \
  timeout --preserve-status --kill-after=10 --signal=TERM "${VQS_START_SECONDS:-5}" \
  "${command[@]}") 2>"$scratch/stderr" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"

trace() { grep -q -E "^lumiquest: $1" "$scratch/stderr" || fail "no trace line: $1"; }
reports=$home/Documents/Lumiquest
trace "version $version\$"
trace "platform plugin offscreen\$"
trace "font (Tahoma|Liberation Sans|DejaVu Sans) "
for window in Form1 Form2 Form3; do
  trace "icon of $window: 16,22,24,32,48,64,128,256\$"
done
trace "build label tooltip Lumiquest $version\$"
trace "report folder $reports\$"
trace "steps .*enableTimers.* stopTimers saveSettings "
trace "exit 0\$"
[ -d "$reports" ] || fail "no report folder $reports"
grep -qxF "%5CNORVALE%5CVQS1.0%5CREPORTFILESDIR=sz:$reports" "$store" ||
  fail "the shutdown did not store the report folder"
grep -qxF "%5CNORVALE%5CVQS1.0%5CNETWORKIP=sz:127.0.0.1" "$store" ||
  fail "the network address left loopback"
echo "start check: the installed program started in $reports and closed in order"
