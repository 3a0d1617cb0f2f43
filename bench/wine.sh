#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later

# The Windows build's figures, measured under Wine (so they are Wine's
# figures, not a Windows PC's): the start of kobaltfa.exe to its painted
# main window against a bare Qt window built by the same toolchain, the
# memory after the start, Enter to the next question painted (in process,
# bench_app.exe) and the size of the stripped exe.
#
# bench/run.sh sources this part when the Windows build (make windows, and
# its bench_app.exe and bench_bare_window.exe) is there; BENCH_WINE_RUNS
# (10) sets the number of starts of each program.

wine_measure() {
  local runs=${BENCH_WINE_RUNS:-10} r d exe=$WIN_B/kobaltfa.exe
  WINE_SIZE=$(stat -c %s "$exe")
  log "Wine: $runs starts each of kobaltfa.exe and the bare window, then $RESPONSE_RUNS answers"
  mkdir -p "$TMP/wine"
  x86_64-w64-mingw32-strip -o "$TMP/wine/bare.exe" "$WIN_B/bench/bench_bare_window.exe"
  "$WINE_RUN" cmd /c exit 0 >/dev/null 2>&1
  : >"$O/wine_kob"; : >"$O/wine_bare"
  for r in $(seq 0 "$runs"); do
    d=$TMP/wine/k$r; mkdir -p "$d"; cp "$exe" "$d/kobaltfa.exe"
    # Round 0 warms the caches and is not counted.
    # In Fusion, the style under every skin (as on Linux, where it is the
    # default); Windows' own style would load Wine's theme engine.
    "$WATCH" --settle 200 --timeout 60 -- "$WINE_RUN" "$TMP/wine/bare.exe" -style fusion >>"$O/wine_bare"
    "$WATCH" --settle 200 --timeout 60 -- "$WINE_RUN" "$d/kobaltfa.exe" >>"$O/wine_kob"
    [ "$r" -eq 0 ] && : >"$O/wine_kob" && : >"$O/wine_bare"
    rm -rf "$d"
  done 2>>"$TMP/wine.err"
  WINE_START=$(value start_ms "$O/wine_kob" | median); WINE_START_BARE=$(value start_ms "$O/wine_bare" | median)
  WINE_RSS=$(value rss_kb "$O/wine_kob" | median); WINE_RSS_BARE=$(value rss_kb "$O/wine_bare" | median)
  "$WINE_RUN" "$WIN_B/bench/bench_app.exe" response "$RESPONSE_RUNS" >"$O/wine_response" 2>>"$TMP/wine.err"
  WINE_R=$(value arith_ms "$O/wine_response"); WINE_R90=$(value arith_p90_ms "$O/wine_response")
  WINE_RBARE=$(value bare_ms "$O/wine_response")
  "$WINE_SERVER" -k 2>/dev/null
}

wine_rows() {
  row "Wine: start to painted window (ms)" "$(num "$WINE_START")" "bare Qt window.exe $(num "$WINE_START_BARE")" \
      "$(ratio "$WINE_START" "$WINE_START_BARE") x / <= 1.5 x" "$(met "$WINE_START" "$WINE_START_BARE" 'a <= 1.5*b')"
  row "Wine: Enter to next question (ms)" "$(num "$WINE_R" %.2f)" "bare Qt $(num "$WINE_RBARE" %.2f)" \
      "p90 $(num "$WINE_R90" %.2f) / < 8" "$(met "$WINE_R" 0 'a < 8')"
  row "Wine: resident after start (MB)" "$(MB "$WINE_RSS")" "bare $(MB "$WINE_RSS_BARE")" "-" "-"
  row "kobaltfa.exe stripped (MB)" "$(awk -v b="${WINE_SIZE:-0}" 'BEGIN {printf "%.1f", b/1048576}')" \
      "static Qt, no DLL beside it" "< 25" "$(met "${WINE_SIZE:-nan}" 0 'a < 25*1048576')"
}
