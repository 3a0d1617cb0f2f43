#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Draws the help window's picture, resources/pictures/portrait.jpg: the
# program's namesake, a smiling cobalt-blue tree on a sunny green hill,
# with a few red apples in its crown and an open book at its foot.
#
# The picture is drawn with ImageMagick's vector language at four times
# its final size (129 x 169, portrait format) in final-pixel coordinates
# and then scaled down, so that every edge is smooth. The JPEG is written
# without metadata, so the output is the same at every run.
#
# Usage: tools/make_portrait.sh [output.jpg]
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/resources/pictures/portrait.jpg}
command -v convert >/dev/null || { echo "make_portrait: ImageMagick's convert is missing" >&2; exit 1; }
mkdir -p "$(dirname "$out")"
export LC_ALL=C

W=129
H=169
SS=4

INK='#142a5c'       # outline of the crown
BARK='#4a2e14'      # outline of the trunk, the book and the apples

# The crown is a cluster of round bumps, drawn twice: first every bump with
# a thick outline, then every bump again without one, so that only the
# outline of the whole cluster remains.
bumps=(
    "64,60 40"  "30,70 20" "98,70 20" "44,35 21" "84,35 21" "64,27 21"
    "38,90 18" "90,90 18" "64,96 20" "22,50 14" "106,50 14"
)
crown_outline=""
crown_fill=""
crown_light=""
for b in "${bumps[@]}"; do
    c=${b% *}; r=${b#* }; x=${c%,*}; y=${c#*,}
    crown_outline+="circle $x,$y $x,$((y + r))
"
    crown_fill+="circle $x,$y $x,$((y + r))
"
    # a lighter sheen on the upper left of each bump
    crown_light+="ellipse $((x - r / 3)),$((y - r / 3)) $((r / 3)),$((r / 4)) 0,360
"
done

convert -size $((W * SS))x$((H * SS)) \
    gradient:'#a9d8ff-#eef8ff' \
    -draw "scale $SS,$SS
stroke none fill '#ffe066'
circle 112,18 112,29
fill 'rgba(255,224,102,0.35)'
circle 112,18 112,34
fill '#ffffff'
ellipse 20,16 11,5 0,360
ellipse 28,12 7,5 0,360
ellipse 14,12 6,4 0,360
fill '#7ccf5a' stroke '#3f8f2c' stroke-width 1.6
path 'M -2,142 C 30,130 90,128 131,138 L 131,171 L -2,171 Z'
fill '#6bbf4a' stroke none
path 'M -2,156 C 40,148 90,150 131,154 L 131,171 L -2,171 Z'
fill '#8b5a2b' stroke '$BARK' stroke-width 2
path 'M 52,150 C 57,140 57,122 57,100 L 72,100 C 72,122 72,140 77,150 C 70,148 67,146 64.5,144 C 62,146 59,148 52,150 Z'
fill none stroke '#6d4420' stroke-width 1.2
path 'M 61,104 C 61,116 62,126 62,136'
path 'M 68,108 C 68,118 67.6,124 67,130'
fill '#1b3f9e' stroke '$INK' stroke-width 5
$crown_outline
stroke none fill '#2458c9'
$crown_fill
fill 'rgba(120,165,255,0.45)'
$crown_light
fill '#ffffff' stroke '$INK' stroke-width 1.8
ellipse 50,60 9.5,11 0,360
ellipse 78,60 9.5,11 0,360
fill '#1a1a2e' stroke none
circle 52,62 52,67.5
circle 76,62 76,67.5
fill '#ffffff'
circle 54,59.5 54,61.5
circle 78,59.5 78,61.5
fill none stroke '$INK' stroke-width 2.2 stroke-linecap round
path 'M 42,44 C 46,41 52,41 56,43'
path 'M 72,43 C 76,41 82,41 86,44'
stroke none fill 'rgba(255,128,160,0.7)'
ellipse 38,77 6,3.6 0,360
ellipse 90,77 6,3.6 0,360
fill '#8c1c2c' stroke '$INK' stroke-width 2 stroke-linejoin round
path 'M 49,76 C 53,93 75,93 79,76 C 70,79 58,79 49,76 Z'
fill '#ff7f96' stroke none
path 'M 56,86 C 60,83 68,83 72,86 C 68,90.5 60,90.5 56,86 Z'
fill '#ffffff'
path 'M 51,77 C 59,79.6 69,79.6 77,77 L 76.4,79.4 C 68,81.6 60,81.6 51.6,79.4 Z'
fill '#e3262e' stroke '$BARK' stroke-width 1.4
circle 26,76 26,81
circle 104,58 104,63
circle 95,104 95,109
circle 30,104 30,109
fill none stroke '$BARK' stroke-width 1.4 stroke-linecap round
line 26,71 27,68
line 104,53 105,50
line 95,99 96,96
line 30,99 31,96
stroke none fill 'rgba(255,255,255,0.7)'
circle 24.5,74.5 24.5,76
circle 102.5,56.5 102.5,58
circle 93.5,102.5 93.5,104
circle 28.5,102.5 28.5,104
fill '#d63b3b' stroke '$BARK' stroke-width 1.4 stroke-linejoin round
path 'M 6,160 L 9,146 L 25,149 L 41,145 L 40,159 L 24,163 Z'
fill '#fffdf3'
path 'M 9,158 L 11,146.6 L 24,149.4 L 24,161 Z'
path 'M 24,149.4 L 38.6,146 L 37.6,157.6 L 24,161 Z'
fill none stroke '#8c7f5a' stroke-width 0.8
line 13,150 21,151.6
line 12.6,153 21,154.6
line 12.2,156 21,157.6
line 27,151.4 35.4,149.4
line 27,154.4 35,152.4
line 27,157.4 34.6,155.4
" \
    -filter Lanczos -resize "${W}x${H}!" \
    -strip -sampling-factor 1x1 -quality 92 JPEG:"$out"
