#!/usr/bin/env bash
# Builds both trees and runs every test: the native ones under the sanitizers, the Windows
# ones under Wine in a private Xvfb display and a private prefix, one at a time.
# Tests labelled big (minutes or gigabytes) are left to scripts/test-big.sh. Arguments go to
# ctest (e.g. -R canvas). ctest's summary is the last thing printed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

"$root/scripts/build.sh" native
"$root/scripts/build.sh" win
printf 'subdirs("native")\nsubdirs("win")\n' >"$root/build/CTestTestfile.cmake"

. "$root/scripts/wine-env.sh"
trap stop_wine_and_display EXIT
start_xvfb 1280x1024x24 || { echo "Xvfb could not be started" >&2; exit 1; }
prepare_prefix "$root/build/wineprefix" test || { echo "Wine prefix could not be prepared" >&2; exit 1; }
start_wine_server

cd "$root/build"
ctest --output-on-failure -j "$jobs" -LE big "$@"
