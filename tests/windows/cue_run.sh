#!/bin/bash
# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The start cue of the real kobaltfa.exe under Wine, through Wine's
# PulseAudio driver into a private server's null sink, recorded from its
# monitor: "Hello" is heard at the start, for its whole length.
# Needs DISPLAY and the Wine prefix of windows/wine-run.sh.
#
# Usage: tests/windows/cue_run.sh path/to/kobaltfa.exe
set -euo pipefail
exe=$1
here=$(cd "$(dirname "$0")/../.." && pwd)
. "$here/tests/windows/drive.sh"

work=$(mktemp -d /tmp/kobaltfa-cues.XXXXXX)
pulse=
recorder=
finish() {
    stop_program
    [ -n "$recorder" ] && kill "$recorder" 2>/dev/null
    [ -n "$pulse" ] && kill "$pulse" 2>/dev/null && wait "$pulse" 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT
mkdir -m 700 "$work/run"
export XDG_RUNTIME_DIR=$work/run PULSE_RUNTIME_PATH=$work/run/pulse PULSE_SERVER=unix:$work/run/pulse/native
pulseaudio --system=false --daemonize=no --exit-idle-time=-1 -n --use-pid-file=false \
    -L "module-null-sink sink_name=cues rate=44100" -L module-native-protocol-unix >"$work/pulse.log" 2>&1 &
pulse=$!
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.05; done
pactl set-default-sink cues
parec --device=cues.monitor --raw --format=s16le --rate=44100 --channels=1 --latency-msec=5 >"$work/rec.raw" &
recorder=$!
# The recorder is taking the monitor's samples before the program starts.
for _ in $(seq 100); do [ -s "$work/rec.raw" ] && break; sleep 0.05; done

cp "$exe" "$work/kobaltfa.exe"
start_program "$work/kobaltfa.exe"
main=$(wait_window '^Kobaltfa$')
sleep 2  # "Hello" to its end
stop_program
kill "$recorder"; recorder=
[ -n "${KEEP_RECORDING:-}" ] && cp "$work/rec.raw" "$KEEP_RECORDING"

/usr/bin/python3 - "$work/rec.raw" "$here/resources/sounds/HELLO.wav" <<'PY'
import sys, wave
import numpy as np
rec = np.fromfile(sys.argv[1], dtype='<i2').astype(float)
w = wave.open(sys.argv[2])
hello = np.frombuffer(w.readframes(w.getnframes()), dtype='<i2').astype(float)
# Loudness in 10 ms steps; the cue is the first run of sound in the
# recording, and it must last as long as the clip's own sound.
def sounding(x):
    env = np.sqrt(np.convolve(x ** 2, np.ones(441) / 441, 'same'))[::441]
    loud = np.nonzero(env > 300)[0]
    return (loud[0], loud[-1] + 1) if len(loud) else (0, 0)
clip_on, clip_off = sounding(hello)
rec_on, rec_off = sounding(rec[:3 * 44100])
heard, expected = (rec_off - rec_on) * 10, (clip_off - clip_on) * 10
good = rec_off > rec_on and abs(heard - expected) <= 100
print(('ok: ' if good else 'FAILED: ') + f'"Hello" heard at the start for {heard} ms (the clip sounds {expected} ms)')
sys.exit(0 if good else 1)
PY
