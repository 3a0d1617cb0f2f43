#!/bin/bash
# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The start cue of the real kobaltfa.exe under Wine, through Wine's
# PulseAudio driver into a private server's null sink, recorded from its
# monitor: "Hello" is heard at the start, for its whole length; a second
# "LeaveMeAlone" started while the first plays cuts it off where it stands,
# with no silence between and no moment of both.
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
# The help window's background says "LeaveMeAlone"; a second click while it
# plays replaces it.
click "$main" 400 116
help=$(wait_window '^Brumbi kisiskolásoknak$')
sleep 0.5
click "$help" 300 456
sleep 0.4
click "$help" 300 456
sleep 1.5
stop_program
kill "$recorder"; recorder=
[ -n "${KEEP_RECORDING:-}" ] && cp "$work/rec.raw" "$KEEP_RECORDING"

/usr/bin/python3 - "$work/rec.raw" "$here/resources/sounds" <<'PY'
import sys, wave
import numpy as np
rec = np.fromfile(sys.argv[1], dtype='<i2').astype(float)
def clip(name):
    w = wave.open(f'{sys.argv[2]}/{name}.wav')
    return np.frombuffer(w.readframes(w.getnframes()), dtype='<i2').astype(float)
hello, alone = clip('HELLO'), clip('LEAVEMEALONE')
failed = 0
def report(good, text):
    global failed
    failed += not good
    print(('ok: ' if good else 'FAILED: ') + text)

# Loudness in 10 ms steps; the cue is the first run of sound in the
# recording, and it must last as long as the clip's own sound.
def envelope(x):
    return np.sqrt(np.convolve(x ** 2, np.ones(441) / 441, 'same'))[::441]
def sounding(x):
    loud = np.nonzero(envelope(x) > 300)[0]
    return (loud[0], loud[-1] + 1) if len(loud) else (0, 0)
clip_on, clip_off = sounding(hello)
rec_on, rec_off = sounding(rec[:3 * 44100])
heard, expected = (rec_off - rec_on) * 10, (clip_off - clip_on) * 10
report(rec_off > rec_on and abs(heard - expected) <= 100,
       f'"Hello" heard at the start for {heard} ms (the clip sounds {expected} ms)')

# The two "LeaveMeAlone"s: where the recording best matches the clip's
# first sound (the clip opens with its own silence), sample for sample.
lead = int(np.nonzero(alone)[0][0])
probe = alone[lead:lead + 44100 // 5]
n = 1 << (len(rec) + len(probe)).bit_length()
corr = np.fft.irfft(np.fft.rfft(rec, n) * np.conj(np.fft.rfft(probe, n)), n)[:len(rec) - len(probe) + 1]
energy = np.concatenate([[0], np.cumsum(rec ** 2)])
corr /= np.maximum(np.sqrt(energy[len(probe):] - energy[:-len(probe)]), 1000) * np.linalg.norm(probe)
starts = []
for i in np.argsort(corr)[::-1][:20000]:
    if corr[i] < 0.6 or len(starts) == 2: break
    if all(abs(i - s) > 4410 for s in starts): starts.append(int(i))
if len(starts) < 2:
    report(False, f'"LeaveMeAlone" heard {len(starts)} times, not twice')
    sys.exit(1)
t1, t2 = sorted(s - lead for s in starts)  # where each copy's samples begin
report(t2 - t1 < len(alone) - lead, f'the second click came {(t2 - t1) / 44.1:.0f} ms into the first "LeaveMeAlone"')
# The first copy must sound right up to where the second begins (no gap),
# and from there the recording is the second copy alone (no overlap): the
# sum of both, or silence where the first still sounds, is a fault. A lone
# dropout of a few ms on a busy machine is the sound server's, not the
# player's: one 10 ms step of either is let pass.
span = np.arange(t1, min(t2 + len(alone), len(rec)))
first = np.where(span - t1 < len(alone), alone[np.minimum(span - t1, len(alone) - 1)], 0)
second = np.where(span >= t2, alone[np.clip(span - t2, 0, len(alone) - 1)], 0)
before, after = span < t2, span >= t2
heard = rec[span]
steps = lambda mask: [mask[i:i + 441] for i in range(0, len(mask), 441)]
def count(sel, fault):
    return sum(1 for s, f in zip(steps(sel), steps(fault)) if s.all() and f.mean() > 0.5)
loud_first = np.abs(first) > 1000
gap = count(before, (np.abs(heard) < 64) & loud_first)
overlap = count(after, (np.abs(heard - first - second) <= 64) & loud_first)
matched = np.mean(np.abs(heard[after] - second[after]) <= 64)
report(gap <= 1 and overlap <= 1 and matched > 0.95,
       f'the second "LeaveMeAlone" replaced the first: {gap * 10} ms of gap, {overlap * 10} ms of both at once, '
       f'{matched:.1%} of it sample for sample the clip')
sys.exit(1 if failed else 0)
PY
