#!/usr/bin/env bash
# The properties dialog and the About box, opened from the bar's menu and used the way a person
# uses them (see lib/common.sh). Screenshots: properties.png, about.png.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
PROPERTIES='Pexor - Eigenschaften'
ABOUT='Pexor V1.16'

# click_in WINDOW HEIGHT X Y clicks the point X,Y (dialog units, see open_dialog) of a dialog whose
# client area is HEIGHT units high, counted from its bottom edge (the caption's height may vary).
click_in() {
  geometry "$1"
  xdotool mousemove $((X + FRAME + $3 * 6 / 4)) $((Y + HEIGHT - FRAME - ($2 - $4) * 13 / 8)) click 1
}
edit_properties() {  # the number of entries $1; "Position ... speichern" and "... Systemstart ..." flipped
  click_in "$win" 263 195 53
  xdotool key End BackSpace BackSpace BackSpace
  xdotool type "$1"
  click_in "$win" 263 40 167
  click_in "$win" 263 40 230
}

# While a dialog is open, a right click on the bar (grip, and text field) brings the dialog to the
# front instead of opening a menu; before it, a left click into the field puts the dialog behind.
right_click_raises() {
  local dialog=$1 target y
  find_bar || fail "the bar is gone"
  y=$((Y + HEIGHT / 2))
  for target in $((X + 4)) $((X + WIDTH / 2)); do
    click_bar
    wait_for "the bar to come to the front" inactive "$dialog"
    xdotool mousemove "$target" "$y" click 3
    wait_for "the dialog to come to the front" active "$dialog"
    sleep 0.3  # a menu would open right after the dialog came forward
    no_popup || fail "a right click on the bar at x=$target opened a menu while a dialog was open"
    active "$dialog" || fail "a right click on the bar at x=$target left the dialog in the background"
    xdotool search --onlyvisible --name '.' 2>/dev/null | grep -qx "$dialog" || fail "the dialog is gone"
  done
}

about_closed() {
  wait_for "the About box to close" gone "$ABOUT"
  find_bar || fail "the bar went with the About box"
  alive || fail "pexor.exe ended with the About box"
}

printf '[Setup]\r\nShell=%s\r\nTrayIcon=0\r\nSysStartup=0\r\n' "$recorder" >"$dir/pexor.ini"
printf 'zeile %s\r\n' 1 2 3 4 5 6 7 8 9 10 >"$dir/pexor.his"  # to be cut to 7
reg_quiet delete "$RUN_KEY" /v Pexor /f

step "start; Eigenschaften... opens the properties"
start_pexor
open_dialog 0 "$PROPERTIES" 220
properties=$win

step "changed by hand: 7 entries, position not saved, Ctrl+Alt+P, start with Windows"
edit_properties 7
click_in "$properties" 263 150 35  # the hotkey list drops down
wait_for "the hotkey list" find_popup
# "keine", then A, B, ...: P is 16 rows further down.
xdotool key --repeat 16 Down
xdotool key Return
wait_for "the hotkey list to close" no_popup
xdotool mousemove 1000 750
sleep 0.3  # the list's place is painted over after it closes
shot properties 0 "$properties"

step "a right click on the bar brings the open properties to the front"
right_click_raises "$properties"

step "OK stores every setting and applies them"
click_in "$properties" 263 135 249
wait_for "the properties to close" gone "$PROPERTIES"
for pair in "Shell=$recorder" BaseDir='c:\' CheckInternal=1 DirectExecute=0 Exit=1 Top=1 Save=0 \
  CheckAlias=1 AliasFile='c:\autoexec.bat' SaveHistory=1 MaxHistory=7 Tooltips=1 Hotkey=80 \
  AutoHide=0 AutoHideDelay=5 TrayIcon=0 SysStartup=1; do
  expect "[Setup] ${pair%%=*}" "$(ini Setup "${pair%%=*}")" "${pair#*=}"
done
wait_for "the history cut to 7 lines" eval '[ "$(history)" = "$(printf "zeile %s\n" 1 2 3 4 5 6 7)" ]'
run_key_names_exe || fail "Run key value |$(reg_value)|"

step "Info... opens the About box"
open_dialog 3 "$ABOUT" 208
about=$win
xdotool mousemove 1000 750
sleep 0.3
shot about 0 "$about"

step "a right click on the bar brings the open About box to the front; Escape closes it"
right_click_raises "$about"
point_at "$about"
xdotool key Escape
about_closed

step "Abbrechen changes nothing"
for f in pexor.ini pexor.his; do cp "$dir/$f" "$dir/$f.before"; done
open_dialog 0 "$PROPERTIES" 220
edit_properties 3
click_in "$win" 263 188 249  # Abbrechen
wait_for "the properties to close" gone "$PROPERTIES"

step "Abbrechen left the files and the Run key as they were"
open_dialog 3 "$ABOUT" 208
about=$win
# The bar has opened the About box since, so it is done with the properties.
for f in pexor.ini pexor.his; do
  cmp -s "$dir/$f" "$dir/$f.before" || fail "Abbrechen changed $f: $(diff "$dir/$f.before" "$dir/$f" | tr -d '\r')"
done
run_key_names_exe || fail "Abbrechen changed the Run key: |$(reg_value)|"

step "the About box's OK button closes it"
click_in "$about" 175 103 160
about_closed

step "MS-DOS-Eingabeaufforderung starts the shell program without parameters"
menu_pick 2
wait_for "the shell program" has_records 1
expect "the shell program started as" "$(recorded cmdline)" "\"$recorder\""

step "Historie löschen asks, and Yes (Enter) empties the history file"
menu_pick 1
wait_for "the question" find_named 'Pexor - Frage'
point_at "$win"
xdotool key Return
wait_for "the history file to be emptied" test ! -s "$dir/pexor.his"
wait_for "the question to close" gone 'Pexor - Frage'

step "Beenden ends the program"
quit_by_menu
expect "programs started" "$(records)" 1
echo "dialogs: all checks passed"
