#!/usr/bin/env bash
# Builds both trees and runs the tests labelled big: those that take minutes or gigabytes,
# left out of make test. The sort from the cursor over texts of a million lines; lines of
# 2 GiB, reads past 4 GiB and more lines than the array holds (natively, in sparse files
# where the file system has them); a text of 440 million short lines (4.4 GB) loaded under
# Wine; and 1 GB loads stopped from the screen. They run one at a time and take up to some
# 11 GB of memory (the Wine load skips itself with less) and 5 GB of disk in
# TALVERMOOR_BIG_DATA (build/big-data unless told), which is emptied when they end.
# Arguments go to ctest (e.g. -R Sort).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/build.sh" native
"$root/scripts/build.sh" win
printf 'subdirs("native")\nsubdirs("win")\n' >"$root/build/CTestTestfile.cmake"

export TALVERMOOR_BIG_DATA=${TALVERMOOR_BIG_DATA:-$root/build/big-data}
mkdir -p "$TALVERMOOR_BIG_DATA"
TALVERMOOR_BIG_DATA=$(cd "$TALVERMOOR_BIG_DATA" && pwd)
export E2E_LOAD_DIR=$TALVERMOOR_BIG_DATA

. "$root/scripts/wine-env.sh"
finish() {
  stop_wine_and_display
  find "$TALVERMOOR_BIG_DATA" -mindepth 1 -delete
}
trap finish EXIT
start_xvfb 1280x1024x24 || { echo "Xvfb could not be started" >&2; exit 1; }
prepare_prefix "$root/build/wineprefix" test || { echo "Wine prefix could not be prepared" >&2; exit 1; }
start_wine_server
TALVERMOOR_BIG_DATA_WINDOWS=$(winepath -w "$TALVERMOOR_BIG_DATA" 2>/dev/null)
export TALVERMOOR_BIG_DATA_WINDOWS

cd "$root/build"
ctest --output-on-failure -L big "$@"
