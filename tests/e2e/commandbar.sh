#!/usr/bin/env bash
# The command bar used the way a person uses it: the real pexor.exe (a copy
# of its own with its own settings file) on the test display, driven with
# xdotool. Checks what can be checked outside the program: how the recorder
# was started, the history file, the settings file, the Run key and the
# process itself; screenshots of the bar, its list and its menu are left in
# $PEXOR_E2E_DIR (bar.png, history.png, menu.png, cropped; shot-*.png whole).
#
# Changes of directory show in the current directory the recorder reports:
# a start directory and a handed-over one as long as they can be (259
# characters), a macro whose body is a cd line, and a macro named cd that
# must not get hold of the program's own changes of directory.
#
# Files are dropped the way a file manager drops them: xdnd_drop.py speaks
# the X drag-and-drop protocol, which Wine turns into WM_DROPFILES.
set -euo pipefail

: "${PEXOR_E2E_DIR:?}" "${PEXOR_EXE_DIR:?}" "${WINE64:?}" "${DISPLAY:?}"
dir=$(realpath "$PEXOR_E2E_DIR")
exedir=$(realpath "$PEXOR_EXE_DIR")
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

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

records() { cat "$dir/record.txt" 2>/dev/null | grep -c '^end$' || true; }
has_records() { [ "$(records)" -ge "$1" ]; }
last_cmdline() { grep '^cmdline=' "$dir/record.txt" | tail -n 1 | cut -d= -f2- | tr -d '\r'; }
last_cwd() { grep '^cwd=' "$dir/record.txt" | tail -n 1 | cut -d= -f2- | tr -d '\r' | tr 'A-Z' 'a-z'; }
history() { tr -d '\r' <"$dir/pexor.his"; }
ini() { tr -d '\r' <"$dir/pexor.ini" | sed -n "/^\[$1\]/,/^\[/s/^$2=//p"; }
shot() { import -display "$DISPLAY" -window root "$dir/shot-$1.png"; }

