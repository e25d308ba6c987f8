#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UBSan) and runs each in turn,
# one at a time, from its seed corpus in fuzz/corpus/<target>; what a run learns is kept
# in build/fuzz-corpus/<target>, findings in build/fuzz-findings/<target>.
#
#   scripts/fuzz.sh [--seconds N | --runs N] [target ...]
# By default every target runs for 40 seconds; --runs N runs N inputs of each instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
all=(TextFileFuzz StringFunctionsFuzz NumberTextFuzz ArraySortFuzz EditorKeysFuzz BitmapFileCheckFuzz)
limit=(-max_total_time=40)
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) limit=(-max_total_time="$2"); shift 2 ;;
    --runs) limit=(-runs="$2"); shift 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done
[ ${#targets[@]} -eq 0 ] && targets=("${all[@]}")

# The longest input of each target: long enough for what it explores, short enough to
# keep a run quick.
max_len() {
  case "$1" in
    TextFileFuzz) echo 600 ;;
    EditorKeysFuzz) echo 100 ;;
    BitmapFileCheckFuzz) echo 1500 ;;
    *) echo 512 ;;
  esac
}

"$root/scripts/build.sh" fuzz
# The picture check's seeds come from the bitmap generator; the same every time.
mkdir -p "$root/fuzz/corpus/BitmapFileCheckFuzz"
"$root/build/fuzz/fuzz/BitmapSeeds" "$root/fuzz/corpus/BitmapFileCheckFuzz"

summary=()
status=0
for target in "${targets[@]}"; do
  corpus="$root/build/fuzz-corpus/$target"
  findings="$root/build/fuzz-findings/$target"
  log="$root/build/fuzz-findings/$target.log"
  mkdir -p "$corpus" "$findings"
  echo "== $target"
  start=$(date +%s)
  if UBSAN_OPTIONS=print_stacktrace=1 ASAN_OPTIONS=detect_leaks=1:malloc_context_size=0 \
    "$root/build/fuzz/fuzz/$target" "${limit[@]}" -max_len="$(max_len "$target")" \
      -print_final_stats=1 -artifact_prefix="$findings/" \
      "$corpus" "$root/fuzz/corpus/$target" >"$log" 2>&1; then
    result="no finding"
  else
    result="FINDING (see ${log#$root/})"
    status=1
  fi
  seconds=$(( $(date +%s) - start ))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  summary+=("$(printf '%-20s %12s runs %7s s   %s' "$target" "${runs:-?}" "$seconds" "$result")")
  tail -n 3 "$log" | sed 's/^/   /'
done

echo
printf '%s\n' "${summary[@]}"
exit $status
