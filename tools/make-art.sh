#!/bin/sh
# Draws the program's artwork from plain shapes and text and writes it into res/art/.
# The outputs are committed; the build uses them as they are and never runs this script.
#
# Needs (Debian 12): imagemagick (ImageMagick 6, /usr/bin/convert) and fonts-dejavu-core
# (DejaVu Sans, DejaVu Sans Bold). Run from anywhere:  sh tools/make-art.sh
#
#   tessora.ico          program, window and tray icon: 16, 24, 32, 48 and 256 pixels
#   about_banner.png     About box banner, 345 x 80, opaque
#   splash.png           start-up splash, 362 x 120, per-pixel alpha
#   actkey_panel.png     hotkey panel background, 456 x 79, per-pixel alpha; the panel draws its
#                        texts at x = 7 (action key), 205 (first key) and 395 (second key)
#   grid_253..262.bmp    grid layouts of the options window's first page, 300 x 169, 24-bit
set -eu

C=/usr/bin/convert
HERE=$(cd "$(dirname "$0")" && pwd)
OUT="$HERE/../res/art"
FONT=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
FONT_BOLD=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
for f in "$C" "$FONT" "$FONT_BOLD"; do
    [ -e "$f" ] || { echo "make-art: missing $f (packages imagemagick, fonts-dejavu-core)" >&2; exit 1; }
done
mkdir -p "$OUT"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# One palette for everything.
BLUE_TOP='#2F8FEA'      # brand gradient, light end
BLUE_BOTTOM='#0A4C9C'   # brand gradient, dark end
PANE='#FFFFFF'          # a window in a zone
PANE_SOFT='#DCEBFB'     # a second window
ACCENT='#FFB347'        # the window that is being placed
NAVY_TOP='#17304D'      # dark surfaces (splash, banner, panel)
NAVY_BOTTOM='#0C1A2B'
NAVY_EDGE='#2B4A6E'
MUTED='#A9BED4'         # secondary text on dark surfaces
TITLE_BAR='#C4DBF5'     # title bars of the windows in the grid pictures

# --- Icon --------------------------------------------------------------------------------
# A rounded tile split into three zones: one tall window on the left, two stacked on the
# right. Each size is drawn on its own pixel grid so that the zones keep crisp edges.
# Shapes are cut out of a gradient with DstIn; "-alpha set" first, or the later -draw calls
# bring the cut-away corners back as opaque black.
# icon SIZE MARGIN GAP TILE_RADIUS PANE_RADIUS FILE
icon() {
    s=$1 m=$2 g=$3 r=$4 pr=$5 file=$6
    half=$(((s - 2 * m - g) / 2))
    # A zero radius draws nothing as a rounded rectangle.
    shape="roundrectangle" corner=" $pr,$pr"
    [ "$pr" = 0 ] && shape="rectangle" corner=""
    l0=$m l1=$((m + half - 1)) r0=$((m + half + g)) r1=$((s - m - 1))
    $C -size "${s}x${s}" "gradient:$BLUE_TOP-$BLUE_BOTTOM" -alpha set \
        \( -size "${s}x${s}" xc:none -fill white \
           -draw "roundrectangle 0,0 $((s - 1)),$((s - 1)) $r,$r" \) \
        -compose DstIn -composite -compose Over \
        -fill "$PANE" -draw "$shape $l0,$l0 $l1,$r1$corner" \
        -fill "$PANE_SOFT" -draw "$shape $r0,$l0 $r1,$l1$corner" \
        -fill "$ACCENT" -draw "$shape $r0,$r0 $r1,$r1$corner" \
        "PNG32:$file"
}
icon 16 2 2 3 0 "$TMP/icon16.png"
icon 24 4 2 5 1 "$TMP/icon24.png"
icon 32 5 2 6 1.5 "$TMP/icon32.png"
icon 48 7 4 9 2.5 "$TMP/icon48.png"
icon 256 40 16 52 12 "$TMP/icon256.png"
# Metadata is stripped so that a rerun gives the same bytes.
# png32: the 256-pixel entry is stored as PNG, which must keep full RGBA (a palette PNG
# inside an icon is not decoded everywhere).
$C "$TMP/icon16.png" "$TMP/icon24.png" "$TMP/icon32.png" "$TMP/icon48.png" "$TMP/icon256.png" \
    -strip -define png:format=png32 "$OUT/tessora.ico"

