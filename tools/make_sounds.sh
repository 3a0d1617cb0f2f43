#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Regenerates the nine sound cues in resources/sounds from scratch with
# espeak-ng (the spoken words) and sox (chimes, jingles, effects, mixing).
#
# Every clip is written as a bare WAVE image: a 44-byte header (RIFF, one
# 16-byte "fmt " chunk: PCM, mono, 44100 Hz, 16 bit) and one "data" chunk,
# nothing else. The header is written here rather than by sox so that no
# LIST or other chunk can slip in. Lengths are fixed to the sample, the
# peak is normalised to -3 dBFS after a gentle compressor that keeps the
# loudness of speech and tones alike, and every clip fades in and out over
# a few milliseconds so that it starts and stops without a click.
#
# The output is deterministic: sox runs with dither off (-D) and in
# repeatable mode (-R), and nothing random is synthesised.
#
# Usage: tools/make_sounds.sh [output-dir]   (default: resources/sounds)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/resources/sounds}
for tool in sox soxi espeak-ng; do
    command -v "$tool" >/dev/null || { echo "make_sounds: $tool is missing" >&2; exit 1; }
done
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

export LC_ALL=C
RATE=44100
SOX=(sox -D -R -V2)
COMPAND=${COMPAND:--70,-70,-40,-26,-20,-13,0,-9}   # soft knee, about 2:1 above -40 dB
TARGET_RMS=${TARGET_RMS:--17.5}                    # dBFS, the loudest any clip may be
FMT=(-r $RATE -c 1 -e floating-point -b 32)   # working format: float, headroom

# hz NOTE [MULT]: the frequency of a note such as C5 or C#5 (A4 = 440 Hz),
# times MULT (2 for the octave above).
hz() {
    awk -v n="$1" -v m="${2:-1}" 'BEGIN {
        split("C C# D D# E F F# G G# A A# B", names, " ")
        oct = substr(n, length(n)); name = substr(n, 1, length(n) - 1)
        for (i = 1; i <= 12; i++) if (names[i] == name) semi = i - 1
        printf "%.3f", m * 440 * 2 ^ ((semi - 9) / 12 + (oct - 4))
    }'
}

# note OUT NOTE LEN START VOL [WAVE [FADE]]: one decaying tone placed START
# seconds into its file. WAVE is a sox synth shape or "bell" (sine plus a
# quiet octave, which reads as a soft chime).
note() {
    local o=$1 f=$2 len=$3 start=$4 vol=$5 shape=${6:-sine} fadeout=${7:-}
    [ -n "$fadeout" ] || fadeout=$(awk -v l="$len" 'BEGIN { printf "%.4f", l * 0.85 }')
    if [ "$shape" = bell ]; then
        "${SOX[@]}" -n "${FMT[@]}" "$work/n.1.wav" synth "$len" sine "$(hz "$f")"
        "${SOX[@]}" -n "${FMT[@]}" "$work/n.2.wav" synth "$len" sine "$(hz "$f" 2)"
        "${SOX[@]}" -m -v 0.8 "$work/n.1.wav" -v 0.2 "$work/n.2.wav" "$work/n.tmp.wav" \
            fade h 0.006 -0 "$fadeout" vol "$vol" pad "$start"
    else
        "${SOX[@]}" -n "${FMT[@]}" "$work/n.tmp.wav" synth "$len" "$shape" "$(hz "$f")" \
            fade h 0.006 -0 "$fadeout" vol "$vol" pad "$start"
    fi
    mv "$work/n.tmp.wav" "$o"
}

# brass OUT NOTE LEN START VOL: a bright fanfare note (sawtooth and square,
# softened by a low-pass filter, with a short swell at the attack).
brass() {
    local o=$1 f=$2 len=$3 start=$4 vol=$5
    "${SOX[@]}" -n "${FMT[@]}" "$o" synth "$len" sawtooth "$(hz "$f")" synth "$len" square mix "$(hz "$f")" \
        lowpass 2400 fade q 0.02 -0 0.05 vol "$vol" pad "$start"
}

