#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Draws the program's small pictures with ImageMagick:
#
#  - the nine 32 x 32 counting-aid icons (resources/icons/*.ico): apple,
#    banana, hamburger, jeep, car, teddy bear, tomato, grapes and train,
#    each one picture of 16 or 256 colours;
#  - the skins' glyphs (resources/pictures/skin-*.png): the arrows of the
#    spin boxes and scroll bars and the check-box tick, one set per skin in
#    that skin's ink;
#  - the skins' window textures: Aluminium's brushed metal, Smoky's veil of
#    smoke and Beijing's key-fret lattice, each a small seamless tile.
#
# Each skin is one line near the end of the skin part ("skin NAME ARROW
# TICK [TEXTURE ...]"); a new skin's pictures are one more such line.
#
# Every drawn picture is made in ImageMagick's vector language at eight times its
# final size in the coordinates of the final picture (a "scale 8,8" in front
# of the drawing), then scaled down, which gives smooth edges. Backgrounds are
# transparent. The icons keep bold dark outlines and bright colours so that
# a child tells them apart at 32 pixels.
#
# The output is deterministic: the noise of the textures is seeded, and no
# time stamps or other varying chunks are written.
#
# Usage: tools/make_icons.sh [icon-dir [glyph-dir]]
#        (defaults: resources/icons and resources/pictures)
# With PREVIEW=file.png in the environment it also writes a sheet of the
# icons at their real size and enlarged, on light, charcoal and red
# grounds, to judge them by eye.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
icons=${1:-$here/resources/icons}
glyphs=${2:-$here/resources/pictures}
command -v convert >/dev/null || { echo "make_icons: ImageMagick's convert is missing" >&2; exit 1; }
mkdir -p "$icons" "$glyphs"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C

SS=8   # supersampling factor

# render SIZE OUT.png MVG: draws MVG (coordinates in final pixels) on a
# transparent SIZE x SIZE canvas and writes a 32-bit PNG without time stamps.
render() {
    local size=$1 out=$2 mvg=$3
    local big=$((size * SS))
    convert -size "${big}x${big}" xc:none -draw "scale $SS,$SS
$mvg" \
        -filter Lanczos -resize "${size}x${size}" \
        -strip -define png:exclude-chunks=date,time,tIME PNG32:"$out"
}

# ---------------------------------------------------------------------------
# Counting-aid icons, 32 x 32.

INK='#2a1a12'      # the outline of every icon
LINE=1.5           # its width in final pixels

# The colours of each icon's palette: four icons have 256 colours, five 16.
# The 256 go to the four that lose most at 16 (the train's many parts, the
# hamburger's layers, the bear's shades of brown, the tomato's shine); the
# flat ones keep their look in 16.
declare -A COLOURS=([ALMA]=16 [BANAN]=16 [JEEP]=16 [KOCSI]=16 [SZOLO]=16
                    [HAMBURGER]=256 [MEDVE]=256 [PARADICSOM]=256 [VONAT]=256)

# icon NAME MVG: draws the icon and stores it as a one-picture .ico file of
# 16 or 256 colours (4 or 8 bits a pixel) with a transparency mask: pixels
# at least half opaque are kept, the others are transparent, and the kept
# colours are reduced to the icon's palette without dithering (at 32 pixels
# dithering shows as grain).
icon() {
    local name=$1 mvg=$2
    local colours=${COLOURS[$name]}
    render 32 "$work/$name.png" "stroke '$INK' stroke-width $LINE stroke-linejoin round stroke-linecap round
$mvg"
    convert "$work/$name.png" -channel A -threshold 50% +channel +dither -colors "$colours" \
        -type PaletteAlpha ICO:"$icons/$name.ico"
    local depth
    depth=$(od -An -tu2 -j12 -N2 "$icons/$name.ico" | tr -d ' ')
    [ "$depth" = "$(( colours == 16 ? 4 : 8 ))" ] \
        || { echo "make_icons: $name.ico has $depth bits a pixel, not $colours colours" >&2; exit 1; }
}

