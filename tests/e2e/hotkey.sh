#!/usr/bin/env bash
# The hotkey on a German keyboard, where AltGr is Strg+Alt: Strg+Alt+Q would take AltGr+Q's @ from every
# program, so OK asks first; F12, keine, the key in use and a US keyboard do not. Screenshot: question.png.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
xkbcomp "$DISPLAY" "$dir/keymap.xkb" 2>/dev/null  # Wine reads the keyboard map when a program starts
trap 'xkbcomp "$dir/keymap.xkb" "$DISPLAY" 2>/dev/null; cleanup' EXIT
Q=$(printf ' Down%.0s' $(seq 17))  # from keine
ok_with() { open_dialog 0 'Pexor - Eigenschaften' 220; properties=$win; xdotool key Tab "$@" Return; }  # list KEYS
asked() {  # answered with the key $1, after a screenshot
  wait_for "the question" find_named 'Pexor - Frage'; shot question 10 "$win"; point_at "$win"; xdotool key "$1"; }
stored() { wait_for "the properties to close" gone 'Pexor - Eigenschaften'; expect Hotkey "$(ini Setup Hotkey)" "$1"; }

printf '[Setup]\r\nShell=%s\r\nTrayIcon=0\r\nSysStartup=0\r\n' "$recorder" >"$dir/pexor.ini"
step "US keyboard: Strg+Alt+Q asks nothing"
start_pexor
ok_with $Q
stored 81
quit_by_menu

step "German keyboard: keine and the key from pexor.ini ask nothing; Strg+Alt+Q asks, Nein stores nothing"
setxkbmap -display "$DISPLAY" de
start_pexor
ok_with
stored 81
ok_with Home
stored 0
ok_with $Q Tab  # OK from the next field
asked n
wait_for "the properties to be active" active "$properties"
expect "Hotkey after Nein" "$(ini Setup Hotkey)" 0
xdotool key End Return  # F12, if Nein left the focus in the list
stored 123

step "Ja stores Strg+Alt+Q and registers it"
ok_with Home $Q
asked Return
stored 81
open_dialog 3 'Pexor V1.16' 208
hotkey_activates_bar "$win" q
echo "hotkey: all checks passed"
