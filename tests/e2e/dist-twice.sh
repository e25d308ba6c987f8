#!/usr/bin/env bash
# The download for Windows users, built by make dist twice: in two clones of the committed
# HEAD in fresh folders. The two zips must be the same bytes, hold what the users' texts
# promise, and carry a program that is small, stripped, free of build paths, a window
# program without a console, and needs no DLL but the system's. The zip is left in
# <out-folder> for the case that runs it from an odd folder (e2e.sh download).
#
#   dist-twice.sh <source-folder> <out-folder>
set -euo pipefail
source=$1
out=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

head=$(git -C "$source" rev-parse -q --verify HEAD) || { echo "SKIP: not a git clone"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for clone in a b; do
  git clone -q "$source" "$work/$clone"
  [ "$(git -C "$work/$clone" rev-parse HEAD)" = "$head" ] || fail "the clone is not at HEAD"
  start=$SECONDS
  "$work/$clone/scripts/dist.sh" >"$work/$clone.log" 2>&1 ||
    { cat "$work/$clone.log" >&2; fail "make dist failed in a fresh clone"; }
  echo "build $clone: $((SECONDS - start)) s"
done

name="talvermoor-editor-$(git -C "$work/a" describe --always --tags --abbrev=10)-win64.zip"
zip="$work/a/dist/$name"
[ -f "$zip" ] || fail "no $name: $(ls "$work/a/dist")"
cmp "$zip" "$work/b/dist/$name" || fail "two builds of $head differ"

listing=$(/usr/bin/python3 -c 'import sys, zipfile; print(*zipfile.ZipFile(sys.argv[1]).namelist(), sep="\n")' "$zip")
expected=$(printf '%s\n' LEGGIMI.txt README.txt SHA256SUMS editor.exe
  cd "$source/samples" && printf 'esempi/%s\n' *)
[ "$listing" = "$expected" ] || fail "the zip holds: $listing"

/usr/bin/python3 -m zipfile -e "$zip" "$work/unpacked"
exe="$work/unpacked/editor.exe"
size=$(stat -c %s "$exe")
[ "$size" -le $((400 * 1024)) ] || fail "editor.exe has $size bytes"
headers=$(x86_64-w64-mingw32-objdump -p "$exe")
grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || fail "editor.exe is not a window program"
! x86_64-w64-mingw32-objdump -f "$exe" | grep -q HAS_SYMS || fail "editor.exe has symbols"
# The DLLs of every Windows since XP; a compiler's runtime DLL would be missing on a
# person's machine.
system='^(kernel32|user32|gdi32|comdlg32|ole32|oleaut32|msvcrt|advapi32|shell32|comctl32)\.dll$'
dlls=$(sed -n 's/^\tDLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z')
[ -n "$dlls" ] || fail "no import table"
others=$(grep -v -E "$system" <<<"$dlls" || true)
[ -z "$others" ] || fail "editor.exe imports $others"
! strings -a "$exe" | grep -F -e "$work" -e "$source" || fail "a build folder is in editor.exe"

rm -rf "$out"
mkdir -p "$out"
cp "$zip" "$out/"
echo "ok: $name, $size bytes, the same from two clones"