# An apple: deep red, taller than wide, a heart-shaped dip at the top, a
# brown stalk and one green leaf.
icon ALMA "fill '#e3262e'
path 'M 16,9.6 C 19,6.4 27.2,6 28.6,13.6 C 29.8,20.4 25.4,29.6 20.6,29.2 C 18.6,29 17.6,28.2 16,28.6
C 14.4,28.2 13.4,29 11.4,29.2 C 6.6,29.6 2.2,20.4 3.4,13.6 C 4.8,6 13,6.4 16,9.6 Z'
fill none stroke '#a3141b' stroke-width 1.2
path 'M 24.5,12 C 26.5,16 26,21 23.5,25'
stroke none fill 'rgba(255,255,255,0.75)'
ellipse 9,14.5 1.6,3.2 0,360
stroke '$INK' stroke-width 1.2 fill '#7a4a1e'
path 'M 15.2,10 C 15.4,7.4 15.6,5.6 17,3 L 18.6,3.8 C 17.4,6 17.2,7.6 17.2,10 Z'
fill '#43b02a' stroke-width 1.2
path 'M 18,6.6 C 19.4,2.8 24,1.6 27.6,2.8 C 26,6.4 21.6,8 18,6.6 Z'
fill none stroke '#23701a' stroke-width 0.8
line 19.2,6.1 25.4,3.4"

# A tomato: orange-red, much wider than tall, ribbed, a green star of
# sepals on top.
icon PARADICSOM "fill '#ff4f1f'
path 'M 16,9 C 20,8.2 27,8.6 29.6,13.6 C 31.6,18 29.4,25.6 23,27.8 C 19.4,29 12.6,29 9,27.8
C 2.6,25.6 0.4,18 2.4,13.6 C 5,8.6 12,8.2 16,9 Z'
fill none stroke '#c9300f' stroke-width 1.1
path 'M 11,10.2 C 7.6,14 7.4,22 10.4,27.4'
path 'M 21,10.2 C 24.4,14 24.6,22 21.6,27.4'
stroke none fill 'rgba(255,255,255,0.7)'
ellipse 8,15 1.5,2.6 0,360
stroke '$INK' stroke-width 1.2 fill '#3fae2a'
polygon 16,6.2 18.4,8.8 23.8,8.2 19.6,10.6 21.4,14 16,11.6 10.6,14 12.4,10.6 8.2,8.2 13.6,8.8
fill '#2f8f1f'
path 'M 15.1,7.6 L 15.4,3.4 L 17.2,3.4 L 16.9,7.6 Z'"

# A banana: a yellow crescent with a green-brown stalk and a dark tip.
icon BANAN "fill '#ffd93b'
path 'M 2.8,14.2 C 3.4,29.6 23.6,31.2 29,8.8 L 26.4,8.2 C 21,19.4 11.4,21 5.2,13.6 Z'
fill none stroke '#d9a400' stroke-width 1.1
path 'M 6.4,18.2 C 11.4,24.4 20.6,24.2 25.6,13.8'
stroke '$INK' stroke-width 1.2 fill '#7d8f2a'
path 'M 26.3,8.6 L 26.8,3.6 L 29.4,4 L 28.9,9.2 Z'
fill '#4a2e14'
ellipse 4,14.2 1.5,1.4 0,360"

# A hamburger: sesame bun, lettuce, cheese, patty, bottom bun.
icon HAMBURGER "fill '#e9a23b'
path 'M 3,15.4 C 3,7.6 9,4.2 16,4.2 C 23,4.2 29,7.6 29,15.4 Z'
stroke none fill '#fff6d8'
ellipse 10,9.4 1.1,0.7 -20,340
ellipse 16,7.4 1.1,0.7 0,360
ellipse 21.6,9.6 1.1,0.7 20,380
ellipse 13,12 1.1,0.7 0,360
ellipse 19,12.2 1.1,0.7 0,360
stroke '$INK' stroke-width 1.2 fill '#5cc52e'
path 'M 2,15.4 L 30,15.4 L 30,17 C 28.5,19 27,17 25.5,18.6 C 24,20 22.5,17.6 21,19 C 19.5,20.4 18,17.8 16,19.2
C 14,20.4 12.5,17.8 11,19 C 9.5,20.2 8,17.6 6.5,18.8 C 5,20 3.5,18.4 2,18.6 Z'
fill '#ffd02a'
path 'M 3,18.2 L 29,18.2 L 29,20 L 22,20 L 20,22.6 L 18,20 L 4,20 Z'
fill '#7a3e1c'
roundrectangle 3,19.6 29,23.6 2,2
fill '#e9a23b'
path 'M 3.2,23.6 L 28.8,23.6 L 28.8,25.6 C 28.8,27.6 27,28.6 25,28.6 L 7,28.6 C 5,28.6 3.2,27.6 3.2,25.6 Z'"