# The 256-pixel icon reduced smoothly, for the splash and the banner.
mark() { $C "$TMP/icon256.png" -filter Lanczos -resize "$1x$1" "PNG32:$2"; }

# --- Splash ------------------------------------------------------------------------------
# A dark rounded card; outside it the window is fully transparent.
mark 76 "$TMP/mark76.png"
$C -size 362x120 "gradient:$NAVY_TOP-$NAVY_BOTTOM" -alpha set \
    \( -size 362x120 xc:none -fill white -draw "roundrectangle 0,0 361,119 14,14" \) \
    -compose DstIn -composite -compose Over \
    -fill none -stroke "$NAVY_EDGE" -strokewidth 1 -draw "roundrectangle 0.5,0.5 360.5,118.5 14,14" \
    -stroke none \
    "$TMP/mark76.png" -geometry +24+22 -composite \
    -fill white -font "$FONT_BOLD" -pointsize 40 -annotate +118+66 "Tessora" \
    -fill "$MUTED" -font "$FONT" -pointsize 13 -annotate +121+88 "Split-screen window arranger" \
    -fill "$PANE" -draw "rectangle 121,99 190,101" \
    -fill "$PANE_SOFT" -draw "rectangle 194,99 239,101" \
    -fill "$ACCENT" -draw "rectangle 243,99 288,101" \
    -strip "PNG32:$OUT/splash.png"

# --- About box banner --------------------------------------------------------------------
# Opaque; the box stretches it horizontally to its client width, so nothing on it may depend
# on the exact width. A faint zone layout fills the right-hand side.
mark 52 "$TMP/mark52.png"
$C -size 345x80 "gradient:$NAVY_TOP-$NAVY_BOTTOM" \
    -fill '#FFFFFF1C' -draw "roundrectangle 281,12 304,67 4,4" \
    -fill '#FFFFFF12' -draw "roundrectangle 309,12 332,37 4,4" \
    -fill '#2F8FEA4D' -draw "roundrectangle 309,42 332,67 4,4" \
    "$TMP/mark52.png" -geometry +18+14 -composite \
    -fill white -font "$FONT_BOLD" -pointsize 30 -annotate +82+43 "Tessora" \
    -fill "$MUTED" -font "$FONT" -pointsize 12 -annotate +84+62 "Split-screen window arranger" \
    -alpha off -type TrueColor -strip "PNG24:$OUT/about_banner.png"

# --- Hotkey panel background -------------------------------------------------------------
# Three key fields behind the panel's texts: the action key (drawn at x = 7, y = 22), the first
# key (x = 205, y = 19) and the second key (x = 395, y = 19), with "+" between them. The
# window adds its own constant alpha on top of this one.
$C -size 456x79 xc:none \
    -fill '#0F1A28EB' -draw "roundrectangle 0,0 455,78 14,14" \
    -fill '#1C2E45' -stroke "$NAVY_EDGE" -strokewidth 1 \
    -draw "roundrectangle 3.5,8.5 120.5,69.5 9,9" \
    -draw "roundrectangle 196.5,8.5 310.5,69.5 9,9" \
    -draw "roundrectangle 386.5,8.5 451.5,69.5 9,9" \
    -stroke none \
    -fill "$BLUE_TOP" -draw "rectangle 13,65 111,66" -draw "rectangle 206,65 301,66" \
    -fill "$ACCENT" -draw "rectangle 396,65 442,66" \
    -fill "$MUTED" -font "$FONT_BOLD" -pointsize 30 -gravity NorthWest \
    -annotate +148+20 "+" -annotate +338+20 "+" \
    -strip "PNG32:$OUT/actkey_panel.png"

