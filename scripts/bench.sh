#!/usr/bin/env bash
# Builds and runs the benchmarks, natively (the bench tree) and under Wine (the Windows
# tree, in a private 1920x1080 Xvfb display and a private prefix, then the key latency
# once more on a 3840x2160 display), on generated texts under build/bench-data, and prints
# one table at the end, with the machine's load before and after. --quick leaves out the
# 1 GB loads.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)
quick=false
[ "${1:-}" = --quick ] && quick=true

"$root/scripts/build.sh" bench
"$root/scripts/build.sh" win
# The Windows benchmarks are built on request only, so the option costs the tree nothing.
cmake -S "$root" -B "$root/build/win" -DTALVERMOOR_BENCH=ON >/dev/null
cmake --build "$root/build/win" -j "$jobs" --target load_bench sort_bench key_latency_bench \
  editor_marks

native="$root/build/bench/bench"
windows="$root/build/win/bench"
data="$root/build/bench-data"
mkdir -p "$data"
text="$data/text-100mb.txt"
large="$data/text-1gb.txt"
[ -f "$text" ] || "$native/make_text_file" "$text" 100 >/dev/null
if ! $quick && [ ! -f "$large" ]; then
  "$native/make_text_file" "$large" 1000 >/dev/null
fi
one_line="$data/text-one-line.txt"
printf 'Una riga sola.\r\n' >"$one_line"
# The first screen of the program draws its picture from the text's folder.
cp "$root/samples/fondo.bmp" "$data/fondo.bmp"

rows="$data/rows.txt"
: >"$rows"
load_row() {
  printf 'ROW\tMachine load (1, 5, 15 min), %s\t%s\t-\t-\n' "$1" \
    "$(cut -d' ' -f1-3 /proc/loadavg)" >>"$rows"
}
load_row "at the start"
# Runs one benchmark, keeps its rows and shows its progress.
run() {
  local out="$data/last-run.txt"
  echo "== $*" | sed "s|$root/||g"
  if ! "$@" >"$out" 2>&1; then
    cat "$out" >&2
    echo "benchmark failed: $*" >&2
    exit 1
  fi
  grep '^ROW' "$out" >>"$rows" || true
  grep -v '^ROW' "$out" || true
}

# The loading peer on the same file, in this run: vim reading it and jumping to its end
# (the median of three), measured again before each of our loads so both meet the same
# load of the machine.
vim_load() {
  local times=() start end
  for _ in 1 2 3; do
    start=$(date +%s.%N)
    vim -u NONE -es -c '$' -c 'q!' "$text" </dev/null >/dev/null 2>&1 || true
    end=$(date +%s.%N)
    times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')")
  done
  printf '%s\n' "${times[@]}" | sort -g | sed -n 2p
}
peer_row() {
  printf 'ROW\tLoad 100 MB, peer: vim -u NONE -es, native (%s)\t%s s\t-\t-\n' "$1" "$2" >>"$rows"
}

vim=$(vim_load)
peer_row "before our native load" "$vim"
run "$native/load_bench" "$text" "100 MB" --runs 3 --peer vim "$vim" --ratio 0.25 --per-line 100 \
  --overhead 32 --breakdown
run "$native/sort_bench" --lines 1000000 --seconds 1.0 --ratio 1.5 --peer-file "$data/sort-peer.txt"
$quick || run "$native/load_bench" "$large" "1 GB"

. "$root/scripts/wine-env.sh"
trap stop_wine_and_display EXIT
start_xvfb 1920x1080x24 || { echo "Xvfb could not be started" >&2; exit 1; }
prepare_prefix "$root/build/wineprefix-bench" test || { echo "Wine prefix could not be prepared" >&2; exit 1; }
start_wine_server

vim=$(vim_load)
peer_row "before our load under Wine" "$vim"
run wine "$windows/load_bench.exe" "$text" "100 MB" --runs 3 --peer vim "$vim" --ratio 0.5 \
  --overhead 32 --breakdown
run wine "$windows/sort_bench.exe" --lines 1000000 --seconds 1.0 --ratio 1.5 --peer-file "$data/sort-peer.txt"
# The key latency with the program's picture behind the text, as the program shows it.
(cd "$data" && run wine "$windows/key_latency_bench.exe" "$text" --events 1000 --median 1.3 \
  --p99 2) || exit 1
$quick || run wine "$windows/load_bench.exe" "$large" "1 GB"

# The whole road, editor.exe driven from outside: Return in the open-file dialog, then the
# time until its first screen is on the display; vim loads the same file in turn.
road() {
  run python3 "$root/bench/first_screen.py" --editor "$root/build/win/editor.exe" \
    --marks "$windows/editor_marks.exe" --file "$1" --label "$2" "${@:3}"
}
road "$text" "100 MB" --vim-ratio 0.7
road "$one_line" "one line" --seconds 0.1
$quick || road "$large" "1 GB" --seconds 3

# Keys on a big screen: a display of its own, and the prefix's server started anew on it.
stop_wine_and_display
start_xvfb 3840x2160x24 || { echo "Xvfb could not be started" >&2; exit 1; }
start_wine_server
(cd "$data" && run wine "$windows/key_latency_bench.exe" "$text" --events 1000 --median 1.0 \
  --p99-ms 16.7) || exit 1
load_row "at the end"

echo
awk -F'\t' '
  { measure[NR] = $2; value[NR] = $3; target[NR] = $4; verdict[NR] = $5
    if (length($2) > w1) w1 = length($2); if (length($3) > w2) w2 = length($3)
    if (length($4) > w3) w3 = length($4) }
  END {
    if (w1 < 7) w1 = 7; if (w2 < 8) w2 = 8; if (w3 < 6) w3 = 6
    printf "%-*s  %-*s  %-*s  %s\n", w1, "measure", w2, "measured", w3, "target", "verdict"
    for (i = 1; i <= NR; ++i)
      printf "%-*s  %-*s  %-*s  %s\n", w1, measure[i], w2, value[i], w3, target[i], verdict[i]
  }' "$rows"
