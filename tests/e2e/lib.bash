# What the end-to-end scripts share; sourced by them, never run on its own
# (scripts/test.sh runs tests/e2e/*.sh). Each script drives a copy of the real
# pexor.exe in $PEXOR_E2E_DIR, with its own settings and history files, on
# the test display with xdotool. The programs it starts are the recorder
# (tests/win32/recorder.exe), which writes how it was started to record.txt.
# The copy writes the Run key, and wineboot starts what the Run key names:
# the value this prefix had goes back at the end.
set -euo pipefail

: "${PEXOR_E2E_DIR:?}" "${PEXOR_EXE_DIR:?}" "${WINE64:?}" "${DISPLAY:?}"
dir=$(realpath "$PEXOR_E2E_DIR")
here=$(dirname "$(realpath "${BASH_SOURCE[0]}")")
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "-- $*"; }
expect() { [ "$2" = "$3" ] || fail "$1: |$2|, not |$3|"; }  # WHAT ACTUAL EXPECTED
winpath() { local p; p=$(realpath -m "$1"); printf 'Z:%s' "${p//\//\\}"; }
lower() { tr 'A-Z' 'a-z'; }

# Polls a command until it succeeds; fails after 15 seconds.
wait_for() {
  local what=$1 deadline=$((SECONDS + 15))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || fail "timed out waiting for $what"
    sleep 0.1
  done
}

# The recorder writes one block of NAME=VALUE lines a start, ending in "end".
records() { if [ -f "$dir/record.txt" ]; then grep -c '^end$' "$dir/record.txt" || true; else echo 0; fi; }
has_records() { [ "$(records)" -ge "$1" ]; }
recorded() { grep "^$1=" "$dir/record.txt" | tail -n 1 | cut -d= -f2- | tr -d '\r'; }
history() { tr -d '\r' <"$dir/pexor.his"; }
ini() { tr -d '\r' <"$dir/pexor.ini" | sed -n "/^\[$1\]/,/^\[/s/^$2=//p"; }
reg_value() {
  "$WINE64" reg query "$RUN_KEY" /v Pexor </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/^ *Pexor *REG_SZ *//p'
}
reg_quiet() { "$WINE64" reg "$@" </dev/null >/dev/null 2>&1 || true; }
run_key_names_exe() { [ "$(reg_value | lower)" = "$(winpath "$dir/pexor.exe" | lower)" ]; }

# Sets X, Y, WIDTH and HEIGHT to the place and size of a window.
geometry() { eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"; }
# The bar carries the title "Pexor" (the main window does too, but is never
# shown); dialogs are found by their captions. The open list and the menu
# are windows of the program without a title (their Windows class does not
# show under X); the tooltips, also untitled, are lower.
find_bar() {
  local w
  for w in $(xdotool search --onlyvisible --name '^Pexor$' 2>/dev/null); do
    geometry "$w"
    if [ "$WIDTH" -ge 100 ] && [ "$HEIGHT" -lt 60 ]; then bar=$w; return 0; fi
  done
  return 1
}
find_named() { win=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) || true; [ -n "$win" ]; }
gone() { ! find_named "$1"; }
find_popup() {
  local w
  for w in $(xdotool search --onlyvisible --class '^pexor\.exe$' 2>/dev/null); do
    [ -z "$(xdotool getwindowname "$w")" ] || continue
    geometry "$w"
    if [ "$HEIGHT" -ge 40 ]; then popup=$w; return 0; fi
  done
  return 1
}
no_popup() { ! find_popup; }

# Keys go where the X focus is; should it have fallen back to the root
# window, they go to the window under the pointer.
point_at() { geometry "$1"; xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)); }
click_bar() { find_bar || fail "the bar is gone"; point_at "$bar"; xdotool click 1; }
type_line() { xdotool type --delay 5 "$1"; xdotool key Return; }

# A screenshot shot-NAME.png of the display; with MARGIN and windows also
# NAME.png, cropped to the windows and MARGIN pixels around them.
shot() {
  local name=$1 m=${2:-} x0=100000 y0=100000 x1=0 y1=0 w
  import -display "$DISPLAY" -window root "$dir/shot-$name.png"
  [ -n "$m" ] || return 0
  shift 2
  for w; do
    geometry "$w"
    x0=$((X < x0 ? X : x0)) y0=$((Y < y0 ? Y : y0))
    x1=$((X + WIDTH > x1 ? X + WIDTH : x1)) y1=$((Y + HEIGHT > y1 ? Y + HEIGHT : y1))
  done
  x0=$((x0 > m ? x0 - m : 0)) y0=$((y0 > m ? y0 - m : 0))
  convert "$dir/shot-$name.png" -crop "$((x1 - x0 + m))x$((y1 - y0 + m))+$x0+$y0" +repage "$dir/$name.png"
}

# Right click into the bar opens its menu; menu_pick N then clicks item N: 0
# Eigenschaften, 1 Historie löschen, 2 MS-DOS-Eingabeaufforderung, 3 Info,
# 4 Beenden. The five items are equally high; a separator of 9 pixels lies
# between the third and the fourth, all inside a 3-pixel frame.
open_menu() {
  find_bar || fail "the bar is gone"
  geometry "$bar"
  xdotool mousemove $((X + WIDTH - 60)) $((Y + HEIGHT / 2)) click 3
  wait_for "the menu" find_popup
}
menu_pick() {
  open_menu
  geometry "$popup"
  local row=$(((HEIGHT - 6 - 9) / 5))
  xdotool mousemove $((X + 40)) $((Y + 3 + row * $1 + row / 2 + ($1 >= 3 ? 9 : 0)))
  sleep 0.2
  xdotool click 1
  wait_for "the menu to close" no_popup
}

# The copy runs with the given arguments; the bar gets a click, and so the
# keyboard.
start_pexor() {
  ( cd "$dir" && exec "$WINE64" ./pexor.exe "$@" ) </dev/null >"$dir/pexor.log" 2>&1 &
  pexor=$!
  wait_for "the command bar" find_bar
  xdotool keyup Escape Return F7 F8 alt ctrl shift
  click_bar
}
# Until the script waits for it, an ended child stays behind as a zombie.
alive() { local state; state=$(ps -o stat= -p "$pexor") && [[ $state != Z* ]]; }
ended() { ! alive; }
quit_by_menu() {
  menu_pick 4
  wait_for "pexor.exe to end" ended
  wait "$pexor" || fail "pexor.exe ended with $?"
  pexor=
}

cp "$PEXOR_EXE_DIR/pexor.exe" "$PEXOR_EXE_DIR/tests/win32/recorder.exe" "$dir/"
recorder=$(winpath "$dir/recorder.exe")
export PEXOR_RECORD="$(winpath "$dir/record.txt")"
old_run_value=$(reg_value) && had_run_value=1 || had_run_value=0
pexor=
cleanup() {
  if [ -n "$pexor" ] && kill -0 "$pexor" 2>/dev/null; then kill "$pexor"; fi
  reg_quiet delete "$RUN_KEY" /v Pexor /f
  [ "$had_run_value" = 0 ] || reg_quiet add "$RUN_KEY" /v Pexor /d "$old_run_value" /f
}
trap cleanup EXIT
