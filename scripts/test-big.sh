#!/usr/bin/env bash
# Builds the native tree and runs the tests labelled big: those that take minutes or
# gigabytes, left out of make test. Arguments go to ctest (e.g. -R Sort).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

"$root/scripts/build.sh" native

cd "$root/build/native"
ctest --output-on-failure -j "$jobs" -L big "$@"
