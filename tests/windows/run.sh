#!/bin/bash
# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The Windows build's tests under Wine, on a private X server:
#  1. the cross-built core and window tests (ctest, Wine as the emulator;
#     the window tests on Qt's offscreen platform);
#  2. the real kobaltfa.exe on the windows platform, driven as a pupil
#     (tests/windows/pupil_run.sh).
# As root a tiny tmpfs drive S: is laid for the full-disk case.
#
# Usage: tests/windows/run.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:-build-win}" && pwd)
here=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX=${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/kobaltfa/wine}
export WINEDEBUG=-all
tmp=$(mktemp -d /tmp/kobaltfa-wine.XXXXXX)
xvfb=
wm=
cleanup() {
    [ -n "$wm" ] && kill "$wm" 2>/dev/null
    wineserver -k 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    if mountpoint -q "$tmp/small" 2>/dev/null; then umount "$tmp/small"; fi
    rm -f "$WINEPREFIX/dosdevices/s:"
    rm -rf "$tmp"
}
trap cleanup EXIT

for d in $(seq 70 99); do [ -e /tmp/.X11-unix/X$d ] || [ -e /tmp/.X$d-lock ] || break; done
Xvfb :$d -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=:$d
for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$d ] && break; sleep 0.1; done
# A window manager gives the focus to the window that opens, as a desktop does.
openbox >/dev/null 2>&1 &
wm=$!
"$here/windows/wine-run.sh" cmd /c exit 0 >/dev/null 2>&1 || true

if [ "$(id -u)" = 0 ]; then
    mkdir -p "$tmp/small"
    if mount -t tmpfs -o size=256k tmpfs "$tmp/small" 2>/dev/null; then
        ln -sfn "$tmp/small" "$WINEPREFIX/dosdevices/s:"
        export KOBALTFA_SMALL_DRIVE='S:'
    fi
fi

echo "== the core and window tests under Wine"
(cd "$build" && ctest --output-on-failure -j 2 --timeout 300)

echo "== the real kobaltfa.exe, driven as a pupil"
bash "$here/tests/windows/pupil_run.sh" "$build/kobaltfa.exe"

echo "== the start cue through Wine's sound driver"
bash "$here/tests/windows/cue_run.sh" "$build/kobaltfa.exe"
