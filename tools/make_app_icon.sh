#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Draws the program's application icon, the help window's cobalt-blue tree
# on a small green mound, for the desktop's icon theme:
#
#  - desktop/icons/hicolor/scalable/apps/hu.kobaltfa.Kobaltfa.svg, the
#    drawing itself, written out here by hand in SVG;
#  - desktop/icons/hicolor/<N>x<N>/apps/hu.kobaltfa.Kobaltfa.png for N = 16,
#    22, 24, 32, 48, 64, 128 and 256, rasterised from it with rsvg-convert.
#
# The crown, trunk, face and apples follow tools/make_portrait.sh (the same
# coordinates, colours and outlines), cut out of the portrait's sky. The
# sizes up to 24 pixels are drawn from a plainer variant: no face, no sheen,
# two apples and thicker outlines, so the tree still reads as a tree there.
#
# The output is deterministic (rsvg-convert writes no time stamps).
#
# Usage: tools/make_app_icon.sh [output-dir]   (default: desktop/icons)
#        needs rsvg-convert (Debian package librsvg2-bin)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/desktop/icons}
ID=hu.kobaltfa.Kobaltfa
command -v rsvg-convert >/dev/null || { echo "make_app_icon: rsvg-convert (librsvg2-bin) is missing" >&2; exit 1; }
export LC_ALL=C

INK='#142a5c'       # outline of the crown
BARK='#4a2e14'      # outline of the trunk and the apples

# The crown's round bumps, "x,y r" in the portrait's coordinates.
bumps=(
    "64,60 40"  "30,70 20" "98,70 20" "44,35 21" "84,35 21" "64,27 21"
    "38,90 18" "90,90 18" "64,96 20" "22,50 14" "106,50 14"
)

# svg DETAIL: the whole drawing; DETAIL is "full" or "small".
svg() {
    local detail=$1 outline=5 bark=2 c x y r
    [ "$detail" = small ] && { outline=8; bark=4; }
    cat <<SVG
<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="-12 2 152 152">
  <title>Kobaltfa</title>
  <ellipse cx="64" cy="146" rx="50" ry="7" fill="#7ccf5a" stroke="#3f8f2c" stroke-width="$bark"/>
  <path d="M 52,150 C 57,140 57,122 57,100 L 72,100 C 72,122 72,140 77,150 C 70,148 67,146 64.5,144 C 62,146 59,148 52,150 Z"
        fill="#8b5a2b" stroke="$BARK" stroke-width="$bark" stroke-linejoin="round"/>
SVG
    if [ "$detail" = full ]; then
        cat <<SVG
  <path d="M 61,104 C 61,116 62,126 62,136 M 68,108 C 68,118 67.6,124 67,130" fill="none" stroke="#6d4420" stroke-width="1.2"/>
SVG
    fi
    # The crown: every bump with a thick outline, then every bump again
    # without, so that only the outline of the whole cluster remains.
    echo "  <g fill=\"#1b3f9e\" stroke=\"$INK\" stroke-width=\"$outline\">"
    for b in "${bumps[@]}"; do c=${b% *}; r=${b#* }; x=${c%,*}; y=${c#*,}
        echo "    <circle cx=\"$x\" cy=\"$y\" r=\"$r\"/>"; done
    echo "  </g>"
    echo "  <g fill=\"#2458c9\">"
    for b in "${bumps[@]}"; do c=${b% *}; r=${b#* }; x=${c%,*}; y=${c#*,}
        echo "    <circle cx=\"$x\" cy=\"$y\" r=\"$r\"/>"; done
    echo "  </g>"
    if [ "$detail" = full ]; then
        # A lighter sheen on the upper left of each bump.
        echo "  <g fill=\"rgb(120,165,255)\" fill-opacity=\"0.45\">"
        for b in "${bumps[@]}"; do c=${b% *}; r=${b#* }; x=${c%,*}; y=${c#*,}
            echo "    <ellipse cx=\"$((x - r / 3))\" cy=\"$((y - r / 3))\" rx=\"$((r / 3))\" ry=\"$((r / 4))\"/>"; done
        echo "  </g>"
        cat <<SVG
  <g fill="#ffffff" stroke="$INK" stroke-width="1.8">
    <ellipse cx="50" cy="60" rx="9.5" ry="11"/>
    <ellipse cx="78" cy="60" rx="9.5" ry="11"/>
  </g>
  <g fill="#1a1a2e"><circle cx="52" cy="62" r="5.5"/><circle cx="76" cy="62" r="5.5"/></g>
  <g fill="#ffffff"><circle cx="54" cy="59.5" r="2"/><circle cx="78" cy="59.5" r="2"/></g>
  <path d="M 42,44 C 46,41 52,41 56,43 M 72,43 C 76,41 82,41 86,44" fill="none" stroke="$INK" stroke-width="2.2" stroke-linecap="round"/>
  <g fill="rgb(255,128,160)" fill-opacity="0.7">
    <ellipse cx="38" cy="77" rx="6" ry="3.6"/><ellipse cx="90" cy="77" rx="6" ry="3.6"/>
  </g>
  <path d="M 49,76 C 53,93 75,93 79,76 C 70,79 58,79 49,76 Z" fill="#8c1c2c" stroke="$INK" stroke-width="2" stroke-linejoin="round"/>
  <path d="M 56,86 C 60,83 68,83 72,86 C 68,90.5 60,90.5 56,86 Z" fill="#ff7f96"/>
  <path d="M 51,77 C 59,79.6 69,79.6 77,77 L 76.4,79.4 C 68,81.6 60,81.6 51.6,79.4 Z" fill="#ffffff"/>
  <g fill="#e3262e" stroke="$BARK" stroke-width="1.4">
    <circle cx="26" cy="76" r="5"/><circle cx="104" cy="58" r="5"/>
    <circle cx="95" cy="104" r="5"/><circle cx="30" cy="104" r="5"/>
  </g>
  <path d="M 26,71 L 27,68 M 104,53 L 105,50 M 95,99 L 96,96 M 30,99 L 31,96" fill="none" stroke="$BARK" stroke-width="1.4" stroke-linecap="round"/>
  <g fill="#ffffff" fill-opacity="0.7">
    <circle cx="24.5" cy="74.5" r="1.5"/><circle cx="102.5" cy="56.5" r="1.5"/>
    <circle cx="93.5" cy="102.5" r="1.5"/><circle cx="28.5" cy="102.5" r="1.5"/>
  </g>
SVG
    else
        cat <<SVG
  <g fill="#e3262e" stroke="$BARK" stroke-width="3">
    <circle cx="32" cy="74" r="10"/><circle cx="94" cy="50" r="10"/>
  </g>
SVG
    fi
    echo "</svg>"
}

mkdir -p "$out/hicolor/scalable/apps"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
svg full >"$out/hicolor/scalable/apps/$ID.svg"
svg small >"$work/small.svg"
for n in 16 22 24 32 48 64 128 256; do
    src=$out/hicolor/scalable/apps/$ID.svg
    [ "$n" -le 24 ] && src=$work/small.svg
    mkdir -p "$out/hicolor/${n}x${n}/apps"
    rsvg-convert -w "$n" -h "$n" -f png -o "$out/hicolor/${n}x${n}/apps/$ID.png" "$src"
done
