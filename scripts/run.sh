#!/usr/bin/env bash
# Builds the program and starts it on the current display, in a private Wine prefix, with
# the samples folder as its current folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/build.sh" win
. "$root/scripts/wine-env.sh"

if [ -z "${DISPLAY:-}" ] || ! xdotool getdisplaygeometry >/dev/null 2>&1; then
  echo "The program is built (build/win/editor.exe), but no display is available:"
  echo "DISPLAY is not set or does not answer. Run 'make run' from a graphical desktop session."
  exit 0
fi

prepare_prefix "$root/build/wineprefix-run" run || { echo "Wine prefix could not be prepared" >&2; exit 1; }
cd "$root/samples"
exec wine "$root/build/win/editor.exe"
