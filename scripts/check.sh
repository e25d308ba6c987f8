#!/usr/bin/env bash
# The fast loop: builds the native tree (ASan and UBSan) and runs its tests only: the unit
# tests, the layering check and the fuzz corpora replayed (not those labelled big). It also
# cross-compiles the program, so that dialogs/, canvas/ and the editor's Windows part build
# and link: a broken seam between them shows here. No Wine, no display.
# Arguments go to ctest (e.g. -R Typing).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

"$root/scripts/build.sh" native
"$root/scripts/build.sh" win --target editor
cd "$root/build/native"
ctest --output-on-failure -j "$jobs" -LE big "$@"