# A jeep: boxy, bright green, open top with a windscreen frame, big
# knobbly wheels and a spare wheel on the back.
icon JEEP "fill '#222222'
circle 3.6,17.6 3.6,21
fill '#8a8a8a' stroke-width 1
circle 3.6,17.6 3.6,19.2
stroke-width $LINE fill '#3aa635'
path 'M 4.2,12.6 L 18.6,12.6 L 20.2,15 L 28.6,15.4 C 29.8,15.5 30.2,16.2 30.2,17.2 L 30.2,22.2 L 4.2,22.2 Z'
fill '#a8dcff' stroke-width 1.2
polygon 16.4,12.6 18.8,5.2 21.6,5.2 20,12.6
fill none stroke-width 1.4
path 'M 6.2,12.6 L 6.8,8 L 13.2,8 L 13.8,12.6'
fill '#ffe94a' stroke-width 1
rectangle 28.2,16.6 30.2,18.6
stroke '#1f6b1c' stroke-width 1
line 15,13.4 15,21.2
stroke '$INK' stroke-width $LINE fill '#222222'
circle 9.4,23.4 9.4,28.8
circle 23.8,23.4 23.8,28.8
fill '#bdbdbd' stroke-width 1
circle 9.4,23.4 9.4,25.6
circle 23.8,23.4 23.8,25.6"

# A car: a rounded blue saloon with two windows.
icon KOCSI "fill '#1e88e5'
path 'M 2.4,22.8 L 2.4,18 C 2.4,16.2 3.4,15.2 5.4,14.8 L 9.4,14.2 L 12.2,9.2 C 12.8,8.2 13.6,7.8 14.8,7.8
L 21,7.8 C 22.2,7.8 23,8.4 23.6,9.4 L 26.2,14.2 L 27.8,14.6 C 29.2,15 29.8,16 29.8,17.4 L 29.8,22.8 Z'
fill '#d8f1ff' stroke-width 1.1
path 'M 10.8,14.4 L 13.4,10 C 13.7,9.5 14,9.3 14.6,9.3 L 17.8,9.3 L 17.8,14.4 Z'
path 'M 19.6,14.4 L 19.6,9.3 L 21,9.3 C 21.6,9.3 22,9.6 22.3,10.1 L 24.6,14.4 Z'
fill '#ffe94a' stroke-width 1
ellipse 28.2,17.6 1.2,1 0,360
fill '#ff5a4f'
rectangle 2.4,17.2 3.6,19
stroke '#11589b' stroke-width 0.9
line 18.7,15.2 18.7,21.8
stroke '$INK' stroke-width $LINE fill '#222222'
circle 9,23 9,27.8
circle 23.2,23 23.2,27.8
fill '#d6d6d6' stroke-width 1
circle 9,23 9,24.9
circle 23.2,23 23.2,24.9"

# A teddy bear's face: round ears, a light muzzle, a black nose, a smile.
icon MEDVE "fill '#a0622d'
circle 7.2,8 7.2,3.4
circle 24.8,8 24.8,3.4
fill '#e9b98a' stroke-width 1
circle 7.2,8 7.2,5.6
circle 24.8,8 24.8,5.6
stroke-width $LINE fill '#a0622d'
ellipse 16,17.6 12.6,11.6 0,360
fill '#f2d2a9' stroke-width 1.2
ellipse 16,22 6,4.8 0,360
stroke none fill '#1a1a1a'
ellipse 11.2,14.6 1.8,2.1 0,360
ellipse 20.8,14.6 1.8,2.1 0,360
fill '#ffffff'
circle 11.8,13.9 11.8,13.2
circle 21.4,13.9 21.4,13.2
fill '#1a1a1a' stroke '$INK' stroke-width 0.6
ellipse 16,19.6 2.6,1.8 0,360
fill none stroke '$INK' stroke-width 1.2
path 'M 16,21.4 L 16,23 M 12.6,22.6 C 13.6,24.8 15.4,24.6 16,23 C 16.6,24.6 18.4,24.8 19.4,22.6'
stroke none fill 'rgba(255,120,120,0.55)'
ellipse 7.4,20.2 1.8,1.2 0,360
ellipse 24.6,20.2 1.8,1.2 0,360"

