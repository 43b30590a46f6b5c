#!/usr/bin/env bash
# Runs a Windows program under Wine: the CMAKE_CROSSCOMPILING_EMULATOR of the
# x86_64 build, so plain ctest in build/win64 works. Makes sure this tree's
# prefix exists and its wineserver runs (booted with stdio on /dev/null, see
# wine-env.sh), then hands stdio straight to the program: gtest's test list
# arrives on our stdout.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
wine_env_vars
mkdir -p "$PEXOR_ROOT/build"

# Only one caller at a time may start the server or create the prefix.
exec 9>"$PEXOR_ROOT/build/.wine-lock"
flock 9
wine_server_up
if [ "$PEXOR_WINE_STARTED" = 1 ] || [ ! -e "$WINEPREFIX/.pexor-prefix-ready" ]; then
  # A new server: its desktop process needs a display that stays for its
  # whole life. Without one of ours, start an Xvfb that ends with the server.
  if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    xvfb_start
    ( close_inherited_fds; "$WINESERVER64" -w; kill "$PEXOR_XVFB_PID" ) </dev/null >/dev/null 2>&1 &
  fi
  wine_start >&2
elif [ -z "${DISPLAY:-}" ] && [ -s "$WINEPREFIX/.pexor-display" ]; then
  # A running server: use the display its desktop process was started with.
  export DISPLAY=$(cat "$WINEPREFIX/.pexor-display")
fi
exec 9>&-

# Wine starts a desktop process for each program, which inherits our stdout
# and outlives the program by about a second; ctest would wait for it on the
# pipe. Its output therefore goes through files, handed on at the end.
out=$(mktemp) err=$(mktemp)
rc=0
"$WINE64" "$@" >"$out" 2>"$err" </dev/null || rc=$?
cat "$out"
cat "$err" >&2
rm -f "$out" "$err"
exit $rc
