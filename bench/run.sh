#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later

# `make bench`: times Kobaltfa beside references measured in the same run
# and prints one table.
#
#   bash bench/run.sh BUILD_DIR
#
# Everything runs on a private X server (Xvfb) and a private PulseAudio
# server with a null sink, in a temporary folder that goes away at the end.
# The counts can be changed through the environment (BENCH_START_RUNS, ...,
# see below and bench/big_settings.sh); every figure is a median over its
# repetitions.
set -uo pipefail

BUILD=${1:-build}
cd "$(dirname "$0")/.."
B=$(cd "$BUILD" 2>/dev/null && pwd) || { echo "bench: no build folder $BUILD" >&2; exit 1; }
# The Windows build, measured under Wine when it is there (make windows).
WIN_B=$(cd "${WIN_BUILD:-build-win}" 2>/dev/null && pwd) || WIN_B=
WINE_RUN=$PWD/windows/wine-run.sh WINE_SERVER=$(command -v wineserver || true)
export WINEPREFIX=${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/kobaltfa/wine}

START_RUNS=${BENCH_START_RUNS:-20}       # start runs of each program
RESPONSE_RUNS=${BENCH_RESPONSE_RUNS:-30} # answers / checks timed
SKIN_ROUNDS=${BENCH_SKIN_ROUNDS:-5}      # rounds over the six skins
SOUND_REPS=${BENCH_SOUND_REPS:-20}       # cue pairs played
IDLE_SECONDS=${BENCH_IDLE_SECONDS:-10}
SOAK_ANSWERS=${BENCH_SOAK_ANSWERS:-10000} # per arithmetic window
SOAK_TASKS=${BENCH_SOAK_TASKS:-500}       # per conversion window (four of them)

log() { printf 'bench: %s\n' "$*" >&2; }

# --- the programs --------------------------------------------------------
targets=(kobaltfa bench_bare_window bench_start_watch bench_sound_latency bench_app bench_start_phases)
missing=()
for t in "${targets[@]}"; do
  [ -x "$B/$t" ] || [ -x "$B/bench/$t" ] || missing+=("$t")