# --- Grid layouts ------------------------------------------------------------------------
# The page shows each bitmap reduced to 150 x 85 with a plain (not smoothing) stretch, so each
# picture is drawn at 150 x 85 and enlarged by whole-pixel replication: every reduced pixel
# then comes from one flat block and the picture survives any stretch mode. Exact greys 128,
# 192 and 223 would be swapped for system colours when loaded, so the palette has none.
#
# A screen with a taskbar; r x c windows on the work area. "Ghost" cells, drawn as outlines,
# stand for the N more rows or columns of the free layouts.
# grid ID ROWS COLS GHOST   (GHOST: none, col = last column, row = last row, both)
GRID_W=138 GRID_H=68 GRID_X=6 GRID_Y=6 GAP=3
grid() {
    id=$1 rows=$2 cols=$3 ghost=$4
    set --
    r=0
    while [ $r -lt "$rows" ]; do
        c=0
        while [ $c -lt "$cols" ]; do
            x0=$((GRID_X + c * (GRID_W + GAP) / cols))
            x1=$((GRID_X + (c + 1) * (GRID_W + GAP) / cols - GAP - 1))
            y0=$((GRID_Y + r * (GRID_H + GAP) / rows))
            y1=$((GRID_Y + (r + 1) * (GRID_H + GAP) / rows - GAP - 1))
            is_ghost=0
            case $ghost in
                col) [ $c -eq $((cols - 1)) ] && is_ghost=1 ;;
                row) [ $r -eq $((rows - 1)) ] && is_ghost=1 ;;
                both) { [ $c -eq $((cols - 1)) ] || [ $r -eq $((rows - 1)) ]; } && is_ghost=1 ;;
            esac
            if [ $is_ghost -eq 1 ]; then
                set -- "$@" -fill '#FFFFFF26' -stroke '#FFFFFFB3' -strokewidth 1 \
                    -draw "stroke-dasharray 3 2 roundrectangle $x0.5,$y0.5 $((x1 - 1)).5,$((y1 - 1)).5 2,2" \
                    -stroke none
                if [ $c -eq $((cols - 1)) ] && [ $r -eq $((rows - 1)) ]; then
                    set -- "$@" -fill white -font "$FONT_BOLD" -pointsize 13 -gravity NorthWest \
                        -annotate "+$(((x0 + x1) / 2 - 4))+$(((y0 + y1) / 2 - 8))" "N"
                fi
            else
                set -- "$@" -fill "$PANE" -draw "roundrectangle $x0,$y0 $x1,$y1 2,2" \
                    -fill "$TITLE_BAR" -draw "rectangle $((x0 + 1)),$((y0 + 1)) $((x1 - 1)),$((y0 + 4))"
            fi
            c=$((c + 1))
        done
        r=$((r + 1))
    done
    $C -size 150x85 xc:'#1B2633' \
        \( -size 144x74 "gradient:$BLUE_TOP-$BLUE_BOTTOM" \) -geometry +3+3 -composite \
        -fill '#0E1C2C' -draw "rectangle 3,77 146,81" \
        -fill "$ACCENT" -draw "rectangle 6,78 9,80" \
        "$@" \
        -filter point -resize '300x169!' \
        -fill '#81807F' -opaque '#808080' -fill '#C1C0BF' -opaque '#C0C0C0' \
        -fill '#E0DFDE' -opaque '#DFDFDF' \
        -alpha off -type TrueColor "BMP3:$OUT/grid_$id.bmp"
}
grid 253 1 1 none
grid 255 1 2 none
grid 257 2 1 none
grid 256 1 3 none
grid 259 3 1 none
grid 258 2 2 none
grid 260 1 4 col
grid 261 3 1 row
grid 262 3 3 both
