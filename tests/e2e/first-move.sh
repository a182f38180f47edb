#!/usr/bin/env bash
# The real program in a real X server: accept the new-game dialog, click d3,
# and check the placed and the turned stone on a screenshot.
# Usage: first-move.sh <reverse binary> <screenshot folder>   (run under xvfb-run)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh" "$@"

start_and_accept_new_game "$bin"
shoot "$win" 01-start

# Window and launcher as one: WM_CLASS carries the desktop entry's
# StartupWMClass, and the window icon comes at every size of the art.
wm_class=$(xprop -id "$win" WM_CLASS)
[ "$wm_class" = 'WM_CLASS(STRING) = "reverse", "net.tavix.Reversi"' ] || fail "$wm_class"
grep -qx 'StartupWMClass=net.tavix.Reversi' "$here/../../packaging/net.tavix.Reversi.desktop" ||
    fail "the desktop entry's StartupWMClass differs from the window's class"
icons=$(xprop -id "$win" -notype 32c _NET_WM_ICON | sed 's/^[^=]*= //' | tr -d ' \n' | tr ',' '\n' |
    awk 'skip > 0 { skip--; next } w == "" { w = $1; next } { printf "%sx%s ", w, $1; skip = w * $1; w = "" }')
[ "$icons" = "16x16 32x32 48x48 64x64 128x128 256x256 " ] || fail "window icon sizes: $icons"
find_client_origin "$shot"
expect_pixel "$shot" 125 95 "0 204 102" "d3 highlighted at the start"
expect_light "$shot" "$(cell_x 4)" "$(cell_y 4)" "d4 white at the start"

click_client "$win" "$(cell_x 4)" "$(cell_y 3)"
wait_settled "$win" 02-after-d3 5 O
expect_dark "$shot" "$(cell_x 4)" "$(cell_y 3)" "the placed stone on d3"
expect_dark "$shot" "$(cell_x 4)" "$(cell_y 4)" "the turned stone on d4"
expect_light "$shot" "$(cell_x 5)" "$(cell_y 5)" "e5 stays white"
[ "$(title_of "$win")" = "Tavixリバーシ" ] || fail "window title"

exit_with_ctrl_x
[ "$(stat -c %s "$config")" = 16 ] || fail "config.dat is not 16 bytes"
working_folder_untouched
echo "first-move: passed"
