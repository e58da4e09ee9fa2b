#!/usr/bin/env bash
# make-icon.sh: draws the launcher's application icon, resources/BrinmoorSetup.ico
# (16, 32, 48 and 256 pixels), with ImageMagick. The icon is committed; the
# build does not run this.
#
# A white package on a deep teal rounded square. Every size is drawn at four
# times its size and scaled down, so the small sizes stay crisp enough.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Coordinates below are for a 256-pixel image; s scales them.
draw() {
    local size=$1 big=$(($1 * 4))
    local s
    s=$(awk -v b="$big" 'BEGIN { printf "%.6f", b / 256 }')
    local p
    p() { awk -v s="$s" '{ out = ""; for (i = 1; i <= NF; i++) { split($i, xy, ","); out = out sprintf("%.1f,%.1f ", xy[1] * s, xy[2] * s) } print out }' <<<"$1"; }

    convert -size "${big}x${big}" gradient:'#168A90'-'#073F45' "$work/gradient.png"
    convert -size "${big}x${big}" xc:none -fill white \
        -draw "roundrectangle $(p '8,8 247,247') $(awk -v s="$s" 'BEGIN { printf "%.1f,%.1f", 44 * s, 44 * s }')" \
        "$work/mask.png"
    convert "$work/gradient.png" "$work/mask.png" -alpha off -compose CopyOpacity -composite \
        -compose Over \
        -fill '#FFFFFF' -draw "polygon $(p '128,50 206,91 128,132 50,91')" \
        -fill '#E3F2F3' -draw "polygon $(p '50,91 128,132 128,214 50,173')" \
        -fill '#B7DDE0' -draw "polygon $(p '128,132 206,91 206,173 128,214')" \
        -fill '#5FB3B9' -draw "polygon $(p '78,77.5 100,65.5 178,106.5 156,118.5')" \
        -fill '#4A9CA2' -draw "polygon $(p '156,118.5 178,106.5 178,188.5 156,200.5')" \
        -resize "${size}x${size}" "$work/icon-$size.png"
}

for size in 16 32 48 256; do
    draw "$size"
done
convert "$work/icon-16.png" "$work/icon-32.png" "$work/icon-48.png" "$work/icon-256.png" \
    -depth 8 "$here/BrinmoorSetup.ico"
