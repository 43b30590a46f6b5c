#!/usr/bin/env bash
# Installs every package that building and testing Pexor needs (Debian 12).
# Idempotent: when all are present it only asks dpkg and returns at once.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ googletest
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  # posix thread model: GoogleTest needs std::mutex in both Windows test trees
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 mingw-w64-tools
  # fuzzing: clang with its runtime (libFuzzer, sanitizers)
  clang libclang-rt-14-dev
  # Wine on a virtual display, and what the end-to-end tests drive it with
  wine wine64 fonts-wine xvfb xauth x11-utils xdotool imagemagick
  # keyboard maps of the virtual display (setxkbmap, xkbcomp): a German keyboard
  x11-xkb-utils
  # the 32-bit half of Wine (an i386 package): runs the shipped 32-bit exe
  wine32
  # wine loads these at run time; they are only recommended, so name them
  libxcursor1 fonts-liberation
  # used by the scripts themselves (ps, flock, timeout), and the end-to-end
  # test's file drop (X drag and drop through ctypes)
  procps util-linux coreutils python3
)

# dpkg-query prints "ii " for every installed package it knows; it complains
# about unknown ones on stderr, which is expected on a fresh machine.
installed=$(dpkg-query -W -f='${Package} ${db:Status-Abbrev}\n' "${packages[@]}" 2>/dev/null \
            | awk '$2 == "ii" { print $1 }' || true)
missing=()
for p in "${packages[@]}"; do
  grep -qxF -- "$p" <<<"$installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: run as root to install packages" >&2; exit 1; }
  sudo=(sudo)
fi

log=$(mktemp /tmp/pexor-setup.XXXXXX.log)
export DEBIAN_FRONTEND=noninteractive
# wine32 comes from the i386 architecture; the update below then reads its lists.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo[@]}" dpkg --add-architecture i386
fi
# Recommends are not needed: what wine loads at run time is named above.
if "${sudo[@]}" apt-get update -q >"$log" 2>&1 &&
   "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" >>"$log" 2>&1 </dev/null; then
  rm -f "$log"
  echo "setup: done"
else
  tail -n 30 "$log" >&2
  echo "setup: apt-get failed (full output in $log)" >&2
  exit 1
fi
