#!/usr/bin/env bash
# The properties dialog and the About box, opened from the bar's menu and
# used the way a person uses them: the real pexor.exe (a copy of its own with
# its own settings and history files) on the test display, driven with
# xdotool clicks and keys. Checks the settings file, the history file, the
# Run key, the hotkey and how the recorder (the shell program here) was
# started; screenshots of both dialogs are left in $PEXOR_E2E_DIR
# (properties.png, about.png, cropped; shot-*.png whole).
set -euo pipefail

: "${PEXOR_E2E_DIR:?}" "${PEXOR_EXE_DIR:?}" "${WINE64:?}" "${DISPLAY:?}"
dir=$(realpath "$PEXOR_E2E_DIR")
exedir=$(realpath "$PEXOR_EXE_DIR")
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
PROPERTIES='Pexor - Eigenschaften'
ABOUT='Pexor V1.16'

fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "-- $*"; }
winpath() { local p; p=$(realpath -m "$1"); printf 'Z:%s' "${p//\//\\}"; }

# Polls a command until it succeeds; fails after $timeout seconds.
timeout=15
wait_for() {
  local what=$1 deadline=$((SECONDS + timeout))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || fail "timed out waiting for $what"
    sleep 0.1
  done
}

records() { if [ -f "$dir/record.txt" ]; then grep -c '^end$' "$dir/record.txt" || true; else echo 0; fi; }
has_records() { [ "$(records)" -ge "$1" ]; }
last_cmdline() { grep '^cmdline=' "$dir/record.txt" | tail -n 1 | cut -d= -f2- | tr -d '\r'; }
history() { tr -d '\r' <"$dir/pexor.his"; }
ini() { tr -d '\r' <"$dir/pexor.ini" | sed -n "/^\[$1\]/,/^\[/s/^$2=//p"; }
shot() { import -display "$DISPLAY" -window root "$dir/shot-$1.png"; }
geometry() { xdotool getwindowgeometry --shell "$1" | sed -n 's/^\(X\|Y\|WIDTH\|HEIGHT\)=/\1=/p'; }
alive() { local state; state=$(ps -o stat= -p "$pexor") && [[ $state != Z* ]]; }

# The bar carries the title "Pexor" (the main window does too, but is never
# shown); the dialogs are found by their captions.
find_bar() {
  local w
  for w in $(xdotool search --onlyvisible --name '^Pexor$' 2>/dev/null); do
    eval "$(geometry "$w")"
    if [ "$WIDTH" -ge 100 ] && [ "$HEIGHT" -lt 60 ]; then bar=$w; return 0; fi
  done
  return 1
}
find_named() {
  local w
  for w in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do win=$w; return 0; done
  return 1
}
gone() { ! find_named "$1"; }
# Menus and dropped lists are windows of the program without a title (their
# Windows class does not show under X); the tooltips, also untitled, are lower.
find_popup() {
  local w
  for w in $(xdotool search --onlyvisible --class '^pexor\.exe$' 2>/dev/null); do
    if [ -z "$(xdotool getwindowname "$w")" ]; then
      eval "$(geometry "$w")"
      if [ "$HEIGHT" -ge 40 ]; then popup=$w; return 0; fi
    fi
  done
  return 1
}
no_popup() { ! find_popup; }
crop() {
  eval "$(geometry "$2")"
  convert "$dir/shot-$1.png" -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$dir/$1.png"
}

# Both dialogs use 8-point "MS Sans Serif": a dialog unit is 6/4 pixels wide
# and 13/8 pixels high, and Wine draws a 3-pixel frame around the client
# area. click_in WINDOW HEIGHT X Y clicks the point X,Y (dialog units) of a
# dialog whose client area is HEIGHT units high, counted from its bottom
# edge, so that the caption's height does not matter.
FRAME=3
dialog_width() {  # fails when the font, and so every position, is not as assumed
  eval "$(geometry "$1")"
  [ "$WIDTH" = $((2 * FRAME + $2 * 6 / 4)) ] ||
    fail "the dialog is $WIDTH pixels wide, not $((2 * FRAME + $2 * 6 / 4)): another dialog font"
}
click_in() {
  eval "$(geometry "$1")"
  xdotool mousemove $((X + FRAME + $3 * 6 / 4)) $((Y + HEIGHT - FRAME - ($2 - $4) * 13 / 8)) click 1
}
point_aside() { xdotool mousemove 1000 750; }

# Right click into the bar, then a click on item $1 of the menu: 0
# Eigenschaften, 1 Historie löschen, 2 MS-DOS-Eingabeaufforderung, 3 Info,
# 4 Beenden. The five items are equally high; a separator of 9 pixels lies
# between the third and the fourth, all inside a 3-pixel frame.
menu_pick() {
  find_bar || fail "the bar is gone"
  eval "$(geometry "$bar")"
  xdotool mousemove $((X + WIDTH - 60)) $((Y + HEIGHT / 2)) click 3
  wait_for "the menu" find_popup
  eval "$(geometry "$popup")"
  local row=$(((HEIGHT - 6 - 9) / 5)) y
  y=$((Y + 3 + row * $1 + row / 2 + ($1 >= 3 ? 9 : 0)))
  xdotool mousemove $((X + 40)) "$y"
  sleep 0.2
  xdotool click 1
  wait_for "the menu to close" no_popup
}