# sweep OUT FROM/TO LEN START VOL [boing]: a sliding whistle, or a spring
# ("boing": the sliding tone frequency-modulated by an 18 Hz wobble).
sweep() {
    local o=$1 fr=$2 len=$3 start=$4 vol=$5 kind=${6:-whistle}
    if [ "$kind" = boing ]; then
        "${SOX[@]}" -n "${FMT[@]}" "$o" synth "$len" sine 18 synth "$len" sine fmod "$fr" \
            fade q 0.004 -0 "$len" vol "$vol" pad "$start"
    else
        "${SOX[@]}" -n "${FMT[@]}" "$o" synth "$len" sine "$fr" fade q 0.02 -0 0.04 vol "$vol" pad "$start"
    fi
}

# say OUT TEXT START MAXLEN VOICE PITCH SPEED [CENTS]: spoken words, trimmed
# of leading and trailing silence, sped up (tempo, pitch kept) when longer
# than MAXLEN seconds, optionally raised by CENTS, then placed at START.
say() {
    local o=$1 text=$2 start=$3 maxlen=$4 voice=$5 pitch=$6 speed=$7 cents=${8:-0}
    espeak-ng -v "$voice" -p "$pitch" -s "$speed" -w "$work/s.raw.wav" "$text"
    "${SOX[@]}" "$work/s.raw.wav" "${FMT[@]}" "$work/s.trim.wav" \
        silence 1 0.005 0.5% reverse silence 1 0.005 0.5% reverse highpass 90
    local len factor
    len=$(soxi -D "$work/s.trim.wav")
    factor=$(awk -v l="$len" -v m="$maxlen" 'BEGIN { f = l / m; printf "%.4f", (f > 1 ? f : 1) }')
    local fx=()
    [ "$factor" = 1.0000 ] || fx+=(tempo -s "$factor")
    [ "$cents" = 0 ] || fx+=(pitch "$cents")
    "${SOX[@]}" "$work/s.trim.wav" "$o" "${fx[@]}" treble 3 3000 fade q 0.01 -0 0.03 pad "$start"
}

# finish NAME SAMPLES PART...: mixes the parts, cuts the clip to exactly
# SAMPLES samples, fades the edges, evens out the loudness, normalises the
# peak to -3 dBFS and writes resources/sounds/NAME.wav.
finish() {
    local name=$1 samples=$2; shift 2
    local mix=("$work/mix.wav")
    if [ $# -gt 1 ]; then
        local args=()
        for p in "$@"; do args+=(-v 1 "$p"); done
        "${SOX[@]}" -m "${args[@]}" "${FMT[@]}" "$work/mix.wav"
    else
        cp "$1" "$work/mix.wav"
    fi
    "${SOX[@]}" "$work/mix.wav" "$work/long.wav" pad 0 2
    "${SOX[@]}" "$work/long.wav" "$work/even.wav" trim 0 "${samples}s" \
        compand 0.004,0.12 6:${COMPAND} -6 -90 \
        fade q 0.004 "${samples}s" 0.02 \
        gain -n -3
    # Tones are louder than speech at the same peak: turn down whatever is
    # still above the common loudness.
    local rms cut
    rms=$("${SOX[@]}" "$work/even.wav" -n stats 2>&1 | awk '/^RMS lev dB/ { print $4 }')
    cut=$(awk -v r="$rms" -v t="$TARGET_RMS" 'BEGIN { printf "%.2f", (r > t ? t - r : 0) }')
    "${SOX[@]}" "$work/even.wav" -t raw -r $RATE -c 1 -e signed-integer -b 16 -L "$work/pcm.raw" gain "$cut"
    local bytes
    bytes=$(stat -c %s "$work/pcm.raw")
    [ "$bytes" -eq $((samples * 2)) ] || { echo "make_sounds: $name has $bytes bytes" >&2; exit 1; }
    write_wave "$out/$name.wav" "$work/pcm.raw" "$bytes"
    rm -f "$work"/p*.wav "$work"/{mix,long,even}.wav
}

le16() { printf "$(printf '\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)))"; }
le32() { printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)))"; }

# write_wave OUT PCM BYTES: the 44-byte header, then the samples.
write_wave() {
    local o=$1 pcm=$2 bytes=$3
    {
        printf 'RIFF'; le32 $((36 + bytes)); printf 'WAVE'
        printf 'fmt '; le32 16
        le16 1; le16 1; le32 $RATE; le32 $((RATE * 2)); le16 2; le16 16
        printf 'data'; le32 "$bytes"
        cat "$pcm"
    } >"$o"
}

VOICE=en-us+f3    # a clear, friendly female voice; raised a little below

