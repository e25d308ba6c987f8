#!/usr/bin/env bash
# Builds the program and starts it on the current display, in a private Wine prefix, with
# the samples folder as its current folder. Without a display, the program runs in a private
# one served to a browser (run-headless.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/build.sh" win
. "$root/scripts/wine-env.sh"

if [ -z "${DISPLAY:-}" ] || ! xdotool getdisplaygeometry >/dev/null 2>&1; then
  "$root/scripts/deps.sh" headless
  exec "$root/scripts/run-headless.sh" "$root/build/win/editor.exe" "$root/samples" \
    "$root/build/wineprefix-run"
fi

prepare_prefix "$root/build/wineprefix-run" run || { echo "Wine prefix could not be prepared" >&2; exit 1; }
cd "$root/samples"
exec wine "$root/build/win/editor.exe"
