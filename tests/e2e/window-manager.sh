#!/usr/bin/env bash
# The real program under a window manager (openbox), which adds a title bar
# and borders around the window. A stored position far off the 1920 x 1080
# screen, (5000, 4000), must bring the whole frame back onto the screen, and
# the position saved on exit must start the window at the same place again.
# Usage: window-manager.sh <reverse binary> <screenshot folder>   (run under xvfb-run -s -noreset)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$(realpath "$1")
export SHOTS=$(realpath -m "$2")
mkdir -p "$SHOTS"
source "$here/lib.sh"

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
echo "window-manager: passed"
