#!/usr/bin/env bash
# The real program under a window manager (openbox), which adds a title bar
# and borders around the window. A stored position far off the 1280 x 900
# screen, (5000, 4000), must bring the whole frame back onto the screen, and
# the position saved on exit must start the window at the same place again.
# Then every kind of window at every scale (see below).
# Usage: window-manager.sh <reverse binary> <screenshot folder>   (run under xvfb-run -s -noreset)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh" "$@"

openbox --sm-disable >/dev/null 2>&1 &
wm=$!
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_until "$patience" wm_running || fail "openbox did not start"

read -r screen_w screen_h <<<"$(xwininfo -root | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')"

# Sets fx fy fw fh: the frame of window $1, title bar and borders included.
frame_of() {
    local x y w h left right top bottom
    read -r x y w h <<<"$(xwininfo -id "$1" |
        awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
             /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }')"
    read -r left right top bottom <<<"$(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')"
    fx=$((x - left)) fy=$((y - top)) fw=$((w + left + right)) fh=$((h + top + bottom))
    [ "$top" -gt 0 ] || fail "the window manager gave the window no title bar"
}

frame_on_screen() {
    frame_of "$1"
    [ "$fx" -ge 0 ] && [ "$fy" -ge 0 ] && [ $((fx + fw)) -le "$screen_w" ] && [ $((fy + fh)) -le "$screen_h" ]
}

# Waits for the frame of window $1 to lie wholly on the screen.
expect_frame_on_screen() {
    wait_until "$patience" frame_on_screen "$1" ||
        fail "frame ${fw}x$fh at ($fx, $fy) leaves the ${screen_w}x$screen_h screen"
}

# Left and top as config.dat stores them: 32-bit little-endian at bytes 8 and 12.
stored_position() { od -A n -j 8 -N 8 -t d4 "$config" | awk '{ print $1, $2 }'; }

# The program stores its place a second after the window last moved: once it
# holds the frame's place, the window manager and the program are done.
stored_at_frame() { frame_of "$1"; [ "$(stored_position)" = "$fx $fy" ]; }

enter_scratch
trap 'kill ${pid:-} $wm 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$(dirname "$config")"
# Both players persons, a wait of 200 ms, left 5000, top 4000.
printf '\x00\x00\x00\x00\xc8\x00\x00\x00\x88\x13\x00\x00\xa0\x0f\x00\x00' >"$config"

run_once() { # screenshot name
    "$bin" &
    pid=$!
    local dialog
    dialog=$(find_window "新規ゲーム")
    focus "$dialog"
    xdotool key Return
    wait_gone "新規ゲーム"
    win=$(find_window "Tavixリバーシ")
    expect_frame_on_screen "$win"
    wait_until "$patience" stored_at_frame "$win" || fail "saved position $(stored_position), frame at ($fx, $fy)"
    echo "$1: frame ${fw}x$fh at ($fx, $fy) on a ${screen_w}x$screen_h screen"
    import -window root "$SHOTS/$1.png"
    exit_with_ctrl_x
}

run_once 01-restored-from-5000-4000
first="$fx $fy"
[ "$(stored_position)" = "$first" ] || fail "saved position $(stored_position), frame at $first"

# The saved position is on the screen: the window opens there unchanged.
run_once 02-second-start
[ "$fx $fy" = "$first" ] || fail "the second start moved the frame from $first to ($fx, $fy)"
[ "$(stored_position)" = "$first" ] || fail "the second start saved $(stored_position)"
# Every window on this 1280 x 900 screen, at every scale. At a device pixel
# ratio of 1.5 a position stored low on the screen (top 413, where the window
# stood at ratio 1) brings the whole frame back onto it, and so do the message
# box of a record that cannot be opened and the new-game dialog, centred over
# the main window. At 2, the analysis window of a whole game fits. At 100%,
# 200% chosen in the 表示 menu keeps the larger frame on the screen, and the
# next start opens at 200%.
le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24)); }
stored_at() { printf "\\x00\\x00\\x00\\x00\\xc8\\x00\\x00\\x00$(le32 "$1")$(le32 "$2")" >"$config"; } # left top
centre_of() { frame_of "$1"; echo "$((fx + fw / 2)) $((fy + fh / 2))"; }
# Whether centres "$1" and "$2" lie within 40 pixels of each other.
near() {
    local ax ay bx by
    read -r ax ay <<<"$1"
    read -r bx by <<<"$2"
    [ $(((ax - bx) * (ax - bx) + (ay - by) * (ay - by))) -le 1600 ]
}

