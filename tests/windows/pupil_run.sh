#!/bin/bash
# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The real kobaltfa.exe under Wine, on Qt's windows platform, driven as a
# pupil drives it, with keyboard and mouse (xdotool) and read off the
# screen (tesseract reads the question and the counters):
#   open addition, give a right and a wrong answer, check the counters and
#   the percentage, go back to the main window, leave with "Igen";
#   then kobaltfa.ini beside the exe holds the run's values with CRLF line
#   ends, and a second start reads them (the time limit the pupil set).
# Needs DISPLAY (an X server with no other program's windows) and the Wine
# prefix of windows/wine-run.sh. Leaves screenshots in $SHOTS if set.
#
# Usage: tests/windows/pupil_run.sh path/to/kobaltfa.exe
set -euo pipefail
exe=$1
here=$(cd "$(dirname "$0")/../.." && pwd)
. "$here/tests/windows/drive.sh"

work=$(mktemp -d /tmp/kobaltfa-pupil.XXXXXX)
trap 'stop_program; rm -rf "$work"' EXIT
cp "$exe" "$work/kobaltfa.exe"
start_program "$work/kobaltfa.exe"

main=$(wait_window '^Kobaltfa$')
shot "$main" main
# The first menu button ("Összeadás") has the focus.
xdotool key space
add=$(wait_window 'Összeadás')
shot "$add" addition
q=$(read_question "$add")
right=$(( ${q%+*} + ${q#*+} ))
answer "$add" "$right"
q=$(read_question "$add")
answer "$add" $(( ${q%+*} + ${q#*+} + 1 ))
counts=$(read_counters "$add")
shot "$add" answered
check "the counters after a right and a wrong answer" "$(echo "$counts" | sed -n 2,3p | tr '\n' ' ')" "1 1 "
check "the percentage" "$(read_percentage "$add")" "50%"

# Back with the window's own button, then leave with "Igen".
click "$add" 320 268
wait_gone "$add"
main=$(wait_window '^Kobaltfa$')
click "$main" 597 84
dialog=$(wait_window 'Megerősítés')
shot "$dialog" exit-question
xdotool key alt+i
wait_exit

ini=$work/kobaltfa.ini
check "the settings file beside the exe" "$([ -f "$ini" ] && echo yes)" "yes"
check "its lines end in CRLF" "$(grep -c $'\r$' "$ini")" "$(wc -l < "$ini")"
check "the skin is stored" "$(grep -a '^SkinName=' "$ini" | tr -d '\r')" "SkinName=Aluminium (internal)"
limit=$(awk '/^\[OsszeTimer\]/{s=1;next} /^\[/{s=0} s&&/^IdoScroll=/{sub(/\r/,"");sub(/IdoScroll=/,"");print}' "$ini")
check "the addition window's time limit is stored" "$([ -n "$limit" ] && echo yes)" "yes"

# A second start reads them: the stored time limit shows in the window.
sed -i "s/^IdoScroll=$limit\r\$/IdoScroll=77\r/" "$ini"
start_program "$work/kobaltfa.exe"
main=$(wait_window '^Kobaltfa$')
xdotool key space
add=$(wait_window 'Összeadás')
check "the second start reads the file" "$(read_time_limit "$add")" "77 mp"
shot "$add" second-start
stop_program
summary