# A bunch of purple grapes with a stalk and a leaf.
grape() {
    awk -v x="$1" -v y="$2" -v ink="$INK" 'BEGIN {
        printf "fill \"#8e3fbf\" stroke \"%s\" stroke-width 1.2\ncircle %g,%g %g,%g\n", ink, x, y, x, y + 3.5
        printf "stroke none fill \"rgba(255,255,255,0.6)\"\ncircle %g,%g %g,%g\n", x - 1.2, y - 1.2, x - 1.2, y - 0.5
    }'
}
icon SZOLO "fill '#6d8f1e' stroke-width 1.2
path 'M 15.2,9 C 15.4,6.4 16,4.4 17.8,2.4 L 19.2,3.4 C 17.8,5 17.2,6.8 17.2,9 Z'
fill '#48b52c'
path 'M 18.4,5.6 C 20,1.8 25.6,1 29,2.6 C 27.4,6.6 22.4,8 18.4,5.6 Z'
stroke-width 1.2
$(grape 6.6 11.6)$(grape 13 11.2)$(grape 19.4 11.2)$(grape 25.6 11.6)
$(grape 9.8 17.4)$(grape 16.2 17.2)$(grape 22.6 17.4)
$(grape 12.8 23)$(grape 19.4 23)
$(grape 16.1 28)"

# A steam engine: red cab, blue boiler, black chimney with a puff of
# steam, a yellow buffer beam and three wheels.
icon VONAT "fill '#ffffff' stroke-width 1
circle 26,3.6 26,1.4
circle 29.4,4.4 29.4,2.8
stroke-width $LINE fill '#2b2b2b'
path 'M 21,12.4 L 21.6,7.4 L 20.4,7.4 L 20.4,5.2 L 26.4,5.2 L 26.4,7.4 L 25.2,7.4 L 25.8,12.4 Z'
fill '#1e88e5'
path 'M 12,12.2 L 27.4,12.2 C 29.2,12.2 30,13.4 30,15 L 30,22.2 L 12,22.2 Z'
fill '#ffd02a' stroke-width 1
rectangle 12,15.6 30,17.2
stroke-width $LINE fill '#e53935'
rectangle 2.6,6.6 13.2,22.2
fill '#7a1f1f'
path 'M 1.4,6.8 L 14.2,6.8 L 14.2,4.4 L 1.4,4.4 Z'
fill '#d8f1ff' stroke-width 1.1
rectangle 5,9 11,13.8
fill '#ffd02a' stroke-width 1.1
polygon 30,22.2 31.2,27 26.8,22.2
stroke-width $LINE fill '#222222'
circle 7.6,23.8 7.6,29.4
circle 17.4,25.2 17.4,29.4
circle 24.6,25.2 24.6,29.4
fill '#c9c9c9' stroke-width 1
circle 7.6,23.8 7.6,26
circle 17.4,25.2 17.4,26.8
circle 24.6,25.2 24.6,26.8
stroke '#7a1f1f' stroke-width 1.4
line 7.6,23.8 24.6,23.8"

# ---------------------------------------------------------------------------
# Skin glyphs and textures: 9 x 9 arrows, a 12 x 12 tick, and for some skins
# a window texture drawn by one of the texture makers below.

glyph_set() {
    local skin=$1 arrow=$2 tick=$3
    render 9 "$glyphs/skin-$skin-up.png" "fill '$arrow' stroke '$arrow' stroke-width 0.6 stroke-linejoin round
polygon 1.2,6.6 4.5,2.4 7.8,6.6"
    render 9 "$glyphs/skin-$skin-down.png" "fill '$arrow' stroke '$arrow' stroke-width 0.6 stroke-linejoin round
polygon 1.2,2.4 4.5,6.6 7.8,2.4"
    render 9 "$glyphs/skin-$skin-left.png" "fill '$arrow' stroke '$arrow' stroke-width 0.6 stroke-linejoin round
polygon 6.6,1.2 2.4,4.5 6.6,7.8"
    render 9 "$glyphs/skin-$skin-right.png" "fill '$arrow' stroke '$arrow' stroke-width 0.6 stroke-linejoin round
polygon 2.4,1.2 6.6,4.5 2.4,7.8"
    render 12 "$glyphs/skin-$skin-tick.png" "fill none stroke '$tick' stroke-width 2.2
stroke-linecap round stroke-linejoin round
polyline 2.4,6.4 5,9 9.8,3"
}

