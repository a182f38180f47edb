# Helpers for driving the real program in a virtual X server with xdotool and
# reading its pixels from ImageMagick screenshots. Sourced by the scenarios.

shots=${SHOTS:-.}
step=0

fail() { echo "FAIL: $*" >&2; exit 1; }

# Wait up to 20 s for the server to answer, so that a server that never
# came up is reported as such rather than as a missing window.
for _ in $(seq 1 200); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done
xdpyinfo >/dev/null 2>&1 || fail "the X server at $DISPLAY does not answer"

# Waits up to 20 s for a window whose title is exactly $1; prints its id.
find_window() {
    local id
    for _ in $(seq 1 200); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    fail "no window titled '$1'"
}

# Waits up to 20 s until no visible window is titled $1.
wait_gone() {
    for _ in $(seq 1 200); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "window '$1' did not close"
}

focus() { xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"; sleep 0.2; }

# Saves a screenshot of window $1 as $shots/$2.png and sets shot to its path.
shoot() {
    shot="$shots/$2.png"
    import -window "$1" "$shot"
}

# "r g b" of pixel (x, y) of image $1.
pixel() {
    convert "$1" -format '%[fx:int(255*p{'"$2"','"$3"'}.r)] %[fx:int(255*p{'"$2"','"$3"'}.g)] %[fx:int(255*p{'"$2"','"$3"'}.b)]' info:
}

# Sets ox, oy: the window position of the client area's origin, found from the
# board's first green pixel, which is client (21, 21) just inside the grid.
find_client_origin() {
    local first
    convert "$1" txt:"$1.txt"
    first=$(awk -F: '/#009900/ { print $1; exit }' "$1.txt")
    rm -f "$1.txt"
    [ -n "$first" ] || fail "no board in $1"
    ox=$((${first%,*} - 21))
    oy=$((${first#*,} - 21))
}

# Pixel of client point (x, y) in image $1.
client_pixel() { pixel "$1" $((ox + $2)) $((oy + $3)); }

expect_pixel() { # image x y "r g b" what
    local got
    got=$(client_pixel "$1" "$2" "$3")
    [ "$got" = "$4" ] || fail "$5: pixel ($2,$3) is '$got', expected '$4' in $1"
}

luminance() { local r g b; read -r r g b <<<"$1"; echo $(((r * 299 + g * 587 + b * 114) / 1000)); }

expect_dark() { # image x y what
    local l; l=$(luminance "$(client_pixel "$1" "$2" "$3")")
    [ "$l" -lt 90 ] || fail "$4: pixel ($2,$3) luminance $l is not dark in $1"
}

expect_light() {
    local l; l=$(luminance "$(client_pixel "$1" "$2" "$3")")
    [ "$l" -gt 170 ] || fail "$4: pixel ($2,$3) luminance $l is not light in $1"
}

# Client centre of cell (column, row).
cell_x() { echo $((30 * $1 + 5)); }
cell_y() { echo $((30 * $1 + 5)); }

click_client() { # window x y
    xdotool mousemove --window "$1" $((ox + $2)) $((oy + $3)) click 1
}

title_of() { xdotool getwindowname "$1"; }

# Sets cell_c, cell_r to the first highlighted cell of image $1 in column-major
# order; fails when no cell is lit.
first_lit_cell() {
    local c r
    for c in 1 2 3 4 5 6 7 8; do
        for r in 1 2 3 4 5 6 7 8; do
            # A point inside the cell but outside its stone picture.
            if [ "$(client_pixel "$1" $((30 * c - 8)) $((30 * r - 8)))" = "0 204 102" ]; then
                cell_c=$c; cell_r=$r; return 0
            fi
        done
    done
    fail "no highlighted cell in $1"
}

# Client y of the middle of the record list's visible line k (0 at the top).
line_y() { echo $((167 + 13 * $1)); }

# The board's plain or lit green at client (x, y) of image $1: no stone there.
expect_board() { # image x y what
    local got
    got=$(client_pixel "$1" "$2" "$3")
    [ "$got" = "0 153 0" ] || [ "$got" = "0 204 102" ] || fail "$4: pixel ($2,$3) is '$got', not the board in $1"
}

expect_stone() { # image x y what
    local got
    got=$(client_pixel "$1" "$2" "$3")
    [ "$got" != "0 153 0" ] && [ "$got" != "0 204 102" ] || fail "$4: no stone at ($2,$3) in $1"
}

# Number of dark pixels (luminance below about 90) of image $1 in the client rectangle x y w h.
dark_pixels() {
    convert "$1" -crop "$4x$5+$((ox + $2))+$((oy + $3))" +repage -colorspace Gray -threshold 35% -negate \
        -format '%[fx:int(mean*w*h+0.5)]' info:
}

# Number of pure white pixels of image $1 in the client rectangle x y w h.
white_pixels() {
    convert "$1" -crop "$4x$5+$((ox + $2))+$((oy + $3))" +repage -fill black +opaque white \
        -format '%[fx:int(mean*w*h)]' info:
}

# Opens popup $1 (a letter: f or g) of the menu bar and takes item $2 (0-based,
# separators not counted) with the keyboard.
menu_item() {
    focus "$win"
    xdotool key "alt+$1"
    sleep 0.4
    for _ in $(seq 1 "$2"); do xdotool key Down; sleep 0.1; done
    xdotool key Return
    sleep 0.4
}

# A scratch folder $work holding the working folder run/, where the program
# starts and must write nothing, the configuration folder config/, set as
# XDG_CONFIG_HOME, and the state folder state/, set as XDG_STATE_HOME; config
# is the settings file's path.
enter_scratch() {
    work=$(mktemp -d)
    mkdir "$work/run"
    cd "$work/run"
    export XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"
    config="$XDG_CONFIG_HOME/tavix-reversi/config.dat"
}

working_folder_untouched() {
    [ -z "$(ls -A "$work/run")" ] || fail "the program wrote into its working folder: $(ls -A "$work/run")"
}

# Starts the program (with any leading VAR=value words) in a scratch folder
# (enter_scratch) and sets win to its main window once its new-game dialog has
# been accepted with Return; the program is killed and the folder removed on exit.
start_and_accept_new_game() {
    enter_scratch
    env "$@" &
    pid=$!
    trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT
    accept_new_game
}

# Accepts the new-game dialog with Return and sets win to the main window.
accept_new_game() {
    local dialog
    dialog=$(find_window "新規ゲーム")
    focus "$dialog"
    xdotool key Return
    wait_gone "新規ゲーム"
    win=$(find_window "Tavixリバーシ")
    sleep 0.5
}

# Ctrl+X in the main window must end the program.
exit_with_ctrl_x() {
    focus "$win"
    xdotool key ctrl+x
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    ! kill -0 "$pid" 2>/dev/null || fail "the program did not exit on Ctrl+X"
}

# Types path $2 into the file dialog titled $1, shoots it as $3 and accepts
# it; Return again while the name's completion list has taken the first one.
choose_file() {
    local dialog
    dialog=$(find_window "$1")
    focus "$dialog"
    xdotool key ctrl+a
    xdotool type --delay 20 "$2"
    sleep 0.3
    import -window "$dialog" "$SHOTS/$3.png"
    for _ in 1 2 3; do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || break
        xdotool key Return
        sleep 0.5
    done
    wait_gone "$1"
}
