#!/usr/bin/env bash
# Draws the program icon (a small clock face) at 16, 32 and 48 px and packs
# the three into src/resources/Kestrova.ico. Needs ImageMagick.
# The .ico is committed; run this only when the picture changes.
set -euo pipefail
cd "$(dirname "$0")/.."

if command -v magick >/dev/null 2>&1; then IM=(magick); else IM=(/usr/bin/convert); fi
out=src/resources/Kestrova.ico
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# One size: an MVG drawing at 8x, boxed down so strokes stay crisp.
# Small sizes get thicker strokes and no tick marks, or they turn to mush.
draw() {
  # At 16 px the centre sits in the middle of a pixel so 1-px hands stay sharp.
  local size=$1 rim hand tick shift
  case $size in
    16) rim=3.4; hand=3.0; tick=0; shift=0.5 ;;
    32) rim=2.6; hand=2.8; tick=2.0; shift=0 ;;
    *) rim=2.4; hand=2.6; tick=1.8; shift=0 ;;
  esac
  awk -v big=$((size * 8)) -v rim="$rim" -v hand="$hand" -v tick="$tick" -v shift="$shift" 'BEGIN {
    u = big / 48; c = big / 2 - shift * 8; r = 22 * u; ri = r - rim * u; pi = 3.14159265
    printf "stroke-linecap round\n"
    printf "stroke none fill \"#1d4f91\" circle %f,%f %f,%f\n", c, c, c, c - r
    printf "fill \"#fbfbf5\" circle %f,%f %f,%f\n", c, c, c, c - ri
    if (tick > 0) {
      printf "stroke \"#1d4f91\" stroke-width %f\n", tick * u
      for (h = 0; h < 12; h++) {
        a = h * pi / 6; len = (h % 3 == 0) ? 4.5 * u : 2.5 * u; o = ri - 1.2 * u
        printf "line %f,%f %f,%f\n", c + sin(a) * o, c - cos(a) * o, c + sin(a) * (o - len), c - cos(a) * (o - len)
      }
    }
    # Three o clock: an L shape still reads as a clock at 16 px.
    ha = pi / 2; ma = 0
    printf "stroke \"#202020\" stroke-width %f line %f,%f %f,%f\n", hand * u, c, c, c + sin(ha) * ri * 0.6, c - cos(ha) * ri * 0.6
    printf "stroke-width %f line %f,%f %f,%f\n", hand * u * 0.75, c, c, c + sin(ma) * ri * 0.82, c - cos(ma) * ri * 0.82
    printf "stroke none fill \"#c0392b\" circle %f,%f %f,%f\n", c, c, c, c - hand * u * 0.75
  }' >"$tmp/clock$size.mvg"
  "${IM[@]}" -size $((size * 8))x$((size * 8)) xc:none -draw "$(cat "$tmp/clock$size.mvg")" \
    -filter Box -resize "${size}x${size}" "PNG32:$tmp/clock$size.png"
}

for s in 16 32 48; do draw "$s"; done
"${IM[@]}" "$tmp/clock16.png" "$tmp/clock32.png" "$tmp/clock48.png" "$out"
echo "wrote $out"
