#!/usr/bin/env bash
# The command bar used the way a person uses it (see lib/common.sh). Screenshots: bar.png, history.png,
# menu.png. Changes of directory show in the recorder's current directory: a start directory and a
# handed-over one as long as they can be (259 characters), a macro whose body is a cd line, and a
# macro named cd that must not get hold of the program's own changes of directory.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

# A name of 259 characters for the folder $1 in $dir: "." steps pad it; a cut would lose its end.
long_path() {
  local path="$(winpath "$dir")\\"
  [ $(( (259 - ${#path} - ${#1}) % 2 )) = 0 ] || path+='x\..\'
  while [ $(( ${#path} + ${#1} )) -lt 259 ]; do path+='.\'; done
  printf '%s' "$path$1"
}
cwd_is() { expect "$1" "$(recorded cwd | lower)" "$(winpath "$dir/$2" | lower)"; }
n=0
ran() {  # the next program started has the command line $1, and no other started
  n=$((n + 1))
  wait_for "program start $n" has_records $n
  expect "command line of program start $n" "$(recorded cmdline)" "$1"
  expect "programs started" "$(records)" $n
}
mkdir -p "$dir/Start" "$dir/Mit Leerzeichen" "$dir/Uebergeben"
cp "$dir/recorder.exe" "$dir/second.exe"
printf 'doskey go=cd "%s"\r\ndoskey cd=%s macro $*\r\n' "$(winpath "$dir/Mit Leerzeichen")" "$recorder" \
  >"$dir/alias.bat"
printf '[Setup]\r\nShell=%s\r\nTrayIcon=0\r\nSysStartup=1\r\nCheckAlias=1\r\nAliasFile=%s\r\n' \
  "$recorder" "$(winpath "$dir/alias.bat")" >"$dir/pexor.ini"

step "start: the bar at its place, SysStartup=1 in the Run key"
start_pexor -p "$(long_path Start)"
geometry "$bar"
expect "the bar's place and width" "$X,$Y,$WIDTH" "10,10,200"
xdotool mousemove 700 600  # no tooltip over the screenshots
run_key_names_exe || fail "Run key value |$(reg_value)|"

step "a typed line starts its program in the start directory (whole, and not through the macro cd)"
type_line "$recorder eins zwei"
ran "\"$recorder\" eins zwei"
expect "the history file" "$(cat "$dir/pexor.his")" "$recorder eins zwei"$'\r'
cwd_is "started in" Start

step "built-in commands run through the shell program; a command word alone gets a blank after it"
for line in 'dir a|/c dir a' 'cls|/c cls ' 'dir b|/c dir b'; do
  type_line "${line%|*}"
  ran "\"$recorder\"  ${line#*|}"
done
expect "the history" "$(history)" "$(printf '%s\n' 'dir b' 'cls' 'dir a' "$recorder eins zwei")"

step "F7 opens the list"
xdotool key F7
wait_for "the open list" find_popup
sleep 0.3  # the list paints after it is mapped
shot history 4 "$bar" "$popup"
xdotool key Escape
wait_for "the list to close" no_popup

step "F8 twice finds the second line beginning with di; Enter runs it"
xdotool type --delay 5 'di'
xdotool key F8 F8
sleep 0.3
shot bar 4 "$bar"
xdotool key Return
ran "\"$recorder\"  /c dir a"
expect "the newest history line" "$(history | head -n 1)" "dir a"

step "on a full disk the history file stays as it was, and the user is told"
# The new copy of the file is written first; here it lands on /dev/full.
before=$(history)
ln -s /dev/full "$dir/pexor.his.new"
type_line 'cls'
ran "\"$recorder\"  /c cls "
wait_for "the message" find_named 'Pexor - Fehler'
xdotool key Return
wait_for "the message to close" gone 'Pexor - Fehler'
expect "the history after a full disk" "$(history)" "$before"
rm -f "$dir/pexor.his.new"  # Wine does not delete a link to a device

step "Alt+F7 asks, and No keeps the history (the menu's Yes empties it in dialogs.sh)"
xdotool key alt+F7
wait_for "the question" find_named 'Pexor - Frage'
xdotool key n  # "Nein" on a German Windows, "No" under Wine here
wait_for "the question to close" gone 'Pexor - Frage'
expect "the history after No" "$(history)" "$before"

step "of two files dropped on the bar (as by a file manager, see xdnd_drop.py) only the first runs"
geometry "$bar"
python3 "$here/xdnd_drop.py" "$bar" $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) "$dir/recorder.exe" "$dir/second.exe" ||
  fail "the drop was not taken"
ran "\"$recorder\""
wait_for "the dropped file in the history" eval '[ "$(history | head -n 1)" = "$recorder" ]'

step "right click opens the menu"
open_menu
sleep 0.3
shot menu 4 "$bar" "$popup"
xdotool key Escape
wait_for "the menu to close" no_popup

step "dragging the grip moves the bar and stores its place"
expect "placement stored" "$(ini Geometry Left),$(ini Geometry Top)" "10,10"
geometry "$bar"
xdotool mousemove $((X + 4)) $((Y + HEIGHT / 2)) mousedown 1
for i in 1 2 3 4; do xdotool mousemove $((X + 4 + 25 * i)) $((Y + HEIGHT / 2 + 50 * i)); sleep 0.05; done
xdotool mouseup 1
wait_for "Left=110 and Top=210 in pexor.ini" eval '[ "$(ini Geometry Left),$(ini Geometry Top)" = 110,210 ]'
geometry "$bar"
expect "the bar's place after the drag" "$X,$Y" "110,210"

step "a macro whose body is a cd line changes the directory"
click_bar
type_line 'go'
type_line "$recorder sieben"
ran "\"$recorder\" sieben"
cwd_is "go went to" "Mit Leerzeichen"

step "a second start hands over a directory of 259 characters"
( cd "$dir" && "$WINE64" ./pexor.exe -p "$(long_path Uebergeben)" ) </dev/null >/dev/null 2>&1 ||
  fail "the second start ended with $?"
click_bar
type_line "$recorder acht"
ran "\"$recorder\" acht"
cwd_is "handed over" Uebergeben

step "the menu item Beenden ends the program"
quit_by_menu
echo "commandbar: all checks passed"