# Whether Windows counts a dialog as the active window shows in its caption:
# blue when active, grey otherwise. (The X focus is no witness: Wine's
# requests to move it carry estimated times, and X ignores some of them.)
active() {
  eval "$(geometry "$1")"
  local rgb
  rgb=$(import -display "$DISPLAY" -window root -crop "1x1+$((X + WIDTH - 40))+$((Y + 12))" -depth 8 txt:- |
    sed -n 's/^0,0: *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \3/p')
  set -- $rgb  # red, blue
  [ $# = 2 ] && [ "$2" -gt $(($1 + 60)) ]
}
inactive() { ! active "$1"; }
# Keys go where the X focus is; should it have fallen back to the root
# window, they go to the window under the pointer.
point_at() {
  eval "$(geometry "$1")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
}

# While a dialog is open, a right click on the bar (its grip, and its text
# field) brings the dialog to the front instead of opening a menu. The dialog
# must be in the background before: a left click into the field activates
# the bar.
right_click_raises() {
  local dialog=$1 left middle height target
  find_bar || fail "the bar is gone"
  eval "$(geometry "$bar")"
  left=$X middle=$((X + WIDTH / 2)) height=$((Y + HEIGHT / 2))
  for target in $((left + 4)) "$middle"; do
    xdotool mousemove "$middle" "$height" click 1
    wait_for "the bar to come to the front" inactive "$dialog"
    xdotool mousemove "$target" "$height" click 3
    wait_for "the dialog to come to the front" active "$dialog"
    sleep 0.3  # a menu would open right after the dialog came forward
    no_popup || fail "a right click on the bar at x=$target opened a menu while a dialog was open"
    active "$dialog" || fail "a right click on the bar at x=$target left the dialog in the background"
    xdotool search --onlyvisible --name '.' 2>/dev/null | grep -qx "$dialog" || fail "the dialog is gone"
  done
}

# The hotkey reaches the program while one of its windows has the X focus.
# Pressed over the open About box, Ctrl+Alt+P must activate the bar and so
# put the About box into the background.
hotkey_activates_bar() {
  local about=$1
  wait_for "the About box to be active" active "$about"
  point_at "$about"
  xdotool key ctrl+alt+p
  wait_for "Ctrl+Alt+P to activate the bar" inactive "$about"
}

# ------------------------------------------------------------------ set-up
cp "$exedir/pexor.exe" "$exedir/tests/win32/recorder.exe" "$dir/"
recorder=$(winpath "$dir/recorder.exe")
printf '[Setup]\r\nShell=%s\r\nTrayIcon=0\r\nSysStartup=0\r\n' "$recorder" >"$dir/pexor.ini"
# Ten lines, newest first; the properties will cut them to seven.
for i in 1 2 3 4 5 6 7 8 9 10; do printf 'zeile %s\r\n' "$i"; done >"$dir/pexor.his"
export PEXOR_RECORD
PEXOR_RECORD=$(winpath "$dir/record.txt")

# The properties write the Run key, and wineboot starts what the Run key
# names: the value this prefix had goes back at the end.
reg_value() {
  "$WINE64" reg query "$RUN_KEY" /v Pexor </dev/null >"$dir/reg.txt" 2>/dev/null || return 1
  tr -d '\r' <"$dir/reg.txt" | sed -n 's/^ *Pexor *REG_SZ *//p'
}
reg_delete() { "$WINE64" reg delete "$RUN_KEY" /v Pexor /f </dev/null >/dev/null 2>&1 || true; }
old_run_value=$(reg_value) && had_run_value=1 || had_run_value=0
reg_delete

pexor=
cleanup() {
  if [ -n "$pexor" ] && kill -0 "$pexor" 2>/dev/null; then kill "$pexor"; fi
  if [ "$had_run_value" = 1 ]; then
    "$WINE64" reg add "$RUN_KEY" /v Pexor /d "$old_run_value" /f </dev/null >/dev/null 2>&1 || true
  else
    reg_delete
  fi
}
trap cleanup EXIT

step "start"
( cd "$dir" && exec "$WINE64" ./pexor.exe ) </dev/null >"$dir/pexor.log" 2>&1 &
pexor=$!
wait_for "the command bar" find_bar
xdotool keyup Escape Return alt ctrl shift
eval "$(geometry "$bar")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1

step "Eigenschaften... opens the properties"
menu_pick 0
wait_for "the dialog \"$PROPERTIES\"" find_named "$PROPERTIES"
properties=$win
dialog_width "$properties" 220
wait_for "the properties to be active" active "$properties"

step "changed by hand: 7 entries, position not saved, Ctrl+Alt+P, start with Windows"
click_in "$properties" 263 195 53  # the number of entries
xdotool key End BackSpace BackSpace BackSpace
xdotool type 7
click_in "$properties" 263 40 167  # "Position des Kommandofensters speichern"
click_in "$properties" 263 40 230  # "Pexor bei jedem Systemstart automatisch aktivieren."
click_in "$properties" 263 150 35  # the hotkey list drops down
wait_for "the hotkey list" find_popup
# "keine", then A, B, ...: P is 16 rows further down.
xdotool key --repeat 16 Down
xdotool key Return
wait_for "the hotkey list to close" no_popup
point_aside
sleep 0.3  # the list's place is painted over after it closes
shot properties
crop properties "$properties"

step "a right click on the bar brings the open properties to the front"
right_click_raises "$properties"

step "OK stores every setting and applies them"
click_in "$properties" 263 135 249
wait_for "the properties to close" gone "$PROPERTIES"
for pair in "Shell=$recorder" BaseDir='c:\' CheckInternal=1 DirectExecute=0 Exit=1 Top=1 Save=0 \
  CheckAlias=1 AliasFile='c:\autoexec.bat' SaveHistory=1 MaxHistory=7 Tooltips=1 Hotkey=80 \
  AutoHide=0 AutoHideDelay=5 TrayIcon=0 SysStartup=1; do
  key=${pair%%=*} value=${pair#*=}
  [ "$(ini Setup "$key")" = "$value" ] || fail "[Setup] $key=|$(ini Setup "$key")|, not |$value|"
done
trimmed() { [ "$(history)" = "$(printf 'zeile %s\n' 1 2 3 4 5 6 7)" ]; }
wait_for "the history cut to 7 lines" trimmed
[ "$(reg_value | tr 'A-Z' 'a-z')" = "$(winpath "$dir/pexor.exe" | tr 'A-Z' 'a-z')" ] ||
  fail "Run key value |$(reg_value)|"

step "Info... opens the About box"
menu_pick 3
wait_for "the About box \"$ABOUT\"" find_named "$ABOUT"
about=$win
dialog_width "$about" 208
wait_for "the About box to be active" active "$about"
point_aside
sleep 0.3
shot about
crop about "$about"

step "the hotkey chosen in the properties works"
hotkey_activates_bar "$about"

step "a right click on the bar brings the open About box to the front; Escape closes it"
right_click_raises "$about"
point_at "$about"
xdotool key Escape
wait_for "the About box to close" gone "$ABOUT"
find_bar || fail "the bar went with the About box"
alive || fail "pexor.exe ended with the About box"

step "Abbrechen changes nothing"
cp "$dir/pexor.ini" "$dir/pexor.ini.before"
cp "$dir/pexor.his" "$dir/pexor.his.before"
menu_pick 0
wait_for "the dialog \"$PROPERTIES\"" find_named "$PROPERTIES"
properties=$win
wait_for "the properties to be active" active "$properties"
click_in "$properties" 263 195 53
xdotool key End BackSpace BackSpace BackSpace
xdotool type 3
click_in "$properties" 263 40 167
click_in "$properties" 263 40 230
click_in "$properties" 263 188 249  # Abbrechen
wait_for "the properties to close" gone "$PROPERTIES"

step "after Abbrechen the hotkey works again (it is off while the properties are open)"
menu_pick 3
wait_for "the About box \"$ABOUT\"" find_named "$ABOUT"
about=$win
hotkey_activates_bar "$about"
# The bar has opened the About box since, so it is done with the properties:
# the settings, the history and the Run key are as they were.
cmp -s "$dir/pexor.ini" "$dir/pexor.ini.before" ||
  fail "Abbrechen changed pexor.ini: $(diff "$dir/pexor.ini.before" "$dir/pexor.ini" | tr -d '\r')"
cmp -s "$dir/pexor.his" "$dir/pexor.his.before" || fail "Abbrechen changed pexor.his: |$(history)|"
[ "$(reg_value | tr 'A-Z' 'a-z')" = "$(winpath "$dir/pexor.exe" | tr 'A-Z' 'a-z')" ] ||
  fail "Abbrechen changed the Run key: |$(reg_value)|"

step "the About box's OK button closes it"
click_in "$about" 175 103 160
wait_for "the About box to close" gone "$ABOUT"
find_bar || fail "the bar went with the About box"
alive || fail "pexor.exe ended with the About box"

step "MS-DOS-Eingabeaufforderung starts the shell program without parameters"
menu_pick 2
wait_for "the shell program" has_records 1
[ "$(last_cmdline)" = "\"$recorder\"" ] || fail "the shell program started as |$(last_cmdline)|"

step "Historie löschen asks, and Yes (Enter) empties the history file"
menu_pick 1
wait_for "the question" find_named 'Pexor - Frage'
point_at "$win"
xdotool key Return
wait_for "the history file to be emptied" test ! -s "$dir/pexor.his"
wait_for "the question to close" gone 'Pexor - Frage'

step "Beenden ends the program"
menu_pick 4
# Until the script waits for it, an ended child stays behind as a zombie.
ended() { ! alive; }
wait_for "pexor.exe to end" ended
wait "$pexor" || fail "pexor.exe ended with $?"
pexor=
[ "$(records)" = 1 ] || fail "$(records) programs started, 1 expected"
echo "dialogs: all checks passed"
