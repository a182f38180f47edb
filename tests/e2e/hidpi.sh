#!/usr/bin/env bash
# The real program in a real X server at a device pixel ratio of 2: accept the
# new-game dialog and check on a screenshot that the window is twice its usual
# size and that the board is drawn at that resolution: 2-pixel pure black grid
# lines, a 480 x 480 board area, and labels and stones with detail finer than
# 2 x 2 blocks.
# Usage: hidpi.sh <reverse binary> <screenshot folder>   (run under xvfb-run)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$(realpath "$1")
export SHOTS=$(realpath -m "$2")
mkdir -p "$SHOTS"
source "$here/lib.sh"

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

# The column labels: drawn at device resolution, and crisp (black on white,
# hardly any grey).
labels="$((20 * ratio)) 0 $((240 * ratio)) $((20 * ratio))"
[ "$(detail $labels)" -gt 50 ] || fail "the column labels are an enlarged low-resolution picture"
read -r lx ly lw lh <<<"$labels"
grey=$(convert "$shot" -crop "${lw}x$lh+$((ox + lx))+$((oy + ly))" +repage \
    -fill black -opaque white -fill white +opaque black -format '%[fx:int(mean*w*h)]' info:)
[ "$grey" -lt $((lw * lh / 100)) ] || fail "$grey grey pixels in the column labels"

# The white stone on d4 comes from the high-resolution pictures.
[ "$(detail $(((30 * 4 - 7) * ratio)) $(((30 * 4 - 7) * ratio)) $((25 * ratio)) $((24 * ratio)))" -gt 50 ] ||
    fail "the stone on d4 is an enlarged low-resolution picture"

# The starting stones, sampled at their centres in device pixels.
stone() { pixel "$shot" $((ox + (30 * $1 + 5) * ratio)) $((oy + (30 * $2 + 5) * ratio)); }
[ "$(luminance "$(stone 4 4)")" -gt 170 ] || fail "d4 is not white: $(stone 4 4)"
[ "$(luminance "$(stone 5 4)")" -lt 90 ] || fail "e4 is not black: $(stone 5 4)"

exit_with_ctrl_x
echo "hidpi: passed"
