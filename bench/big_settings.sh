#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later

# The settings file at 100 MB (about 9 million lines): the real program's
# start to its painted window with the file beside it, and in process the
# whole program on it: the addition window opened (it reads the file) and
# closed (it writes it), the length window closed, the peak resident size.
# Target: start and one close within a few seconds (3 s here), the peak
# resident size under twice the file.
#
# bench/run.sh sources this part; alone (on a private Xvfb):
#   bash bench/big_settings.sh BUILD_DIR
# BENCH_BIGINI_MB (100) and BENCH_BIGINI_RUNS (3) change the size and the
# number of runs (medians are printed).

big_settings_measure() {
  local mb=${BENCH_BIGINI_MB:-100} runs=${BENCH_BIGINI_RUNS:-3} r d
  log "settings file of $mb MB: start, a window read and closed, peak memory ($runs runs)"
  mkdir -p "$TMP/big"
  "$APP" make-bigini "$TMP/big/master.ini" "$mb" 2>>"$TMP/bigini.err" || { log "no big settings file"; return; }
  BIG_LINES=$(wc -l <"$TMP/big/master.ini")
  : >"$O/bigstart"; : >"$O/bigini"
  for r in $(seq "$runs"); do
    d=$TMP/big/r$r; mkdir -p "$d"
    ln "$KOB" "$d/kobaltfa" 2>/dev/null || cp "$KOB" "$d/kobaltfa"
    cp "$TMP/big/master.ini" "$d/kobaltfa.ini"
    "$WATCH" --settle 0 --timeout 120 -- "$d/kobaltfa" >>"$O/bigstart" 2>>"$TMP/bigini.err"
    cp "$TMP/big/master.ini" "$d/kobaltfa.ini"
    "$APP" bigini "$d/kobaltfa.ini" >>"$O/bigini" 2>>"$TMP/bigini.err" || log "bigini run $r: the close did not write"
    rm -rf "$d"
  done
  rm -f "$TMP/big/master.ini"
  BIG_START=$(value start_ms "$O/bigstart" | median)
  BIG_START_HWM=$(value hwm_kb "$O/bigstart" | median)
  BIG_OPEN=$(value bigini_open_ms "$O/bigini" | median)
  BIG_CLOSE=$(value bigini_close_ms "$O/bigini" | median)
  BIG_CLOSE_CONV=$(value bigini_close_conv_ms "$O/bigini" | median)
  BIG_PEAK=$(value bigini_peak_kb "$O/bigini" | median)
  BIG_FILE=$(value bigini_file_kb "$O/bigini" | median)
}

big_settings_rows() {
  row "${BENCH_BIGINI_MB:-100} MB settings file: start (ms)" "$(num "$BIG_START")" "$(awk -v n="${BIG_LINES:-0}" 'BEGIN {printf "%.1f M lines", n/1e6}'); peak $(MB "$BIG_START_HWM") MB" \
      "< 3000" "$(met "$BIG_START" 0 'a < 3000')"
  row "  window read / closed (ms)" "$(num "$BIG_OPEN") / $(num "$BIG_CLOSE")" "length window closed $(num "$BIG_CLOSE_CONV")" \
      "close < 3000" "$(met "$BIG_CLOSE" "$BIG_CLOSE_CONV" 'a < 3000 && b < 3000')"
  row "  peak resident (MB)" "$(MB "$BIG_PEAK")" "file $(MB "$BIG_FILE")" "< 2 x file" \
      "$(met "$BIG_PEAK" "$BIG_FILE" 'a < 2*b')"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -uo pipefail
  BUILD=${1:-build}
  cd "$(dirname "$0")/.."
  B=$(cd "$BUILD" 2>/dev/null && pwd) || { echo "bench: no build folder $BUILD" >&2; exit 1; }
  cmake --build "$B" -j 2 --target kobaltfa bench_app bench_start_watch >/dev/null || exit 1
  KOB=$B/kobaltfa; APP=$B/bench/bench_app; WATCH=$B/bench/bench_start_watch
  TMP=$(mktemp -d /tmp/kobaltfa-bench.XXXXXX); O=$TMP/out; mkdir -p "$O" "$TMP/run"; chmod 700 "$TMP/run"
  XVFB_PID=
  trap '[ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null; rm -rf "$TMP"' EXIT
  export HOME=$TMP XDG_RUNTIME_DIR=$TMP/run
  unset QT_QPA_PLATFORM WAYLAND_DISPLAY
  Xvfb -displayfd 3 -noreset -br -nolisten tcp -screen 0 1280x1024x24 3>"$TMP/display" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do [ -s "$TMP/display" ] && break; sleep 0.05; done
  export DISPLAY=:$(head -n1 "$TMP/display")
  log() { printf 'bench: %s\n' "$*" >&2; }
  value() { local k=$1; shift; cat "$@" 2>/dev/null | tr ' ' '\n' | sed -n "s/^$k=//p"; }
  median() { sort -g | awk '{v[NR]=$1} END {if (NR==0) print "nan"; else if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }
  num() { awk -v x="$1" -v f="${2:-%.1f}" 'BEGIN {if (x=="nan"||x=="") print "n/a"; else printf f, x}'; }
  met() { awk -v a="$1" -v b="${2:-0}" "BEGIN {if (a==\"\"||a==\"nan\"||b==\"nan\") print \"n/a\"; else print (($3) ? \"yes\" : \"no\")}"; }
  MB() { awk -v x="$1" 'BEGIN {if (x==""||x=="nan") print "n/a"; else printf "%.1f", x/1024}'; }
  row() { printf '| %-33s | %-17s | %-26s | %-28s | %-4s |\n' "$@"; }
  big_settings_measure
  echo
  row "measure" "Kobaltfa" "reference (same run)" "ratio / target" "met?"
  row "---------------------------------" "-----------------" "--------------------------" "----------------------------" "----"
  big_settings_rows
fi
