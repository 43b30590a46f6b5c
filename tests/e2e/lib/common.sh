# Sourced by the end-to-end scripts (test.sh runs only tests/e2e/*.sh): a copy of the real pexor.exe
# ($PEXOR_EXE, else the one in $PEXOR_EXE_DIR) in $PEXOR_E2E_DIR with its own files, driven with xdotool on the test display. What it starts is
# the recorder, which writes how it was started to record.txt. The copy writes the Run key, and
# wineboot starts what the Run key names: the value this prefix had goes back at the end.
set -euo pipefail
: "${PEXOR_E2E_DIR:?}" "${PEXOR_EXE_DIR:?}" "${WINE64:?}" "${DISPLAY:?}"
dir=$(realpath "$PEXOR_E2E_DIR")
here=$(dirname "$(dirname "$(realpath "${BASH_SOURCE[0]}")")")  # tests/e2e
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "-- $*"; }
expect() { [ "$2" = "$3" ] || fail "$1: |$2|, not |$3|"; }  # WHAT ACTUAL EXPECTED
winpath() { local p; p=$(realpath -m "$1"); printf 'Z:%s' "${p//\//\\}"; }
lower() { tr 'A-Z' 'a-z'; }
wait_for() {  # WHAT COMMAND...: polls the command until it succeeds, for up to 15 s
  local what=$1 deadline=$((SECONDS + 15))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || fail "timed out waiting for $what"
    sleep 0.1
  done
}

records() { if [ -f "$dir/record.txt" ]; then grep -c '^end$' "$dir/record.txt" || true; else echo 0; fi; }
has_records() { [ "$(records)" -ge "$1" ]; }
recorded() { grep "^$1=" "$dir/record.txt" | tail -n 1 | cut -d= -f2- | tr -d '\r'; }  # of the last start
history() { tr -d '\r' <"$dir/pexor.his"; }
ini() { tr -d '\r' <"$dir/pexor.ini" | sed -n "/^\[$1\]/,/^\[/s/^$2=//p"; }
reg_value() {
  "$WINE64" reg query "$RUN_KEY" /v Pexor </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/^ *Pexor *REG_SZ *//p'
}
reg_quiet() { "$WINE64" reg "$@" </dev/null >/dev/null 2>&1 || true; }
run_key_names_exe() { [ "$(reg_value | lower)" = "$(winpath "$dir/pexor.exe" | lower)" ]; }

geometry() { eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"; }
# The bar is titled "Pexor" (so is the main window, never shown); dialogs are found by caption; the
# open list and the menu are untitled windows of the program, higher than the untitled tooltips.
find_bar() {
  for bar in $(xdotool search --onlyvisible --name '^Pexor$' 2>/dev/null); do
    geometry "$bar"
    [ "$WIDTH" -lt 100 ] || [ "$HEIGHT" -ge 60 ] || return 0
  done
  return 1
}
find_popup() {
  for popup in $(xdotool search --onlyvisible --class '^pexor\.exe$' 2>/dev/null); do
    [ -z "$(xdotool getwindowname "$popup")" ] && geometry "$popup" && [ "$HEIGHT" -ge 40 ] && return 0
  done
  return 1
}
no_popup() { ! find_popup; }
find_named() { win=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) || true; [ -n "$win" ]; }
gone() { ! find_named "$1"; }
# Keys go to the window under the pointer should the X focus have fallen back to the root window.
point_at() { geometry "$1"; xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)); }
click_bar() { find_bar || fail "the bar is gone"; point_at "$bar"; xdotool click 1; }
type_line() { xdotool type --delay 5 "$1"; xdotool key Return; }

