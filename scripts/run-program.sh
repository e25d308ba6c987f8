#!/usr/bin/env bash
# Runs the program in a Wine prefix of its own, either on the current display or, where
# there is none, in a private Xvfb display with a window manager, served to a browser by
# noVNC. The browser's side listens on 127.0.0.1 only, the web page on the first free port
# from 6080, and the connection asks for a one-time password that the printed address
# carries. Ends when the program ends; on SIGINT, SIGTERM or SIGHUP; or when the make that
# started it begins to end on a signal; and then stops every process it started.
#
#   run-program.sh display|headless <editor.exe> <current-folder> <wine-prefix>
#
# The prefix is the first of <wine-prefix>, <wine-prefix>-2, ... that no other run holds,
# so that runs at once never share one (nor its server, which ends every process of the
# prefix when a run stops). A new one is a copy of the first, or is made afresh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=$1 exe=$2 folder=$3 first_prefix=$4
novnc=/usr/share/novnc

say() { echo "make run: $*"; }
fail() {
  echo "make run: $*" >&2
  exit 1
}

if [ "$mode" = headless ]; then
  for command in Xvfb xauth mcookie openbox x11vnc websockify python3; do
    command -v "$command" >/dev/null 2>&1 || fail "$command is missing; 'scripts/deps.sh headless' installs it"
  done
  [ -f "$novnc/vnc.html" ] || fail "noVNC is missing ($novnc); 'scripts/deps.sh headless' installs it"
fi

. "$root/scripts/wine-env.sh"
# Nothing of a caller's own display and prefix (a test's) is ever stopped here.
unset WINEPREFIX XVFB_PID
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
trap 'exit 143' TERM
trap 'exit 129' HUP

# The first prefix that no other run holds, held by this run from now on: the lock's file
# stays open in every process started from here, Wine's server too, so the prefix stays
# taken while anything of the run is left.
prefix=$first_prefix slot=1
mkdir -p "$(dirname "$prefix")"
while :; do
  exec {lock}>>"$prefix.lock"
  flock -n "$lock" && break
  exec {lock}>&-
  slot=$((slot + 1))
  prefix=$first_prefix-$slot
done
if [ "$slot" -gt 1 ] && [ ! -d "$prefix" ] && prefix_ready "$first_prefix"; then
  say "copying the Wine prefix $(basename "$first_prefix") to $(basename "$prefix"), for a run beside another one (once)"
  # The first prefix's server may be saving its registry meanwhile (a file made and renamed).
  for _ in 1 2 3; do
    rm -rf "$prefix.new"
    cp -a --reflink=auto "$first_prefix" "$prefix.new" 2>/dev/null && break
  done
  mv "$prefix.new" "$prefix" && prefix_ready "$prefix" || fail "the Wine prefix $prefix could not be made"
fi
prefix_ready "$prefix" || say "preparing the Wine prefix $(basename "$prefix") (once, about a minute)"

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

if [ "$mode" = headless ]; then
  unset DISPLAY
  export XAUTHORITY=$work/xauthority
  start_xvfb 1280x800x24 "$XAUTHORITY" || fail "no private display could be started (Xvfb)"
  openbox --sm-disable --config-file /etc/xdg/openbox/rc.xml </dev/null >"$work/openbox.log" 2>&1 &
  WM_PID=$!
fi

prepare_prefix "$prefix" run || fail "the Wine prefix $prefix could not be prepared"
start_wine_server

if [ "$mode" = headless ]; then
  # The VNC server listens on a port of 127.0.0.1 from 5900 on, named to it: left to find
  # one itself, it also probes IPv6 ports, and where no IPv6 name resolves that took from a
  # moment to over 10 s. A port taken by another run between the look and the listen makes
  # it end at once, and the next one is tried. It reads its password from a file that it
  # removes at once, so the password never shows in a process list.
  password=$(python3 -c 'import secrets; print(secrets.token_urlsafe(6))')
  vnc_port=5899
  for _ in $(seq 1 20); do
    vnc_port=$(python3 "$root/scripts/listen-free-port.py" $((vnc_port + 1))) ||
      fail "no free port for the VNC server"
    (umask 077 && echo "$password" >"$work/password")
    x11vnc -display "$DISPLAY" -localhost -rfbport "$vnc_port" -rfbportv6 -1 -noipv6 -forever -shared \
      -xkb -passwdfile "rm:$work/password" </dev/null >"$work/x11vnc.out" 2>"$work/x11vnc.log" &
    VNC_PID=$!
    wait_line "$work/x11vnc.out" "$VNC_PID" '^PORT=[0-9]*$' && break
    kill "$VNC_PID" 2>/dev/null || true
    VNC_PID=
  done
  [ -n "$VNC_PID" ] ||
    fail "the VNC server (x11vnc) did not start: $(grep -v getaddrinfo "$work/x11vnc.log" | tail -n 1)"

  python3 "$root/scripts/listen-free-port.py" 6080 "$work/web-port" \
    websockify --inetd --web "$novnc" "127.0.0.1:$vnc_port" >"$work/websockify.log" 2>&1 &
  PROXY_PID=$!
  wait_line "$work/web-port" "$PROXY_PID" '^[0-9]*$' ||
    fail "the web proxy (websockify) did not start: $(tail -n 1 "$work/websockify.log")"
  web_port=$(cat "$work/web-port")
fi

(cd "$folder" && exec wine "$exe" </dev/null >/dev/null 2>&1) &
PROGRAM_PID=$!
if [ "$mode" = headless ]; then
  echo "Open http://127.0.0.1:$web_port/vnc.html?autoconnect=1&password=$password in a browser (Ctrl+C ends the program)"
else
  say "the program runs on display $DISPLAY (Ctrl+C ends it)"
fi

# A mask of signals from a process's status in /proc (SigCgt caught, SigBlk blocked).
signal_mask() {
  local mask
  mask=$(sed -n "s/^$2:[[:space:]]*//p" "/proc/$1/status" 2>/dev/null) || return 1
  [ -n "$mask" ] && echo $((16#$mask))
}

# A parent that is gone ends the run. make passes SIGTERM on to the run, but on SIGINT or
# SIGHUP sent to make alone it only waits for the run to end, as a terminal's signal
# reaches the whole group. Its handler blocks the signal and leaves it uncaught meanwhile,
# which /proc shows: a make parent that does so with SIGHUP, SIGINT or SIGTERM (mask
# 0x4003) ends the run too. Only make is read so: others block every signal for a moment
# whenever they start a process (vfork).
parent=$PPID
parent_is_make=0
case "$(cat "/proc/$parent/comm" 2>/dev/null)" in
  make | gmake) parent_is_make=1 ;;
esac
parent_ending() {
  local stat blocked caught
  stat=$(<"/proc/$$/stat")
  read -r _ stat _ <<<"${stat##*) }"
  [ "$stat" = "$parent" ] || return 0
  [ "$parent_is_make" = 1 ] || return 1
  blocked=$(signal_mask "$parent" SigBlk) && caught=$(signal_mask "$parent" SigCgt) || return 0
  [ $((blocked & ~caught & 0x4003)) -ne 0 ]
}

status=0
while kill -0 "$PROGRAM_PID" 2>/dev/null; do
  if parent_ending; then
    exit 130
  fi
  sleep 0.2
done
wait "$PROGRAM_PID" || status=$?
PROGRAM_PID=
exit "$status"
