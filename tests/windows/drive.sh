# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Helpers to drive a Windows program under Wine on an X server as a person
# would, and to read its windows off the screen. Sourced by the scripts of
# tests/windows/.

passed=0 failed=0
program_pid=

start_program() {
    local exe=$1
    (cd "$(dirname "$exe")" && exec "$here/windows/wine-run.sh" "$(basename "$exe")" >/dev/null 2>&1) &
    program_pid=$!
}

stop_program() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    wineserver -k 2>/dev/null || true
    program_pid=
}

# Waits for the program to end by itself (at most 20 s).
wait_exit() {
    local i
    for i in $(seq 200); do kill -0 "$program_pid" 2>/dev/null || { program_pid=; return 0; }; sleep 0.1; done
    echo "the program did not end" >&2
    failed=$((failed + 1))
}

# The id of the visible window whose title matches (an extended regular
# expression), other than the windows given; waits up to 30 s.
wait_window() {
    local pattern=$1; shift
    local i w
    for i in $(seq 300); do
        for w in $(xdotool search --onlyvisible --name "$pattern" 2>/dev/null); do
            case " $* " in *" $w "*) continue ;; esac
            sleep 0.5  # painted
            echo "$w"; return 0
        done
        sleep 0.1
    done
    echo "no window '$pattern'" >&2
    return 1
}

wait_gone() {
    local i
    for i in $(seq 100); do
        xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$1" || return 0
        sleep 0.1
    done
}

# A click at a point of the window's client area.
click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
}

shot() {
    [ -n "${SHOTS:-}" ] || return 0
    mkdir -p "$SHOTS"
    import -window "$1" "$SHOTS/$2.png"
}

# Text in a rectangle of the window (WxH+X+Y), read with tesseract from
# the window enlarged three times; `chars` limits what it may read.
ocr() {
    local win=$1 rect=$2 chars=$3 psm=${4:-7}
    import -window "$win" png:- | convert png:- -crop "$rect" +repage -resize 300% png:- \
        | tesseract - - --psm "$psm" -c tessedit_char_whitelist="$chars" 2>/dev/null | sed '/^\s*$/d'
}

read_question() { ocr "$1" 300x80+100+40 '0123456789+'; }
read_counters() { ocr "$1" 60x100+400+125 '0123456789' 6; }
read_percentage() { ocr "$1" 250x24+195+225 '0123456789%'; }
read_time_limit() { ocr "$1" 60x20+622+22 '0123456789mp ' | sed 's/ *mp/ mp/'; }

# Types an answer into the focused answer field and presses Enter.
answer() {
    xdotool type "$2"
    xdotool key Return
    sleep 0.5
}

check() {
    if [ "$2" = "$3" ]; then
        passed=$((passed + 1)); echo "ok: $1"
    else
        failed=$((failed + 1)); echo "FAILED: $1: got '$2', expected '$3'"
    fi
}

summary() {
    echo "pupil_run: $passed passed, $failed failed"
    [ "$failed" = 0 ]
}
