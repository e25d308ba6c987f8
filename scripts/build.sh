#!/usr/bin/env bash
# Configures and builds one tree: native (sanitized, with tests), win (MinGW-w64 cross),
# bench (native, optimised) or fuzz (clang, libFuzzer). Further arguments go to
# cmake --build (e.g. --target editor). Builds of one tree wait for each other, so that two
# commands at once (make run beside make test) never write the same files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

tree=${1:?usage: build.sh native|win|bench|fuzz [cmake --build arguments]}
shift
case "$tree" in
  native) args=(-DCMAKE_BUILD_TYPE=Debug -DTALVERMOOR_SANITIZE=ON) ;;
  win) args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake") ;;
  bench) args=(-DCMAKE_BUILD_TYPE=Release -DTALVERMOOR_TESTS=OFF -DTALVERMOOR_BENCH=ON) ;;
  fuzz) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALVERMOOR_TESTS=OFF -DTALVERMOOR_FUZZ=ON
              -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
  *) echo "unknown tree: $tree" >&2; exit 2 ;;
esac

dir="$root/build/$tree"
mkdir -p "$root/build"
exec {lock}>"$root/build/.$tree.lock"
flock "$lock"
if [ ! -f "$dir/CMakeCache.txt" ]; then
  if ! log=$(cmake -S "$root" -B "$dir" "${args[@]}" 2>&1); then
    printf '%s\n' "$log" >&2
    rm -f "$dir/CMakeCache.txt"
    exit 1
  fi
fi
cmake --build "$dir" -j "$jobs" "$@"
if [ "$tree" = native ]; then
  ln -sf build/native/compile_commands.json "$root/compile_commands.json"
fi
