#!/usr/bin/env bash
# Runs the program where there is no display: in a private Xvfb display with a window
# manager, served to a browser by noVNC. Everything listens on 127.0.0.1 only, the web page
# on the first free port from 6080, and the connection asks for a one-time password that the
# printed address carries. Ends when the program ends or on Ctrl+C, and then stops every
# process it started.
#
#   run-headless.sh <editor.exe> <current-folder> <wine-prefix>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe=$1 folder=$2 prefix=$3
novnc=/usr/share/novnc

fail() {
  echo "make run: $*" >&2
  exit 1
}

for command in Xvfb xauth mcookie openbox x11vnc websockify python3; do
  command -v "$command" >/dev/null 2>&1 || fail "$command is missing; 'scripts/deps.sh headless' installs it"
done
[ -f "$novnc/vnc.html" ] || fail "noVNC is missing ($novnc); 'scripts/deps.sh headless' installs it"

. "$root/scripts/wine-env.sh"
work=$(mktemp -d)
PROGRAM_PID= WM_PID= VNC_PID= PROXY_PID=
stop_all() {
  trap '' INT TERM HUP
  # The prefix's server ends every Wine process of the run; waiting for it to go means
  # that none of them is left when the script returns.
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k </dev/null >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
  fi
  local pid
  for pid in $PROGRAM_PID $PROXY_PID $VNC_PID $WM_PID; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  stop_wine_and_display
  rm -rf "$work"
}
trap stop_all EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# Waits up to 10 seconds for a line matching the pattern in a file, while the process that
# writes it lives.
wait_line() {
  local file=$1 pid=$2 pattern=$3 i
  for i in $(seq 1 200); do
    grep -q "$pattern" "$file" 2>/dev/null && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}

unset DISPLAY
export XAUTHORITY=$work/xauthority
start_xvfb 1280x800x24 "$XAUTHORITY" || fail "no private display could be started (Xvfb)"
openbox --sm-disable --config-file /etc/xdg/openbox/rc.xml </dev/null >"$work/openbox.log" 2>&1 &
WM_PID=$!

prepare_prefix "$prefix" run || fail "the Wine prefix $prefix could not be prepared"
start_wine_server

# The VNC server takes the first free port from 5900 on 127.0.0.1 and reads its password
# from a file that it removes at once, so the password never shows in a process list.
password=$(python3 -c 'import secrets; print(secrets.token_urlsafe(6))')
(umask 077 && echo "$password" >"$work/password")
x11vnc -display "$DISPLAY" -localhost -no6 -forever -shared -xkb -passwdfile "rm:$work/password" \
  </dev/null >"$work/x11vnc.out" 2>"$work/x11vnc.log" &
VNC_PID=$!
wait_line "$work/x11vnc.out" "$VNC_PID" '^PORT=[0-9]*$' ||
  fail "the VNC server (x11vnc) did not start: $(tail -n 1 "$work/x11vnc.log")"
vnc_port=$(sed -n 's/^PORT=//p' "$work/x11vnc.out")

python3 "$root/scripts/listen-free-port.py" 6080 "$work/web-port" \
  websockify --inetd --web "$novnc" "127.0.0.1:$vnc_port" >"$work/websockify.log" 2>&1 &
PROXY_PID=$!
wait_line "$work/web-port" "$PROXY_PID" '^[0-9]*$' ||
  fail "the web proxy (websockify) did not start: $(tail -n 1 "$work/websockify.log")"
web_port=$(cat "$work/web-port")

(cd "$folder" && exec wine "$exe" </dev/null >/dev/null 2>&1) &
PROGRAM_PID=$!
echo "Open http://127.0.0.1:$web_port/vnc.html?autoconnect=1&password=$password in a browser (Ctrl+C ends the program)"

status=0
wait "$PROGRAM_PID" || status=$?
PROGRAM_PID=
exit "$status"
