#!/usr/bin/env bash
# make run: installs what is missing, builds the program (its output goes to
# build/run.log) and starts it with the samples folder as its current folder: on the
# current display, or where there is none in a private one served to a browser
# (run-program.sh). Each run has a Wine prefix of its own: the first free of
# build/wineprefix-run, build/wineprefix-run-2, ... (RUN_PREFIX names another first one,
# for the tests).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=${RUN_PREFIX:-$root/build/wineprefix-run}
log=$root/build/run.log

mkdir -p "$root/build"
# A run started while another one builds waits for it, then writes the log afresh.
exec {out}>>"$log"
flock "$out"
: >"$log"
failed() {
  echo "make run: $1 failed; the end of build/run.log:" >&2
  tail -n 15 "$log" >&2
  exit 1
}
# Both modes' packages, so that apt-get (and sudo's password) is needed once at most. The
# packages' names show here, apt-get's output goes to the log.
"$root/scripts/deps.sh" headless >&"$out" || failed "installing the packages"
echo "make run: building the program (output in build/run.log)"
"$root/scripts/build.sh" win --target editor >&"$out" 2>&1 || failed "the build"
flock -u "$out"
exec {out}>&-

mode=headless
if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
  mode=display
fi
exec "$root/scripts/run-program.sh" "$mode" "$root/build/win/editor.exe" "$root/samples" "$prefix"
