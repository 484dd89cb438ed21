#!/usr/bin/env bash
# Regenerates the program's pictures in src/ui/res from drawing commands: the icon (16 and 32 pixels
# in the 16 standard colours, 48 in 32 bits, 256 as PNG), the 315 x 45 banner and the two skin
# pictures of the window frame at each drawn resolution (by make-skin.py). Needs ImageMagick
# (convert), python3 and the DejaVu fonts. The results are committed; run this only to change them.
# The link's 32 x 32 hand cursor comes from the picture in make-cursor.py.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
res="$here/../src/ui/res"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The 16 colours of the classic icon palette, in palette order.
colours=(black maroon green olive navy purple teal silver gray red lime yellow blue fuchsia aqua white)
args=()
for c in "${colours[@]}"; do args+=("xc:$c"); done
convert -size 1x1 "${args[@]}" +append -type TrueColor "$work/palette.png"
convert "$work/palette.png" -depth 8 "rgb:$work/palette.rgb"

# The icon: a navy tile with a yellow ring and tail (a "Q") around a red play mark.
convert -size 256x256 xc:none \
    -fill navy -draw "roundrectangle 8,8 247,247 40,40" \
    -fill none -stroke yellow -strokewidth 26 -draw "circle 128,120 128,48" \
    -strokewidth 28 -draw "line 160,160 214,224" \
    -stroke none -fill red -draw "polygon 106,84 106,156 166,120" \
    "$work/icon256.png"
for s in 16 32; do
    # Hard-edged alpha and exact palette colours for the 4-bit images.
    convert "$work/icon256.png" -resize "${s}x${s}" -channel A -threshold 50% +channel \
        +dither -remap "$work/palette.png" -depth 8 "rgba:$work/icon$s.rgba"
done
convert "$work/icon256.png" -resize 48x48 -depth 8 "rgba:$work/icon48.rgba"
convert "$work/icon256.png" -strip -depth 8 -define png:exclude-chunks=date,time \
    "PNG32:$work/icon256-small.png"
python3 "$here/make-icon.py" "$res/Quenlor.ico" "$work/palette.rgb" \
    "16:$work/icon16.rgba" "32:$work/icon32.rgba" "48:$work/icon48.rgba" \
    "256:$work/icon256-small.png"

# The banner: a navy-to-teal band with film-strip holes along both edges and the program's name.
holes=()
for x in $(seq 6 14 310); do
    holes+=(-draw "rectangle $x,2 $((x + 7)),6" -draw "rectangle $x,38 $((x + 7)),42")
done
convert -size 45x315 gradient:navy-teal -rotate -90 \
    -fill '#c0c0c0' "${holes[@]}" \
    -font DejaVu-Sans-Bold -pointsize 22 \
    -fill black -annotate +61+31 'Quenlor' -fill yellow -annotate +60+30 'Quenlor' \
    -font DejaVu-Sans -pointsize 12 -fill white -annotate +178+29 'projector → movie' \
    -colors 64 -type Palette -strip "BMP3:$res/Banner.bmp"
python3 "$here/make-cursor.py" "$res/Link.cur"
# The frame's skin: caption band and buttons, border tiles, at 96, 120, 144 and 192 DPI.
python3 "$here/make-skin.py" "$res"
ls -l "$res/Quenlor.ico" "$res/Banner.bmp" "$res/Link.cur" "$res"/PicCaption*.bmp "$res"/PicBorder*.bmp
