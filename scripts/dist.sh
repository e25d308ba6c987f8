#!/usr/bin/env bash
# Builds the download for Windows users, dist/talvermoor-editor-VERSION-win64.zip: the
# program, the texts for its users, the samples and their sums. VERSION is git's
# description of the commit (its tag, or its short hash when no tag precedes it).
# Two clones of one commit give the same bytes: the program's own tree is configured
# afresh, the zip's times are the last commit's (SOURCE_DATE_EPOCH) and its entries sorted.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

# A fixed length of the hash: git would lengthen it with the objects of the clone.
version=$(git -C "$root" describe --always --tags --dirty --abbrev=10)
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
# Compilations in any clone share ccache's results: paths under the clone hash the same.
export CCACHE_BASEDIR=$root

dir="$root/build/dist"
rm -rf "$dir"
if ! log=$(cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DTALVERMOOR_TESTS=OFF \
  -DTALVERMOOR_DIST=ON -DTALVERMOOR_VERSION="$version" 2>&1); then
  printf '%s\n' "$log" >&2
  exit 1
fi
cmake --build "$dir" -j "$jobs" --target editor

stage="$dir/zip"
mkdir -p "$stage/esempi"
cp "$dir/editor.exe" "$stage/"
for text in LEGGIMI.txt README.txt; do
  # A byte order mark, so that every Notepad reads the accented letters as UTF-8.
  { printf '\357\273\277'; sed 's/$/\r/' "$root/docs/windows/$text"; } >"$stage/$text"
done
cp "$root"/samples/* "$stage/esempi/"
(cd "$stage" && find . -type f -printf '%P\n' | LC_ALL=C sort | xargs -d '\n' sha256sum) \
  >"$dir/SHA256SUMS"
mv "$dir/SHA256SUMS" "$stage/"

mkdir -p "$root/dist"
zip="$root/dist/talvermoor-editor-$version-win64.zip"
/usr/bin/python3 "$root/scripts/dist-zip.py" "$stage" "$zip"
echo "$zip"
