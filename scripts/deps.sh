#!/usr/bin/env bash
# Installs the Debian packages that are missing for the given purpose (default: build, test
# and run; headless: run without a display; browser: the test of that run in a browser;
# bench, fuzz, and format: the formatter that inserts braces).
# apt-get runs as root, or through sudo: once, for everything missing. The line that names
# the packages goes to standard error, apt-get's own output to standard output.
set -euo pipefail

packages=(make cmake g++ g++-mingw-w64-x86-64-posix wine xvfb x11-xkb-utils xdotool x11-apps
          fonts-liberation googletest python3 libclang-rt-14-dev git)
# The run without a display: private display, window manager, VNC server and noVNC.
headless=(novnc websockify x11vnc openbox xauth)
case "${1:-}" in
  headless) packages+=("${headless[@]}") ;;
  browser) packages+=("${headless[@]}" chromium python3-pil x11-utils) ;;
  bench) packages+=(vim) ;;
  fuzz) packages=(make cmake clang libclang-rt-14-dev) ;;
  # Braces are inserted by clang-format 15 and later.
  format) packages=(clang-format-16) ;;
esac

# One query for all: a package that dpkg does not know at all is missing too.
installed=$(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null |
  sed -n 's/^\([^ :]*\)\(:[^ ]*\)\? install ok installed$/\1/p' || true)
missing=()
for package in "${packages[@]}"; do
  grep -qxF "$package" <<<"$installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "Missing packages: ${missing[*]}; install them as root (no sudo here)." >&2
  exit 1
fi
echo "Installing: ${missing[*]}" >&2
"${sudo[@]}" apt-get update -q 2>&1
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "${missing[@]}" 2>&1
