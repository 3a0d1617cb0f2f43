#!/bin/bash
# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Every window in one skin, rendered by the Windows build under Wine on Qt's
# windows platform, at the display scaling asked for: 100 (96 dpi) or 150
# (144 dpi, Windows' "150 %"). The prefix's scaling is put back afterwards.
# Needs DISPLAY.
#
# Usage: windows/screenshots.sh build-win out-folder [skin] [100|150]
set -euo pipefail
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
skin=${3:-aluminium}
scale=${4:-100}
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/kobaltfa/wine}
run() { "$here/windows/wine-run.sh" "$@"; }
key='HKCU\Control Panel\Desktop'
run reg add "$key" /v LogPixels /t REG_DWORD /d $((96 * scale / 100)) /f >/dev/null 2>&1
trap 'run reg delete "$key" /v LogPixels /f >/dev/null 2>&1; wineserver -w' EXIT
wineserver -w
cd "$build/tests"
QT_QPA_PLATFORM=windows run kobaltfa_screenshots.exe "$(winepath -w "$out")" "$skin"
ls "$out"
