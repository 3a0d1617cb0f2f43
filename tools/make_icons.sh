#!/usr/bin/env bash
# Draws the program's small pictures with ImageMagick:
#
#  - the nine 32 x 32 counting-aid icons (resources/icons/*.ico): apple,
#    banana, hamburger, jeep, car, teddy bear, tomato, grapes and train;
#  - the skins' glyphs (resources/pictures/skin-*.png): the arrows of the
#    spin boxes and scroll bars and the check-box tick, one set per skin in
#    that skin's ink.
#
# Every picture is drawn in ImageMagick's vector language at eight times its
# final size in the coordinates of the final picture (a "scale 8,8" in front
# of the drawing), then scaled down, which gives smooth edges. Backgrounds are
# transparent. The icons keep bold dark outlines and bright colours so that
# a child tells them apart at 32 pixels.
#
# The output is deterministic: no time stamps or other varying chunks are
# written.
#
# Usage: tools/make_icons.sh [icon-dir [glyph-dir]]
#        (defaults: resources/icons and resources/pictures)
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
# Skin glyphs: 9 x 9 arrows, a 12 x 12 tick.

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

glyph_set aluminium '#353a41' '#ffffff'
glyph_set smoky '#25272b' '#25272b'
glyph_set beijing '#8a0d12' '#ffd54a'
glyph_set vista '#173a6b' '#ffffff'
glyph_set web '#5f6368' '#ffffff'
glyph_set elegant '#1f4d36' '#fbf6e6'

# brushed TILE-W TILE-H BASE STRENGTH OUT.png: a seamlessly tiling texture of
# fine horizontal streaks over the colour BASE; STRENGTH is how far (in
# percent of full scale) the streaks stray from BASE.
brushed() {
    local w=$1 h=$2 base=$3 strength=$4 out=$5
    convert -size "${w}x${h}" xc:gray50 -seed 1979 +noise Random -colorspace Gray \
        -virtual-pixel tile -motion-blur 0x40+0 -motion-blur 0x40+180 -blur 0x0.4 \
        -auto-level +level "$((50 - strength))%,$((50 + strength))%" "$work/streaks.png"
    convert -size "${w}x${h}" "xc:$base" "$work/streaks.png" -compose Overlay -composite \
        -strip -define png:exclude-chunks=date,time,tIME PNG24:"$out"
}

brushed 256 64 '#dfe2e6' 9 "$glyphs/skin-aluminium-brushed.png"

# smoke SIZE OUT.png: a seamlessly tiling veil of soft white smoke, mostly
# transparent, laid over the Smoky windows' charcoal.
smoke() {
    local size=$1 out=$2
    convert -size "${size}x${size}" xc:gray50 -seed 4242 +noise Random -colorspace Gray \
        -virtual-pixel tile \( +clone -blur 0x22 -auto-level \) \( -clone 0 -blur 0x7 -auto-level \) \
        -delete 0 -compose Multiply -composite -auto-level -level 25%,100% \
        -evaluate multiply 0.16 "$work/veil.png"
    convert -size "${size}x${size}" xc:'#d8dde4' "$work/veil.png" -alpha off -compose CopyOpacity -composite \
        -strip -define png:exclude-chunks=date,time,tIME PNG32:"$out"
}

smoke 256 "$glyphs/skin-smoky-smoke.png"

# The Beijing windows' lacquer carries a faint golden key-fret lattice.
render 32 "$glyphs/skin-beijing-lattice.png" "fill none stroke 'rgba(255,214,110,0.13)' stroke-width 1.4
stroke-linecap square
line 0,0.5 32,0.5
line 0.5,0 0.5,32
line 6,26 6,6  line 6,6 26,6  line 26,6 26,26  line 26,26 11,26
line 11,26 11,11  line 11,11 21,11  line 21,11 21,21  line 21,21 16,21"
