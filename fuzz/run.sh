#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds every fuzz/<name>_fuzz.cpp with clang, libFuzzer and the address and
# undefined-behaviour sanitizers, then runs each for SECONDS seconds starting
# from its seeds in fuzz/corpus/<name>/. Fails when any target crashes, leaks,
# hangs or trips a sanitizer; the input that did it is kept in
# BUILD_DIR/artifacts/.
#
#   bash fuzz/run.sh [SECONDS] [BUILD_DIR]      (defaults: 60, build-fuzz)
#
# Inputs found along the way collect in BUILD_DIR/corpus/<name>/, so later
# runs start from them; the committed seeds are never written to.
set -euo pipefail

seconds=${1:-60}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${2:-$root/build-fuzz}
jobs=${JOBS:-2}

log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! cmake -S "$root/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >"$log" 2>&1 ||
   ! cmake --build "$build" -j "$jobs" >>"$log" 2>&1; then
  cat "$log"
  echo "fuzz: build failed" >&2
  exit 1
fi

mkdir -p "$build/artifacts"
status=0
shopt -s nullglob
for src in "$root"/fuzz/*_fuzz.cpp; do
  target=$(basename "$src" .cpp)
  name=${target%_fuzz}
  work="$build/corpus/$name"
  mkdir -p "$work"
  dirs=("$work")
  [ -d "$root/fuzz/corpus/$name" ] && dirs+=("$root/fuzz/corpus/$name")
  args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048
        -artifact_prefix="$build/artifacts/$name-")
  [ -f "$root/fuzz/$name.dict" ] && args+=(-dict="$root/fuzz/$name.dict")

  echo "fuzz: $name for ${seconds}s"
  if "$build/$target" "${args[@]}" "${dirs[@]}" >"$build/$name.log" 2>&1; then
    grep -E '^(Done|#[0-9]+[[:space:]]+DONE)' "$build/$name.log" | tail -n 1 || true
  else
    tail -n 60 "$build/$name.log"
    echo "fuzz: $name FAILED (log $build/$name.log, input in $build/artifacts/)" >&2
    status=1
  fi
done
exit $status