# Windows of the program: the bar carries the title "Pexor" (the main window
# does too, but is never shown); the open list and the menu have no title.
geometry() { xdotool getwindowgeometry --shell "$1" | sed -n 's/^\(X\|Y\|WIDTH\|HEIGHT\)=/\1=/p'; }
find_bar() {
  local w
  for w in $(xdotool search --onlyvisible --name '^Pexor$' 2>/dev/null); do
    eval "$(geometry "$w")"
    if [ "$WIDTH" -ge 100 ] && [ "$HEIGHT" -lt 60 ]; then bar=$w; return 0; fi
  done
  return 1
}
find_popup() {
  local w
  for w in $(xdotool search --onlyvisible --class '^pexor\.exe$' 2>/dev/null); do
    if [ -z "$(xdotool getwindowname "$w")" ]; then
      eval "$(geometry "$w")"
      # The tooltip has no title either, but is lower than list and menu.
      if [ "$HEIGHT" -ge 40 ]; then popup=$w; return 0; fi
    fi
  done
  return 1
}
no_popup() { ! find_popup; }
# Crops shot-$1.png to the bar and, if given, a second window.
crop() {
  local name=$1 x0 y0 x1 y1
  eval "$(geometry "$bar")"
  x0=$X y0=$Y x1=$((X + WIDTH)) y1=$((Y + HEIGHT))
  if [ $# -gt 1 ]; then
    eval "$(geometry "$2")"
    x0=$((X < x0 ? X : x0)) y0=$((Y < y0 ? Y : y0))
    x1=$((X + WIDTH > x1 ? X + WIDTH : x1)) y1=$((Y + HEIGHT > y1 ? Y + HEIGHT : y1))
  fi
  x0=$((x0 > 4 ? x0 - 4 : 0)) y0=$((y0 > 4 ? y0 - 4 : 0))
  convert "$dir/shot-$name.png" -crop "$((x1 - x0 + 4))x$((y1 - y0 + 4))+$x0+$y0" +repage "$dir/$name.png"
}

# ------------------------------------------------------------------ set-up
here=$(dirname "$(realpath "${BASH_SOURCE[0]}")")
cp "$exedir/pexor.exe" "$exedir/tests/win32/recorder.exe" "$dir/"
cp "$dir/recorder.exe" "$dir/second.exe"
recorder=$(winpath "$dir/recorder.exe")
# A name of 259 characters for the folder $1 in $dir: "." steps pad it, and
# its end is what a cut would lose.
long_path() {
  local path name=$1
  path="$(winpath "$dir")\\"
  if [ $(( (259 - ${#path} - ${#name}) % 2 )) = 1 ]; then path+='x\..\'; fi
  while [ $(( ${#path} + ${#name} )) -lt 259 ]; do path+='.\'; done
  printf '%s' "$path$name"
}
mkdir -p "$dir/Start" "$dir/Mit Leerzeichen" "$dir/Uebergeben"
start_dir=$(long_path Start)
printf 'doskey go=cd "%s"\r\ndoskey cd=%s macro $*\r\n' "$(winpath "$dir/Mit Leerzeichen")" "$recorder" \
  >"$dir/alias.bat"
printf '[Setup]\r\nShell=%s\r\nTrayIcon=0\r\nSysStartup=1\r\nCheckAlias=1\r\nAliasFile=%s\r\n' \
  "$recorder" "$(winpath "$dir/alias.bat")" >"$dir/pexor.ini"
export PEXOR_RECORD
PEXOR_RECORD=$(winpath "$dir/record.txt")

# SysStartup=1 writes the Run key, and wineboot starts what the Run key
# names: the value this prefix had goes back at the end.
reg_value() {
  "$WINE64" reg query "$RUN_KEY" /v Pexor </dev/null >"$dir/reg.txt" 2>/dev/null || return 1
  tr -d '\r' <"$dir/reg.txt" | sed -n 's/^ *Pexor *REG_SZ *//p'
}
old_run_value=$(reg_value) && had_run_value=1 || had_run_value=0

pexor=
cleanup() {
  if [ -n "$pexor" ] && kill -0 "$pexor" 2>/dev/null; then kill "$pexor"; fi
  if [ "$had_run_value" = 1 ]; then
    "$WINE64" reg add "$RUN_KEY" /v Pexor /d "$old_run_value" /f </dev/null >/dev/null 2>&1 || true
  else
    "$WINE64" reg delete "$RUN_KEY" /v Pexor /f </dev/null >/dev/null 2>&1 || true
  fi
}
trap cleanup EXIT

step "start"
( cd "$dir" && exec "$WINE64" ./pexor.exe -p "$start_dir" ) </dev/null >"$dir/pexor.log" 2>&1 &
pexor=$!
wait_for "the command bar" find_bar
xdotool keyup Escape Return F7 F8 alt ctrl shift
eval "$(geometry "$bar")"
[ "$X,$Y,$WIDTH" = "10,10,200" ] || fail "bar at $X,$Y width $WIDTH, not at 10,10 width 200"
# The pointer onto the edit field and a click: the bar has the keyboard.
# Then the pointer goes aside, so that no tooltip covers the screenshots.
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
xdotool mousemove 700 600

step "Run key"
[ "$(reg_value | tr 'A-Z' 'a-z')" = "$(winpath "$dir/pexor.exe" | tr 'A-Z' 'a-z')" ] ||
  fail "Run key value |$(reg_value)|"

step "a typed line starts its program and goes into the history"
xdotool type --delay 5 "$recorder eins zwei"
xdotool key Return
wait_for "the recorder" has_records 1
[ "$(last_cmdline)" = "\"$recorder\" eins zwei" ] || fail "recorder started as |$(last_cmdline)|"
[ "$(cat "$dir/pexor.his")" = "$recorder eins zwei"$'\r' ] || fail "history file |$(cat -A "$dir/pexor.his")|"
# The start directory whole, and not through the macro named cd (it would
# have started the recorder first).
[ "$(last_cwd)" = "$(winpath "$dir/Start" | tr 'A-Z' 'a-z')" ] || fail "started in |$(last_cwd)|"
[ "$(records)" = 1 ] || fail "$(records) programs started, 1 expected"

step "built-in commands run through the shell program"
n=1
# A command word alone is passed on with a blank after it.
for line in 'dir a|/c dir a' 'cls|/c cls ' 'dir b|/c dir b'; do
  xdotool type --delay 5 "${line%|*}"
  xdotool key Return
  n=$((n + 1))
  wait_for "|${line%|*}|" has_records $n
  [ "$(last_cmdline)" = "\"$recorder\"  ${line#*|}" ] || fail "|${line%|*}| ran as |$(last_cmdline)|"
done
expected=$(printf '%s\n' 'dir b' 'cls' 'dir a' "$recorder eins zwei")
[ "$(history)" = "$expected" ] || fail "history |$(history)|"

step "F7 opens the list"
xdotool key F7
wait_for "the open list" find_popup
sleep 0.3  # the list paints after it is mapped
shot history
crop history "$popup"
xdotool key Escape
wait_for "the list to close" no_popup

step "F8 twice finds the second line beginning with di; Enter runs it"
xdotool type --delay 5 'di'
xdotool key F8 F8
sleep 0.3
shot bar
crop bar
xdotool key Return
wait_for "the found line" has_records 5
[ "$(last_cmdline)" = "\"$recorder\"  /c dir a" ] || fail "F8 F8 Enter ran |$(last_cmdline)|"
[ "$(history | head -n 1)" = "dir a" ] || fail "history |$(history)|"

step "on a full disk the history file stays as it was, and the user is told"
# The new copy of the file is written first; here it lands on /dev/full.
before=$(history)
ln -s /dev/full "$dir/pexor.his.new"
xdotool type --delay 5 'cls'
xdotool key Return
wait_for "cls" has_records 6
error_box() { xdotool search --onlyvisible --name '^Pexor - Fehler$' >/dev/null 2>&1; }
no_error_box() { ! error_box; }
wait_for "the message" error_box
shot full-disk
xdotool key Return
wait_for "the message to close" no_error_box
[ "$(history)" = "$before" ] || fail "history after a full disk |$(history)|"
rm -f "$dir/pexor.his.new"  # Wine does not delete a link to a device

step "Alt+F7 asks, and Yes (Enter) empties the history file"
xdotool key alt+F7
question() { xdotool search --onlyvisible --name '^Pexor - Frage$' >/dev/null 2>&1; }
no_question() { ! question; }
wait_for "the question" question
shot question
# Enter answers with the default button, the first one: "Ja" on a German
# Windows, "Yes" under Wine in this locale.
xdotool key Return
wait_for "the history file to be emptied" test ! -s "$dir/pexor.his"
wait_for "the question to close" no_question

step "of two files dropped on the bar only the first runs"
eval "$(geometry "$bar")"
python3 "$here/xdnd_drop.py" "$bar" $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) "$dir/recorder.exe" "$dir/second.exe" ||
  fail "the drop was not taken"
wait_for "the dropped file" has_records 7
[ "$(last_cmdline)" = "\"$recorder\"" ] || fail "the drop ran |$(last_cmdline)|"
dropped() { [ "$(history)" = "$recorder" ]; }
wait_for "the dropped file in the history" dropped
[ "$(records)" = 7 ] || fail "$(records) programs started, 7 expected"

step "right click opens the menu"
eval "$(geometry "$bar")"
xdotool mousemove $((X + WIDTH - 60)) $((Y + HEIGHT / 2)) click 3
wait_for "the menu" find_popup
sleep 0.3
shot menu
crop menu "$popup"
xdotool key Escape
wait_for "the menu to close" no_popup

step "dragging the grip moves the bar and stores its place"
[ "$(ini Geometry Left),$(ini Geometry Top)" = "10,10" ] ||
  fail "placement stored |$(ini Geometry Left),$(ini Geometry Top)|"
eval "$(geometry "$bar")"
xdotool mousemove $((X + 4)) $((Y + HEIGHT / 2)) mousedown 1
for i in 1 2 3 4; do xdotool mousemove $((X + 4 + 25 * i)) $((Y + HEIGHT / 2 + 50 * i)); sleep 0.05; done
xdotool mouseup 1
moved() { [ "$(ini Geometry Left),$(ini Geometry Top)" = "110,210" ]; }
wait_for "Left=110 and Top=210 in pexor.ini" moved
eval "$(geometry "$bar")"
[ "$X,$Y" = "110,210" ] || fail "bar at $X,$Y after the drag"

step "a macro whose body is a cd line changes the directory"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
xdotool type --delay 5 'go'
xdotool key Return
xdotool type --delay 5 "$recorder sieben"
xdotool key Return
wait_for "the recorder" has_records 8
[ "$(last_cwd)" = "$(winpath "$dir/Mit Leerzeichen" | tr 'A-Z' 'a-z')" ] || fail "go went to |$(last_cwd)|"

step "a second start hands over a directory of 259 characters"
( cd "$dir" && "$WINE64" ./pexor.exe -p "$(long_path Uebergeben)" ) </dev/null >/dev/null 2>&1 ||
  fail "the second start ended with $?"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
xdotool type --delay 5 "$recorder acht"
xdotool key Return
wait_for "the recorder" has_records 9
[ "$(last_cwd)" = "$(winpath "$dir/Uebergeben" | tr 'A-Z' 'a-z')" ] || fail "handed over |$(last_cwd)|"
[ "$(records)" = 9 ] || fail "$(records) programs started, 9 expected"

step "the menu item Beenden ends the program"
xdotool mousemove $((X + WIDTH - 60)) $((Y + HEIGHT / 2)) click 3
wait_for "the menu" find_popup
eval "$(geometry "$popup")"
# Beenden is the last item.
xdotool mousemove $((X + 30)) $((Y + HEIGHT - 10))
sleep 0.2
xdotool click 1
# Until the script waits for it, an ended child stays behind as a zombie.
ended() { local state; state=$(ps -o stat= -p "$pexor") || return 0; [[ $state == Z* ]]; }
wait_for "pexor.exe to end" ended
wait "$pexor" || fail "pexor.exe ended with $?"
pexor=
echo "commandbar: all checks passed"