# HELLO: a cheerful "Hello!" over a soft rising two-note chime.
note "$work/p1.wav" G5 0.66 0.00 0.22 bell
note "$work/p2.wav" C6 0.52 0.14 0.22 bell
say  "$work/p3.wav" "Hello!" 0.03 0.60 "$VOICE" 72 175 150
finish HELLO 29042 "$work"/p{1,2,3}.wav

# BYEBYE: "Bye bye!" with a soft falling chime.
note "$work/p1.wav" C6 0.40 0.00 0.18 bell
note "$work/p2.wav" G5 0.47 0.30 0.18 bell
say  "$work/p3.wav" "Bye bye!" 0.02 0.72 "$VOICE" 70 170 150
finish BYEBYE 34002 "$work"/p{1,2,3}.wav

# PERFECT: a quick rising major arpeggio under a happy "Perfect!".
note "$work/p1.wav" C5 0.20 0.00 0.20 triangle
note "$work/p2.wav" E5 0.20 0.05 0.20 triangle
note "$work/p3.wav" G5 0.20 0.10 0.20 triangle
note "$work/p4.wav" C6 0.32 0.15 0.22 bell
say  "$work/p5.wav" "Perfect!" 0.02 0.42 "$VOICE" 75 185 200
finish PERFECT 20688 "$work"/p{1,2,3,4,5}.wav

# MISSED: a gentle falling "oh-oh" on two soft, rounded notes (no buzzer):
# sine with a little triangle, slow attack, the second a minor third lower.
note "$work/p1.wav" E5 0.28 0.02 0.30 sine 0.12
note "$work/p2.wav" E5 0.28 0.02 0.08 triangle 0.12
note "$work/p3.wav" C#5 0.32 0.32 0.30 sine 0.20
note "$work/p4.wav" C#5 0.32 0.32 0.08 triangle 0.20
"${SOX[@]}" -m -v 1 "$work/p1.wav" -v 1 "$work/p2.wav" "$work/p5.wav" fade h 0.04 -0 0.1
"${SOX[@]}" -m -v 1 "$work/p3.wav" -v 1 "$work/p4.wav" "$work/p6.wav"
finish MISSED 29128 "$work"/p{5,6}.wav

# LEAVEMEALONE: a playful, sing-song "Leave me alone!".
say  "$work/p1.wav" "Leave me alone!" 0.02 0.91 "$VOICE" 85 160 200
finish LEAVEMEALONE 42097 "$work/p1.wav"

# YOULLREGRETTHAT: a teasing "You'll regret that!" ending in a little
# cartoon slide-whistle drop.
say   "$work/p1.wav" "You'll regret that!" 0.02 0.98 "$VOICE" 78 175 150
sweep "$work/p2.wav" 1400/500 0.20 1.00 0.20
finish YOULLREGRETTHAT 53435 "$work"/p{1,2}.wav

# DRAGONBALL: a short rising fanfare, then "Let's go!".
brass "$work/p1.wav" G4 0.10 0.00 0.16
brass "$work/p2.wav" C5 0.10 0.09 0.16
brass "$work/p3.wav" E5 0.10 0.18 0.16
brass "$work/p4.wav" G5 0.60 0.27 0.12
note  "$work/p5.wav" G6 0.40 0.27 0.08 bell
say   "$work/p6.wav" "Let's go!" 0.38 0.48 "$VOICE" 80 190 200
finish DRAGONBALL 38981 "$work"/p{1,2,3,4,5,6}.wav

# REVENGE: a rising slide whistle and a cheeky "Gotcha!".
sweep "$work/p1.wav" 500/1600 0.18 0.00 0.25
say   "$work/p2.wav" "Gotcha!" 0.18 0.48 "$VOICE" 80 180 200
finish REVENGE 30260 "$work"/p{1,2}.wav

# OINUTTER: a silly "Oi!" and three springy boings, each lower and softer.
say   "$work/p1.wav" "Oi!" 0.00 0.30 "$VOICE" 85 175 250
sweep "$work/p2.wav" 520/260 0.26 0.33 0.30 boing
sweep "$work/p3.wav" 440/220 0.24 0.60 0.26 boing
sweep "$work/p4.wav" 370/185 0.24 0.85 0.22 boing
finish OINUTTER 50330 "$work"/p{1,2,3,4}.wav

echo "make_sounds: nine clips written to $out"