stored_at 100 413
: >"$work/empty.txt"
QT_SCALE_FACTOR=1.5 "$bin" "$work/empty.txt" &
pid=$!
box=$(find_window "棋譜を開けません")
expect_frame_on_screen "$box"
box_centre=$(centre_of "$box")
import -window root "$SHOTS/03-ratio-1.5-message-box.png"
focus "$box"
xdotool key Return
dialog=$(find_window "新規ゲーム")
expect_frame_on_screen "$dialog"
dialog_centre=$(centre_of "$dialog")
import -window root "$SHOTS/04-ratio-1.5-new-game.png"
focus "$dialog"
xdotool key Return
wait_gone "新規ゲーム"
win=$(find_window "Tavixリバーシ")
expect_frame_on_screen "$win"
echo "ratio 1.5: frame ${fw}x$fh at ($fx, $fy)"
near "$box_centre" "$(centre_of "$win")" || fail "the message box at $box_centre, not over the main window"
near "$dialog_centre" "$(centre_of "$win")" || fail "the new-game dialog at $dialog_centre, not over the main window"
import -window root "$SHOTS/05-ratio-1.5-restored-low.png"
exit_with_ctrl_x

echo "d3e3f6c3e2g7c5f5b3c6c7e1h8c2d6b6d2e6g6c8c1b4b5a5f1g5g4a3f3h7a6d7a4f2a2c4f7g2h6g1g3f8h1b2e7b7a1f4b8e8d1h4h3g8h5b1d8h2a7a8" >"$work/game.txt"
QT_SCALE_FACTOR=2 "$bin" "$work/game.txt" &
pid=$!
win=$(find_window "Tavixリバーシ")
expect_frame_on_screen "$win"
menu_item f 7 # 棋譜解析: この局面から対局 is grayed at the last line
review=$(find_window "棋譜解析")
expect_frame_on_screen "$review"
echo "ratio 2: analysis window ${fw}x$fh at ($fx, $fy)"
import -window root "$SHOTS/06-ratio-2-analysis.png"
focus "$review"
xdotool key Escape
wait_gone "棋譜解析"
exit_with_ctrl_x

stored_at 700 250
"$bin" &
pid=$!
dialog=$(find_window "新規ゲーム")
focus "$dialog"
xdotool key Return
wait_gone "新規ゲーム"
win=$(find_window "Tavixリバーシ")
expect_frame_on_screen "$win"
menu_item v 2
wider() { frame_of "$win"; [ "$fw" -gt 1068 ]; }
wait_until "$patience" wider || fail "the window did not grow to 200%: ${fw}x$fh"
expect_frame_on_screen "$win"
echo "200%: frame ${fw}x$fh at ($fx, $fy)"
import -window root "$SHOTS/07-size-200.png"
grep -qx "window-scale=200" "$(dirname "$config")/preferences.conf" || fail "200% not kept in preferences.conf"
exit_with_ctrl_x
[ "$(stat -c %s "$config")" = 16 ] || fail "config.dat is not 16 bytes"
"$bin" &
pid=$!
dialog=$(find_window "新規ゲーム")
focus "$dialog"
xdotool key Return
win=$(find_window "Tavixリバーシ")
wait_until "$patience" wider || fail "the next start is not at 200%: ${fw}x$fh"
expect_frame_on_screen "$win"
exit_with_ctrl_x
echo "window-manager: passed"
