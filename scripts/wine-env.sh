# Shared by test.sh and run-program.sh: a private X display, a private Wine prefix and its server.
# Source it; every function reports failure through its status and prints nothing else.

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Starts Xvfb on a free display number and exports DISPLAY and XVFB_PID. The server itself
# takes the number (-displayfd), so two scripts starting at once never share a display.
# With an authority file, only clients that read its new random key (XAUTHORITY) may
# connect: the server accepts every key of the file, clients look theirs up by display.
start_xvfb() {
  local screen=${1:-1280x1024x24} auth=${2:-} cookie= number i
  local access=()
  if [ -n "$auth" ]; then
    cookie=$(mcookie)
    xauth -q -f "$auth" add :0 . "$cookie" </dev/null >/dev/null 2>&1 || return 1
    access=(-auth "$auth")
  fi
  number=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp "${access[@]}" \
    3>"$number" </dev/null >/dev/null 2>&1 &
  XVFB_PID=$!
  for i in $(seq 1 200); do
    [ -s "$number" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  local n
  n=$(cat "$number")
  rm -f "$number"
  if [ -z "$n" ] || ! kill -0 "$XVFB_PID" 2>/dev/null; then
    kill "$XVFB_PID" 2>/dev/null
    return 1
  fi
  if [ -n "$auth" ]; then
    xauth -q -f "$auth" add ":$n" . "$cookie" </dev/null >/dev/null 2>&1 || return 1
  fi
  export DISPLAY=":$n" XVFB_PID
}

# Creates the prefix once (prefix_ready tells whether it is made): "test" prefixes have unmanaged windows (no window manager under
# Xvfb), "run" prefixes leave the windows to the desktop's window manager. Both show
# "courier new" as the monospaced Liberation Mono.
prefix_ready() {
  [ -f "$1/.talvermoor-ready-2" ]
}
prepare_prefix() {
  local prefix=$1 kind=$2
  export WINEPREFIX=$prefix
  prefix_ready "$prefix" && return 0
  mkdir -p "$prefix"
  wineboot -i </dev/null >/dev/null 2>&1 || return 1
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Courier New' /t REG_SZ \
    /d 'Liberation Mono' /f </dev/null >/dev/null 2>&1 || return 1
  if [ "$kind" = test ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
      </dev/null >/dev/null 2>&1 || return 1
    # A crashing test prints its backtrace and ends, instead of waiting in a crash dialog.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      </dev/null >/dev/null 2>&1 || return 1
  fi
  # Registry writes reach the prefix's files when the server ends cleanly.
  wineserver -w </dev/null >/dev/null 2>&1
  touch "$prefix/.talvermoor-ready-2"
}

# Starts the prefix's server and helper processes on /dev/null, so that no program that
# collects output waits for them.
start_wine_server() {
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd.exe /c exit </dev/null >/dev/null 2>&1
}

# Ends the private server (with every Wine process of the prefix) and the private display.
stop_wine_and_display() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k </dev/null >/dev/null 2>&1 || true
  fi
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
}
