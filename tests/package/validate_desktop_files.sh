#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Validates the files that put the program on a desktop: the menu entry
# (desktop-file-validate), the AppStream metainfo (appstreamcli validate
# --no-net) and man pages (man --warnings, plain or gzipped), each of which
# must pass without a single remark.
#
# Usage: validate_desktop_files.sh DESKTOP-FILE METAINFO MAN-PAGE...
#    or: validate_desktop_files.sh FOLDER   (the source's desktop/ folder)
set -uo pipefail
export LC_ALL=C.UTF-8 MANWIDTH=80

if [ $# = 1 ] && [ -d "$1" ]; then
    set -- "$1"/*.desktop "$1"/*.metainfo.xml "$1"/man/kobaltfa.1 "$1"/man/hu/kobaltfa.1
fi
[ $# -ge 3 ] || { echo "usage: $0 DESKTOP-FILE METAINFO MAN-PAGE..." >&2; exit 2; }
desktop=$1 metainfo=$2
shift 2
bad=0
complain() { echo "FAIL: $*"; bad=1; }

out=$(desktop-file-validate "$desktop" 2>&1)
if [ $? != 0 ] || [ -n "$out" ]; then complain "desktop-file-validate $desktop: $out"; fi

out=$(appstreamcli validate --no-net "$metainfo" 2>&1)
rc=$?
if [ $rc != 0 ] || grep -qE '^[EWI]: ' <<<"$out" || ! grep -q 'Validation was successful' <<<"$out"; then
    complain "appstreamcli validate --no-net $metainfo:"$'\n'"$out"
fi

for m in "$@"; do
    [ -f "$m" ] || { complain "no man page $m"; continue; }
    out=$(man --warnings -E UTF-8 -l "$m" 2>&1 >/dev/null)
    [ -z "$out" ] || complain "man --warnings $m: $out"
    # The page says where the settings live.
    man -E UTF-8 -l "$m" 2>/dev/null | grep -q 'kobaltfa/kobaltfa.ini' \
        || complain "$m does not name kobaltfa/kobaltfa.ini"
done

[ $bad = 0 ] && echo "desktop entry, metainfo and $# man pages validate clean"
exit $bad
