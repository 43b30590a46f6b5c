#!/usr/bin/env bash
# Builds Pexor if needed and starts it under Wine: on your X display when
# there is one, otherwise on a virtual display, with a screenshot to look at.
# Arguments are passed to pexor.exe (for example: -p c:\\windows).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh
source scripts/wine-env.sh

# The product is the 32-bit exe; a machine that cannot run 32-bit programs
# gets the x86_64 build of the same sources.
if can_run_32bit; then
  build=build/win32 toolchain=mingw-i686
  echo "Starting the 32-bit (i686) pexor.exe, the build users get."
else
  build=build/win64 toolchain=mingw-x86_64
  echo "Starting the x86_64 pexor.exe: $PEXOR_NO_32BIT."
fi
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/$toolchain.cmake" >/dev/null
fi
ninja -C "$build" pexor >/dev/null

virtual=0
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  virtual=1
  xvfb_start
fi
cleanup() {
  if [ "$virtual" = 1 ]; then wine_stop; xvfb_stop; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

wine_start
"$WINE64" "$build/pexor.exe" "$@" </dev/null >/dev/null 2>&1 &
pexor=$!

if [ "$virtual" = 1 ]; then
  # Wait for the bar to appear, then show where it can be seen.
  for _ in $(seq 100); do
    if xdotool search --name '^Pexor$' >/dev/null 2>&1; then break; fi
    sleep 0.1
  done
  mkdir -p build/screenshots
  shot=$root/build/screenshots/start.png
  sleep 0.5  # let the first paint finish
  import -display "$DISPLAY" -window root "$shot"
  echo "Pexor runs on the virtual display $DISPLAY; screenshot: $shot"
  echo "Press Ctrl+C to stop it."
else
  echo "Pexor runs on $DISPLAY. Stop it with the menu item Beenden (Alt+F4 on the bar)."
fi
wait "$pexor" || true