# brushed OUT.png TILE-W TILE-H BASE STRENGTH: a seamlessly tiling texture of
# fine horizontal streaks over the colour BASE; STRENGTH is how far (in
# percent of full scale) the streaks stray from BASE.
brushed() {
    local out=$1 w=$2 h=$3 base=$4 strength=$5
    convert -size "${w}x${h}" xc:gray50 -seed 1979 +noise Random -colorspace Gray \
        -virtual-pixel tile -motion-blur 0x40+0 -motion-blur 0x40+180 -blur 0x0.4 \
        -auto-level +level "$((50 - strength))%,$((50 + strength))%" "$work/streaks.png"
    convert -size "${w}x${h}" "xc:$base" "$work/streaks.png" -compose Overlay -composite \
        -strip -define png:exclude-chunks=date,time,tIME PNG24:"$out"
}

# smoke OUT.png SIZE: a seamlessly tiling veil of soft white smoke, mostly
# transparent, laid over a dark window.
smoke() {
    local out=$1 size=$2
    convert -size "${size}x${size}" xc:gray50 -seed 4242 +noise Random -colorspace Gray \
        -virtual-pixel tile \( +clone -blur 0x22 -auto-level \) \( -clone 0 -blur 0x7 -auto-level \) \
        -delete 0 -compose Multiply -composite -auto-level -level 25%,100% \
        -evaluate multiply 0.16 "$work/veil.png"
    convert -size "${size}x${size}" xc:'#d8dde4' "$work/veil.png" -alpha off -compose CopyOpacity -composite \
        -strip -define png:exclude-chunks=date,time,tIME PNG32:"$out"
}

# lattice OUT.png: a faint golden key-fret lattice for red lacquer.
lattice() {
    render 32 "$1" "fill none stroke 'rgba(255,214,110,0.13)' stroke-width 1.4
stroke-linecap square
line 0,0.5 32,0.5
line 0.5,0 0.5,32
line 6,26 6,6  line 6,6 26,6  line 26,6 26,26  line 26,26 11,26
line 11,26 11,11  line 11,11 21,11  line 21,11 21,21  line 21,21 16,21"
}

# skin NAME ARROW TICK [TEXTURE ARGS...]: one skin's glyphs
# (skin-NAME-up.png, ...) with arrows in ARROW and the tick in TICK, and
# its window texture skin-NAME-TEXTURE.png, drawn by the maker TEXTURE.
# NAME is the glyph prefix of the skin's row in app/skin_table.cpp
# ("skin-NAME"), TEXTURE the row's texture.
skin() {
    local name=$1 arrow=$2 tick=$3
    glyph_set "$name" "$arrow" "$tick"
    if [ $# -gt 3 ]; then
        local texture=$4
        shift 4
        "$texture" "$glyphs/skin-$name-$texture.png" "$@"
    fi
}

#    name      arrow     tick      texture
skin aluminium '#353a41' '#ffffff' brushed 256 64 '#dfe2e6' 9
skin smoky     '#25272b' '#25272b' smoke 256
skin beijing   '#8a0d12' '#ffd54a' lattice
skin vista     '#173a6b' '#ffffff'
skin web       '#5f6368' '#ffffff'
skin elegant   '#1f4d36' '#fbf6e6'

if [ -n "${PREVIEW:-}" ]; then
    rows=()
    for ground in '#ffffff' '#2e3034' '#8e1216' '#dbe8f5'; do
        row=()
        for f in "$icons"/*.ico; do
            n=$(basename "$f" .ico)
            convert -size 232x200 "xc:$ground" \( "$f" -scale 600% \) -geometry +4+4 -composite \
                "$f" -geometry +196+4 -composite "$work/cell-$n.png"
            row+=("$work/cell-$n.png")
        done
        convert "${row[@]}" +append "$work/row-${#rows[@]}.png"
        rows+=("$work/row-${#rows[@]}.png")
    done
    convert "${rows[@]}" -append "$PREVIEW"
fi
