#!/usr/bin/env bash
# Takes the README's screenshots: the editor window (the program runs in a private
# 1024 x 640 Xvfb display on samples/lettera.txt; docs/editor.png) and the program in a
# browser, as make run shows it without a display (docs/browser.png).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/build.sh" win
. "$root/scripts/wine-env.sh"
trap stop_wine_and_display EXIT
start_xvfb 1024x640x24
prepare_prefix "$root/build/wineprefix" test
start_wine_server

dump=$(mktemp --suffix=.xwd)
SCREENSHOT_OUT=$dump bash "$root/tests/e2e/e2e.sh" screenshot "$root/build/win/editor.exe" \
  "$root/build/win/tests/e2e/probe.exe" "$root/samples" >/dev/null
mkdir -p "$root/docs"
python3 "$root/tests/e2e/xwd.py" png "$dump" "$root/docs/editor.png"
rm -f "$dump"
echo "docs/editor.png written"

BROWSER_SCREENSHOT="$root/docs/browser.png" /usr/bin/python3 "$root/tests/e2e/browser.py" \
  "$root/scripts/run-program.sh" "$root/build/win/editor.exe" "$root/samples" \
  "$root/build/win/wineprefix-browser" >/dev/null
echo "docs/browser.png written"
