#!/usr/bin/env bash
# The real program in a real X server at device pixel ratios of 2, 1.5 and 1.
# At 2: the window is twice its usual size and the board is drawn at that
# resolution (2-pixel pure black grid lines, a 480 x 480 board area, labels
# and stones with detail finer than 2 x 2 blocks), and a click on the last
# device pixel of a cell lands in that cell. At every ratio: the record list
# and the message line have their frames on all four edges. The labels'
# weights at 1.5 match those at 2 glyph for glyph, and at 1 they stay
# unsmoothed. Crops of the status panel, the record list and the message line
# at each ratio are kept beside the screenshots.
# Usage: hidpi.sh <reverse binary> <screenshot folder>   (run under xvfb-run -s -noreset)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh" "$@"

# Sets ox, oy: the device position of the client origin in $shot at $ratio,
# from the board's first green pixel, client (21, 21).
client_origin_at_ratio() {
    local box gx gy
    box=$(convert "$shot" -fill black +opaque "#009900" -fill white -opaque "#009900" -trim -format '%X %Y' info:)
    read -r gx gy <<<"$box"
    ox=$((${gx#+} - $(dev 21 "$ratio")))
    oy=$((${gy#+} - $(dev 21 "$ratio")))
}

lum_at() { luminance "$(pixel "$shot" "$1" "$2")"; }

# A frame line (grey, not the white around a control or a scroll bar's light
# trough) at device (x, y) or at one of the device pixels either side along
# $3 (x or y): where exactly the outermost pixel falls depends on rounding.
expect_line_near() { # x y axis what
    local d x y
    for d in -1 0 1; do
        x=$1; y=$2
        if [ "$3" = x ]; then x=$((x + d)); else y=$((y + d)); fi
        [ "$(lum_at "$x" "$y")" -lt 220 ] && return 0
    done
    fail "$4: no frame line at device ($1,$2) at ratio $ratio in $shot"
}

# The four edges of the control at logical x y w h, checked at logical points
# (mx, my) along them: each edge is drawn on the control's outermost pixels.
expect_frame() { # name x y w h mx my
    local left top right bottom
    left=$((ox + $(dev "$2" "$ratio")))
    top=$((oy + $(dev "$3" "$ratio")))
    right=$((ox + $(dev $(($2 + $4)) "$ratio") - 1))
    bottom=$((oy + $(dev $(($3 + $5)) "$ratio") - 1))
    expect_line_near "$left" $((oy + $(dev "$7" "$ratio"))) x "$1 left edge"
    expect_line_near "$right" $((oy + $(dev "$7" "$ratio"))) x "$1 right edge"
    expect_line_near $((ox + $(dev "$6" "$ratio"))) "$top" y "$1 top edge"
    expect_line_near $((ox + $(dev "$6" "$ratio"))) "$bottom" y "$1 bottom edge"
}

# Keeps the logical client rectangle x y w h of $shot as $SHOTS/<name>.png.
crop_part() { # name x y w h
    convert "$shot" -crop "$(($(dev $(($2 + $4)) "$ratio") - $(dev "$2" "$ratio")))x$(($(dev $(($3 + $5)) "$ratio") - $(dev "$3" "$ratio")))+$((ox + $(dev "$2" "$ratio")))+$((oy + $(dev "$3" "$ratio")))" +repage "$SHOTS/$1.png"
}

# Ink (the sum of darkness, 1 for a black pixel) of every board label in $shot:
# columns a to h, then rows 1 to 8, one per line.
label_inks() {
    local i
    ink() { # logical x y w h
        convert "$shot" -crop "$(($(dev $(($1 + $3)) "$ratio") - $(dev "$1" "$ratio")))x$(($(dev $(($2 + $4)) "$ratio") - $(dev "$2" "$ratio")))+$((ox + $(dev "$1" "$ratio")))+$((oy + $(dev "$2" "$ratio")))" +repage \
            -colorspace Gray -negate -format '%[fx:mean*w*h]\n' info:
    }
    for i in 1 2 3 4 5 6 7 8; do ink $((30 * i)) 2 16 17; done
    for i in 1 2 3 4 5 6 7 8; do ink 2 $((30 * i - 5)) 16 17; done
}

# The frames of the record list and the message line, checked on a
# screenshot without a selected line.
check_frames() {
    expect_frame "record list" 300 160 200 91 400 200
    expect_frame "message line" 20 265 500 40 270 285
}

crop_parts() {
    crop_part "ratio-$ratio-status" 295 15 235 125
    crop_part "ratio-$ratio-record-list" 295 155 210 102
    crop_part "ratio-$ratio-message-line" 15 260 510 50
}

ratio=2
start_and_accept_new_game QT_SCALE_FACTOR=$ratio "$bin"
shoot "$win" 01-start

width=$(identify -format '%w' "$shot")
[ "$width" -ge $((534 * ratio)) ] && [ "$width" -le $((534 * ratio + 20)) ] ||
    fail "window is $width pixels wide, expected about $((534 * ratio))"

# The green's bounding box: the board area is 240 x 240 logical pixels, its
# first grid line (2 device pixels) at the top and left edge.
box=$(convert "$shot" -fill black +opaque "#009900" -fill white -opaque "#009900" -trim -format '%w %h %X %Y' info:)
read -r gw gh gx gy <<<"$box"
gx=${gx#+}
gy=${gy#+}
board=$((240 * ratio))
[ "$gw" = $((board - ratio)) ] && [ "$gh" = $((board - ratio)) ] ||
    fail "green area is ${gw}x${gh}, expected $((board - ratio)) square (a $board board less its first line)"
ox=$((gx - 21 * ratio))
oy=$((gy - 21 * ratio))
greens=$(convert "$shot" -crop "${board}x${board}+$((ox + 20 * ratio))+$((oy + 20 * ratio))" +repage \
    -fill black +opaque "#009900" -fill white -opaque "#009900" -format '%[fx:int(mean*w*h)]' info:)
[ "$greens" -gt $((board * board / 2)) ] || fail "only $greens green pixels in the ${board}x$board board"

# A device row through row 1 of the board, which holds no stones at the start:
# each grid line is exactly $ratio pixels of pure black between green (or the
# white margin beside the board).
row=$((oy + 35 * ratio))
convert "$shot" -crop "$((250 * ratio))x1+$((ox + 15 * ratio))+$row" +repage txt:"$work/row.txt"
colour_at() { # device x relative to the client
    awk -F'[ ,:]+' -v x=$(($1 - 15 * ratio)) '$1 == x { print $0; exit }' "$work/row.txt" | grep -o '#[0-9A-F]\{6\}'
}
for line in 0 1 4 8; do
    at=$(((20 + 30 * line) * ratio))
    for d in $(seq 0 $((ratio - 1))); do
        [ "$(colour_at $((at + d)))" = "#000000" ] || fail "grid line $line: device x $((at + d)) is $(colour_at $((at + d)))"
    done
    before=$(colour_at $((at - 1)))
    after=$(colour_at $((at + ratio)))
    [ "$before" = "#009900" ] || [ "$line" = 0 -a "$before" = "#FFFFFF" ] ||
        fail "grid line $line: $before left of it, expected green or white"
    [ "$after" = "#009900" ] || [ "$line" = 8 -a "$after" = "#FFFFFF" ] ||
        fail "grid line $line: $after right of it, expected green or white"
done

# Number of device pixels of the client rectangle x y w h (device pixels) that
# differ from the same picture enlarged from every second pixel: 0 for an
# image drawn at half the resolution and blown up.
detail() {
    convert "$shot" -crop "$3x$4+$((ox + $1))+$((oy + $2))" +repage "$work/part.png"
    convert "$work/part.png" -sample 50% -sample 200% "$work/coarse.png"
    compare -metric AE "$work/part.png" "$work/coarse.png" null: 2>&1 || true
}

# The column labels are drawn at device resolution (their weights are
# compared with those at 1.5 below).
[ "$(detail $((20 * ratio)) 0 $((240 * ratio)) $((20 * ratio)))" -gt 50 ] ||
    fail "the column labels are an enlarged low-resolution picture"

# The white stone on d4 comes from the high-resolution pictures.
[ "$(detail $(((30 * 4 - 7) * ratio)) $(((30 * 4 - 7) * ratio)) $((25 * ratio)) $((24 * ratio)))" -gt 50 ] ||
    fail "the stone on d4 is an enlarged low-resolution picture"

# The starting stones, sampled at their centres in device pixels.
stone() { pixel "$shot" $((ox + (30 * $1 + 5) * ratio)) $((oy + (30 * $2 + 5) * ratio)); }

# Black's c4 is on the board, and the repaint after its turned stone has
# drawn White's turn.
c4_played() {
    [ "$(luminance "$(pixel "$shot" $((ox + $(dev 95 "$ratio"))) $((oy + $(dev 125 "$ratio"))))")" -lt 90 ] &&
        [ "$(turn_disc "$shot")" = O ]
}
[ "$(luminance "$(stone 4 4)")" -gt 170 ] || fail "d4 is not white: $(stone 4 4)"
[ "$(luminance "$(stone 5 4)")" -lt 90 ] || fail "e4 is not black: $(stone 5 4)"
check_frames

# The last device column of c4 (logical 109.5) is c4, Black's move; rounded,
# it would be the taken d4 and nothing would happen.
xdotool mousemove --window "$win" $((ox + 2 * 110 - 1)) $((oy + 125 * ratio)) click 1
wait_shot "$win" 02-half-pixel-click-on-c4 "c4 played after a click on its last device column" c4_played
crop_parts
label_inks >"$SHOTS/label-inks-2.txt"
exit_with_ctrl_x

# Between runs: the scratch folder of the last one goes.
for ratio in 1.5 1; do
    cd /
    rm -rf "$work"
    start_and_accept_new_game QT_SCALE_FACTOR=$ratio "$bin"
    shoot "$win" "ratio-$ratio-start"
    client_origin_at_ratio
    check_frames
    xdotool mousemove --window "$win" $((ox + $(dev 95 $ratio))) $((oy + $(dev 125 $ratio))) click 1
    wait_shot "$win" "ratio-$ratio-after-c4" "c4 played at ratio $ratio" c4_played
    crop_parts
    label_inks >"$SHOTS/label-inks-$ratio.txt"
    if [ "$ratio" = 1 ]; then
        # At 1 the labels stay as they always were: unsmoothed, pure black on white.
        grey=$(convert "$shot" -crop "240x19+$((ox + 20))+$oy" +repage \
            -fill black -opaque white -fill white +opaque black -format '%[fx:int(mean*w*h)]' info:)
        [ "$grey" = 0 ] || fail "$grey smoothed pixels in the column labels at ratio 1"
    fi
    exit_with_ctrl_x
done

# Glyph for glyph, the ink at 2 is (2 / 1.5)^2 times that at 1.5 when the
# weights are even. Unsmoothed, some glyphs of the scaled font came out twice
# as heavy as their neighbours at 1.5.
spread=$(paste "$SHOTS/label-inks-1.5.txt" "$SHOTS/label-inks-2.txt" |
    awk '{ r = $2 / $1; if (NR == 1 || r < lo) lo = r; if (NR == 1 || r > hi) hi = r } END { printf "%.3f", hi / lo }')
awk -v s="$spread" 'BEGIN { exit !(s < 1.15) }' ||
    fail "label weights at 1.5 against 2 vary by a factor of $spread (uneven glyphs)"

echo "hidpi: passed"
