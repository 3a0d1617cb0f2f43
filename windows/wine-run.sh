#!/bin/bash
# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Runs a Windows program under Wine in the project's own Wine prefix (made
# on first use, kept per machine), quietly: the tests' runner for the
# cross build (CMAKE_CROSSCOMPILING_EMULATOR).
export WINEPREFIX=${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/kobaltfa/wine}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wine wineboot -i >/dev/null 2>&1
fi
if [ ! -f "$WINEPREFIX/.kobaltfa-fonts" ]; then
    # Qt does not list Wine's own Tahoma and MS Sans Serif; under the names
    # of Windows' fonts Wine then offers Liberation Sans, metric-compatible
    # with Arial, as a Windows PC offers its own faces.
    for font in "Arial" "Tahoma" "MS Sans Serif" "Microsoft Sans Serif" "Segoe UI" "MS Shell Dlg" "MS Shell Dlg 2"; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d "Liberation Sans" /f >/dev/null 2>&1
    done
    wineserver -w
    touch "$WINEPREFIX/.kobaltfa-fonts"
fi
exec wine "$@"