shot() {  # NAME [MARGIN WINDOW...]: shot-NAME.png, and NAME.png cropped to the windows and MARGIN
  local name=$1 m=${2:-} x0=100000 y0=100000 x1=0 y1=0 w
  import -display "$DISPLAY" -window root "$dir/shot-$name.png"
  [ -n "$m" ] || return 0
  for w in "${@:3}"; do
    geometry "$w"
    x0=$((X < x0 ? X : x0)) y0=$((Y < y0 ? Y : y0))
    x1=$((X + WIDTH > x1 ? X + WIDTH : x1)) y1=$((Y + HEIGHT > y1 ? Y + HEIGHT : y1))
  done
  x0=$((x0 > m ? x0 - m : 0)) y0=$((y0 > m ? y0 - m : 0))
  convert "$dir/shot-$name.png" -crop "$((x1 - x0 + m))x$((y1 - y0 + m))+$x0+$y0" +repage "$dir/$name.png"
}

# Whether Windows counts a dialog as active shows in its caption: blue, else grey. (The X focus is no
# witness: Wine's requests to move it carry estimated times, and X ignores some of them.)
active() {
  geometry "$1"
  set -- $(import -display "$DISPLAY" -window root -crop "1x1+$((X + WIDTH - 40))+$((Y + 12))" -depth 8 txt:- |
    sed -n 's/^0,0: *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \3/p')  # red, blue
  [ $# = 2 ] && [ "$2" -gt $(($1 + 60)) ]
}
inactive() { ! active "$1"; }

# The dialogs use 8-point "MS Sans Serif": a dialog unit is 6/4 pixels wide and 13/8 high, inside a
# 3-pixel frame.
FRAME=3
open_dialog() {  # MENU-ITEM CAPTION WIDTH: $win, WIDTH dialog units wide (else the font is another)
  menu_pick "$1"
  wait_for "the dialog |$2|" find_named "$2"
  geometry "$win"
  expect "width of |$2| in pixels" "$WIDTH" $((2 * FRAME + $3 * 6 / 4))
  wait_for "|$2| to be active" active "$win"
}

# Ctrl+Alt+KEY (it reaches the program while one of its windows has the X focus) pressed over the
# About box WINDOW must activate the bar and so put the About box into the background.
hotkey_activates_bar() {
  wait_for "the About box to be active" active "$1"
  point_at "$1"
  xdotool key "ctrl+alt+$2"
  wait_for "Ctrl+Alt+$2 to activate the bar" inactive "$1"
}

# A right click on the bar opens its menu. Its items: 0 Eigenschaften, 1 Historie löschen, 2 MS-DOS-
# Eingabeaufforderung, 3 Info, 4 Beenden; equally high, a 9-pixel separator between 2 and 3, all in
# a 3-pixel frame.
open_menu() {
  find_bar || fail "the bar is gone"
  xdotool mousemove $((X + WIDTH - 60)) $((Y + HEIGHT / 2)) click 3
  wait_for "the menu" find_popup
}
menu_pick() {
  open_menu
  local row=$(((HEIGHT - 6 - 9) / 5))
  xdotool mousemove $((X + 40)) $((Y + 3 + row * $1 + row / 2 + ($1 >= 3 ? 9 : 0)))
  sleep 0.2
  xdotool click 1
  wait_for "the menu to close" no_popup
}

start_pexor() {  # ARGUMENTS...; then a click gives the bar the keyboard
  ( cd "$dir" && exec "$WINE64" ./pexor.exe "$@" ) </dev/null >"$dir/pexor.log" 2>&1 &
  pexor=$!
  wait_for "the command bar" find_bar
  xdotool keyup Escape Return F7 F8 alt ctrl shift
  click_bar
}
# An ended child stays behind as a zombie until the script waits for it.
alive() { local state; state=$(ps -o stat= -p "$pexor") && [[ $state != Z* ]]; }
ended() { ! alive; }
quit_by_menu() {
  menu_pick 4
  wait_for "pexor.exe to end" ended
  wait "$pexor" || fail "pexor.exe ended with $?"
  pexor=
}

cp "${PEXOR_EXE:-$PEXOR_EXE_DIR/pexor.exe}" "$PEXOR_EXE_DIR/tests/win32/recorder.exe" "$dir/"
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
