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
#   ends, and a second start reads them (the time limit the pupil set);
#   a save while another program holds the writers' lock leaves the
#   window answering, then reports "Unable to write to" and loses nothing.
# Needs DISPLAY (an X server with no other program's windows) and the Wine
# prefix of windows/wine-run.sh. Leaves screenshots in $SHOTS if set.
#
# Usage: tests/windows/pupil_run.sh path/to/kobaltfa.exe
set -euo pipefail
exe=$1
build=$(cd "$(dirname "$exe")" && pwd)
here=$(cd "$(dirname "$0")/../.." && pwd)
. "$here/tests/windows/drive.sh"

work=$(mktemp -d /tmp/kobaltfa-pupil.XXXXXX)
trap 'stop_program; rm -rf "$work"' EXIT
cp "$exe" "$work/kobaltfa.exe"
export PULSE_SERVER=unix:$work/no-sound-server
start_program "$work/kobaltfa.exe"

main=$(wait_window '^Kobaltfa$')
shot "$main" main
# Wine's sound driver finds no server (PULSE_SERVER names none), so
# the program has no audio device: it is silent and says nothing of it.
sleep 1
check "no sound device, no message" "$(xdotool search --onlyvisible --name '^Kobaltfa$' | wc -l)" "1"
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

# Another program holds the writers' lock when the window closes: the save
# waits for it in the background while the pupil goes on, then the program
# says "Unable to write to" the file, which stays as it was.
(cd "$work" && exec "$here/windows/wine-run.sh" "$build/tests/hold_lock.exe" kobaltfa.ini.lock >"$work/held" 2>/dev/null) &
holder=$!
for _ in $(seq 100); do grep -q held "$work/held" && break; sleep 0.1; done
before=$(md5sum < "$ini")
closed=$(date +%s%N)
click "$add" 320 268
wait_gone "$add"
xdotool key space
add=$(wait_window 'Összeadás')
xdotool type 0
xdotool key Return
answered=$(( ($(date +%s%N) - closed) / 1000000 ))
refusal=$(wait_window '^Kobaltfa$' "$main")
waited=$(( ($(date +%s%N) - closed) / 1000000 ))
check "the window answered ($answered ms after the close) before the refusal came ($waited ms)" \
    "$([ "$answered" -lt "$waited" ] && [ "$waited" -ge 1800 ] && echo yes)" "yes"
shot "$refusal" refused-write
check "it says so" "$(import -window "$refusal" png:- | convert png:- -resize 200% png:- | tesseract - - --psm 6 2>/dev/null \
    | grep -o 'Unable to write to' | head -n 1)" "Unable to write to"
xdotool key Return
wait_gone "$refusal"
counts=$(read_counters "$add")
check "the answer given meanwhile was judged" "$(echo "$counts" | sed -n 2,3p | awk '{n += $1} END {print n}')" "1"
check "the file is as it was" "$(md5sum < "$ini")" "$before"
kill "$holder" 2>/dev/null; wait "$holder" 2>/dev/null || true
stop_program
summary