done
if [ ${#missing[@]} -gt 0 ]; then
  log "building ${missing[*]}"
  cmake --build "$B" -j 2 --target "${missing[@]}" >/dev/null || { log "build failed"; exit 1; }
fi
KOB=$B/kobaltfa
BARE=$B/bench/bench_bare_window
WATCH=$B/bench/bench_start_watch
SOUND=$B/bench/bench_sound_latency
APP=$B/bench/bench_app
PHASES=$B/bench/bench_start_phases
KBRUCH=$(command -v kbruch || true)

# --- private servers and folders -----------------------------------------
TMP=$(mktemp -d /tmp/kobaltfa-bench.XXXXXX)
XVFB_PID=
PULSE_PID=
cleanup() {
  [ -n "$PULSE_PID" ] && kill "$PULSE_PID" 2>/dev/null && wait "$PULSE_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  rm -rf "$TMP"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkdir -p "$TMP/run" "$TMP/home" "$TMP/out"
chmod 700 "$TMP/run"
export HOME=$TMP/home XDG_RUNTIME_DIR=$TMP/run
export XDG_CONFIG_HOME=$TMP/home/.config XDG_CACHE_HOME=$TMP/home/.cache XDG_DATA_HOME=$TMP/home/.local/share
export PULSE_RUNTIME_PATH=$TMP/run/pulse PULSE_SERVER=unix:$TMP/run/pulse/native
unset DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER QT_QPA_PLATFORM WAYLAND_DISPLAY

# Xvfb picks a free display itself; -br gives a black root, so an
# unpainted window is one flat colour.
Xvfb -displayfd 3 -noreset -br -nolisten tcp -screen 0 1280x1024x24 3>"$TMP/display" >"$TMP/xvfb.log" 2>&1 &
XVFB_PID=$!
for _ in $(seq 100); do [ -s "$TMP/display" ] && break; sleep 0.05; done
[ -s "$TMP/display" ] || { log "Xvfb did not start"; cat "$TMP/xvfb.log" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$TMP/display")

pulseaudio --system=false --daemonize=no --exit-idle-time=-1 -n --use-pid-file=false \
  -L "module-null-sink sink_name=nr norewinds=1" -L module-native-protocol-unix >"$TMP/pulse.log" 2>&1 &
PULSE_PID=$!
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.05; done
pactl info >/dev/null 2>&1 || { log "PulseAudio did not start"; cat "$TMP/pulse.log" >&2; exit 1; }

log "machine load: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores; display $DISPLAY"

# --- helpers -------------------------------------------------------------
# value KEY FILE...: the KEY=value fields of the lines in FILE, one a line.
value() { local k=$1; shift; cat "$@" 2>/dev/null | tr ' ' '\n' | sed -n "s/^$k=//p"; }
# median: of the numbers on stdin ("nan" for none).
median() { sort -g | awk '{v[NR]=$1} END {if (NR==0) print "nan"; else if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }
num() { awk -v x="$1" -v f="${2:-%.1f}" 'BEGIN {if (x=="nan"||x=="") print "n/a"; else printf f, x}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (a==""||b==""||a=="nan"||b=="nan"||b==0) print "n/a"; else printf "%.2f", a/b}'; }
# yes when the awk condition on a and b holds, no when not, n/a without data.
met() { awk -v a="$1" -v b="${2:-0}" "BEGIN {if (a==\"\"||a==\"nan\"||b==\"nan\") print \"n/a\"; else print (($3) ? \"yes\" : \"no\")}"; }

# One start of each program, each with clean state: Kobaltfa from a fresh
# folder (its settings file lies beside it), KBruch with fresh home folders.
start_kobaltfa() {
  local d=$TMP/k$1; mkdir -p "$d"
  ln "$KOB" "$d/kobaltfa" 2>/dev/null || cp "$KOB" "$d/kobaltfa"
  "$WATCH" --settle 200 "${@:2}" -- "$d/kobaltfa"
  rm -rf "$d"
}
start_bare() { "$WATCH" --settle 200 "${@:2}" -- "$BARE"; }
# The main window alone, the other ten windows left out: what the start
# would cost if they were built after the first paint.
start_main_alone() {
  local d=$TMP/m$1; mkdir -p "$d"
  ln "$PHASES" "$d/kobaltfa" 2>/dev/null || cp "$PHASES" "$d/kobaltfa"
  "$WATCH" --settle 0 -- "$d/kobaltfa" --stay --main-only
  rm -rf "$d"
}
start_kbruch() {
  local h=$TMP/kh$1; mkdir -p "$h"
  HOME=$h XDG_CONFIG_HOME=$h/.config XDG_CACHE_HOME=$h/.cache XDG_DATA_HOME=$h/.local/share XDG_STATE_HOME=$h/.local/state \
    "$WATCH" --settle 200 "${@:2}" -- "$KBRUCH"
  rm -rf "$h"
}

# --- 1. start and memory after start --------------------------------------
log "start: $START_RUNS runs each of Kobaltfa, bare Qt window${KBRUCH:+, KBruch} (interleaved)"
O=$TMP/out
for r in $(seq 0 "$START_RUNS"); do
  # Round 0 warms the caches and is not counted.
  if [ "$r" -eq 0 ]; then s=/dev/null; else s=; fi
  start_bare "$r" >>"${s:-$O/bare}"
  start_kobaltfa "$r" >>"${s:-$O/kob}"
  start_main_alone "$r" >>"${s:-$O/main}"
  [ -n "$KBRUCH" ] && start_kbruch "$r" >>"${s:-$O/kbruch}"
done 2>>"$TMP/start.err"
grep -h error "$O/bare" "$O/kob" "$O/main" "$O/kbruch" 2>/dev/null | sort | uniq -c | sed 's/^/bench: start failures: /' >&2
START_KOB=$(value start_ms "$O/kob" | median)
START_BARE=$(value start_ms "$O/bare" | median)
START_KB=$(value start_ms "$O/kbruch" | median)
START_MAIN=$(value start_ms "$O/main" | median)
CPU_KOB=$(value cpu_ms "$O/kob" | median); CPU_BARE=$(value cpu_ms "$O/bare" | median); CPU_MAIN=$(value cpu_ms "$O/main" | median)
RSS_KOB=$(value rss_kb "$O/kob" | median); PSS_KOB=$(value pss_kb "$O/kob" | median)
RSS_BARE=$(value rss_kb "$O/bare" | median)
RSS_KB=$(value rss_kb "$O/kbruch" | median)

# --- 2. idle CPU (the two programs side by side) --------------------------
log "idle CPU: ${IDLE_SECONDS}s of Kobaltfa and the bare window"
start_kobaltfa idle --idle "$IDLE_SECONDS" >"$O/idle_kob" 2>/dev/null &
p1=$!
start_bare idle --idle "$IDLE_SECONDS" >"$O/idle_bare" 2>/dev/null &
p2=$!
wait $p1 $p2
IDLE_KOB=$(value idle_cpu_pct "$O/idle_kob"); WAKE_KOB=$(value idle_wakeups_per_s "$O/idle_kob")
IDLE_BARE=$(value idle_cpu_pct "$O/idle_bare"); WAKE_BARE=$(value idle_wakeups_per_s "$O/idle_bare")

# --- 3. response -----------------------------------------------------------
log "response: $RESPONSE_RUNS answers and checks"
"$APP" response "$RESPONSE_RUNS" >"$O/response" 2>"$TMP/response.err"
R_ARITH=$(value arith_ms "$O/response"); R_ARITH90=$(value arith_p90_ms "$O/response")
R_CONV=$(value conv_ms "$O/response"); R_CONV90=$(value conv_p90_ms "$O/response")
R_BARE=$(value bare_ms "$O/response"); R_BARECHK=$(value bare_check_ms "$O/response")

# --- 3b. opening a drill window --------------------------------------------
# The drill windows build their controls at their first opening; how long
# the pupil waits for that, and for a later opening.
log "open: each drill window opened from its button, first and 3 more times"
"$APP" open 3 >"$O/open" 2>"$TMP/open.err"
OPEN_FIRST=$(value first_open_ms "$O/open"); OPEN_MAX=$(value first_open_max_ms "$O/open"); OPEN_AGAIN=$(value reopen_ms "$O/open")

# --- 3c. idle with the drill clocks ticking ----------------------------------
# Once opened, a drill window's clock ticks every second also while the
# window is hidden.
log "idle CPU: ${IDLE_SECONDS}s with every drill window opened once"
"$APP" idle "$IDLE_SECONDS" >"$O/idle_opened" 2>"$TMP/idle_opened.err"
IDLE_OPENED=$(value idle_opened_cpu_pct "$O/idle_opened"); WAKE_OPENED=$(value idle_opened_wakeups_per_s "$O/idle_opened")

# --- 4. skin switch --------------------------------------------------------
log "skin switch: $SKIN_ROUNDS rounds over the six skins"
"$APP" skin "$SKIN_ROUNDS" >"$O/skin" 2>"$TMP/skin.err"
SKIN=$(value skin_ms "$O/skin"); SKIN_MAX=$(value skin_max_ms "$O/skin"); SKIN_ALL=$(value skin_render_ms "$O/skin")

# --- 5. sound --------------------------------------------------------------
log "sound: $SOUND_REPS cue pairs through the null sink"
"$SOUND" --reps "$SOUND_REPS" --record-latency-ms 2 >"$O/sound" 2>"$TMP/sound.err"
S_LINE=$(grep '^reps=' "$O/sound")
S_ON=$(value onset_ms <<<"$S_LINE"); S_OFF=$(value silent_ms <<<"$S_LINE")
S_GAP=$(value gap_ms <<<"$S_LINE"); S_GAPMAX=$(value gap_max_ms <<<"$S_LINE")
S_OVL=$(value overlap_ms <<<"$S_LINE"); S_OVLMAX=$(value overlap_max_ms <<<"$S_LINE")
S_DROP=$(value dropouts <<<"$S_LINE"); S_REPS=$(value reps <<<"$S_LINE"); S_GAPPED=$(value gapped <<<"$S_LINE")
# The 2 ms recorder also pulls the sink down to 2 ms blocks; once more with
# a relaxed recorder, so the sink runs at the latency the player asks for.
"$SOUND" --reps $(( (SOUND_REPS + 1) / 2 )) --record-latency-ms 50 >"$O/sound_relaxed" 2>>"$TMP/sound.err"
S2_LINE=$(grep '^reps=' "$O/sound_relaxed")
S2_ON=$(value onset_ms <<<"$S2_LINE"); S2_OFF=$(value silent_ms <<<"$S2_LINE"); S2_GAPPED=$(value gapped <<<"$S2_LINE")

# --- 6. soak ---------------------------------------------------------------
# The logs must keep what they show: their text, a length and a colour byte
# a line and the room their buffers keep to grow. Met when the heap grows by
# no more than twice the text.
log "soak: $SOAK_ANSWERS answers in each arithmetic window, $SOAK_TASKS tasks in each conversion window"
"$APP" soak "$SOAK_ANSWERS" "$SOAK_TASKS" >"$O/soak" 2>"$TMP/soak.err"
# growth KEY_AFTER KEY_BEFORE DIVISOR: the difference of two soak figures.
growth() { awk -v a="$(value "$1" "$O/soak")" -v b="$(value "$2" "$O/soak")" -v d="$3" 'BEGIN {if (a==""||b=="") print "nan"; else print (a-b)/d}'; }
SOAK_RSS=$(growth rss_after_kb rss_before_kb 1024)
SOAK_PSS=$(growth pss_after_kb pss_before_kb 1024)
SOAK_HEAP=$(growth heap_after_kb heap_before_kb 1024)
SOAK_LEFT=$(growth heap_cleared_kb heap_before_kb 1024)    # heap left once the logs are emptied
SOAK_TEXT=$(growth logs_after_bytes logs_before_bytes 1048576)
SOAK_LINES=$(value log_lines "$O/soak")

# --- 7. a 100 MB settings file ----------------------------------------------
source bench/big_settings.sh
big_settings_measure

# --- 8. the Windows build under Wine -----------------------------------------
source bench/wine.sh
if [ -n "$WIN_B" ] && [ -x "$WIN_B/bench/bench_app.exe" ] && [ -f "$WIN_B/kobaltfa.exe" ] && [ -n "$WINE_SERVER" ]; then
  wine_measure
else
  log "no Windows build with its benches (make windows; cmake --build build-win --target bench_app bench_bare_window): no Wine rows"
  WIN_B=
fi

# --- the table -------------------------------------------------------------
MB() { awk -v x="$1" 'BEGIN {if (x==""||x=="nan") print "n/a"; else printf "%.1f", x/1024}'; }
row() { printf '| %-33s | %-17s | %-26s | %-28s | %-4s |\n' "$@"; }
echo
echo "Kobaltfa benchmarks, $(date -u +%Y-%m-%d), $(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg) at the end; medians"
echo
row "measure" "Kobaltfa" "reference (same run)" "ratio / target" "met?"
row "---------------------------------" "-----------------" "--------------------------" "----------------------------" "----"
row "start to painted window (ms)" "$(num "$START_KOB")" "bare Qt window $(num "$START_BARE")" "$(ratio "$START_KOB" "$START_BARE") x / <= 1.5 x" \
    "$(met "$START_KOB" "$START_BARE" 'a <= 1.5*b')"
row "  CPU used by then (ms)" "$(num "$CPU_KOB")" "bare Qt window $(num "$CPU_BARE")" "$(ratio "$CPU_KOB" "$CPU_BARE") x" "-"
row "  main window alone (ms)" "$(num "$START_MAIN")" "CPU $(num "$CPU_MAIN")" "$(ratio "$START_MAIN" "$START_BARE") x bare" "-"
row "start, against KBruch (ms)" "$(num "$START_KOB")" "KBruch $(num "$START_KB")" "$(ratio "$START_KOB" "$START_KB") x / <= 0.7 x" \
    "$(met "$START_KOB" "$START_KB" 'a <= 0.7*b')"
row "Enter to next question (ms)" "$(num "$R_ARITH" %.2f)" "bare Qt $(num "$R_BARE" %.2f)" "p90 $(num "$R_ARITH90" %.2f) / < 8" \
    "$(met "$R_ARITH" 0 'a < 8')"
row "check button to colours (ms)" "$(num "$R_CONV" %.2f)" "bare Qt $(num "$R_BARECHK" %.2f)" "p90 $(num "$R_CONV90" %.2f) / < 8" \
    "$(met "$R_CONV" 0 'a < 8')"
row "drill window opened (ms)" "$(num "$OPEN_FIRST")" "later openings $(num "$OPEN_AGAIN")" "first, slowest $(num "$OPEN_MAX")" "-"
row "cue audible after play() (ms)" "$(num "$S_ON" %.2f)" "${S_REPS:-0} cue pairs" "< 10" "$(met "$S_ON" 0 'a < 10')"
row "replaced cue silent (ms)" "$(num "$S_OFF" %.2f)" "gap max $(num "$S_GAPMAX" %.1f), ${S_GAPPED:-?} gapped" \
    "< 10, no gap" "$(met "$S_OFF" "${S_GAPPED:-nan}" 'a < 10 && b == 0')"
row "  overlap of the two cues (ms)" "$(num "$S_OVL" %.2f)" "max $(num "$S_OVLMAX" %.1f); ${S_DROP:-?} underruns" "none" \
    "$(met "$S_OVLMAX" 0 'a <= 0.1')"
row "  sink at the player's latency" "$(num "$S2_ON" %.2f) / $(num "$S2_OFF" %.2f)" "audible / silent, ${S2_GAPPED:-?} gapped" "< 10 / < 10" \
    "$(met "$S2_ON" "$S2_OFF" 'a < 10 && b < 10')"
row "skin switch, 11 windows (ms)" "$(num "$SKIN")" "also all drawn $(num "$SKIN_ALL")" "worst skin $(num "$SKIN_MAX") / < 100" \
    "$(met "$SKIN" 0 'a < 100')"
row "resident after start (MB)" "$(MB "$RSS_KOB") (PSS $(MB "$PSS_KOB"))" "bare $(MB "$RSS_BARE"), KBruch $(MB "$RSS_KB")" "< 60" \
    "$(met "$RSS_KOB" 0 'a < 60*1024')"
row "soak growth RSS/PSS/heap (MB)" "$(num "$SOAK_RSS")/$(num "$SOAK_PSS")/$(num "$SOAK_HEAP")" "logs' text $(num "$SOAK_TEXT" %.2f), ${SOAK_LINES:-?} lines" \
    "heap <= 2 x text; emptied $(num "$SOAK_LEFT")" "$(met "$SOAK_HEAP" "$SOAK_TEXT" 'a <= 2*b')"
row "idle CPU, ${IDLE_SECONDS} s (%)" "$(num "$IDLE_KOB" %.2f)" "bare $(num "$IDLE_BARE" %.2f)" "wakeups/s $(num "$WAKE_KOB" %.0f) vs $(num "$WAKE_BARE" %.0f); ~0" \
    "$(met "$IDLE_KOB" "$IDLE_BARE" 'a <= b + 0.2')"
row "  every drill opened once (%)" "$(num "$IDLE_OPENED" %.2f)" "hidden clocks ticking" "wakeups/s $(num "$WAKE_OPENED" %.0f); ~0" \
    "$(met "$IDLE_OPENED" "$IDLE_BARE" 'a <= b + 0.2')"
big_settings_rows
[ -n "$WIN_B" ] && wine_rows
echo
echo "Runs: start $START_RUNS each (interleaved, after one warm-up round); response $RESPONSE_RUNS; skins $SKIN_ROUNDS rounds;"
echo "sound ${S_REPS:-0} pairs; soak $((4 * SOAK_ANSWERS)) answers and $((4 * SOAK_TASKS)) conversion tasks."
