# Helpers for driving the real program in a virtual X server with xdotool and
# reading its pixels from ImageMagick screenshots. Sourced by the scenarios,
# with their arguments: source lib.sh <reverse binary> <screenshot folder>.
#
# Nothing here sleeps for a fixed time to let the program catch up: each step
# waits for what it needs (a window, a file, the pixels of a state) for up to
# $patience seconds, which is generous for a sanitizer build on a busy
# machine, and fails saying what never came.

# Sourced with the scenario's arguments: the program and the folder for
# screenshots.
bin=$(realpath "$1")
export SHOTS=$(realpath -m "$2")
mkdir -p "$SHOTS"
shots=$SHOTS
patience=${E2E_PATIENCE:-60}

# The program speaks the language of the locale: Japanese, whatever the
# caller's, unless a scenario asks for another with E2E_LANG.
unset LANGUAGE LC_ALL LC_MESSAGES
export LANG=${E2E_LANG:-C.UTF-8}

# Says what failed and keeps the whole screen as it was then.
fail() {
    echo "FAIL: $*" >&2
    import -window root "$shots/failure-screen.png" 2>/dev/null || true
    exit 1
}

# Runs the command every tenth of a second until it succeeds; returns 1 once
# $1 seconds have passed without success.
wait_until() { # seconds command...
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.1 # the polling interval
    done
}

# So that a server that never came up is reported as such rather than as a
# missing window.
wait_until "$patience" xdpyinfo >/dev/null 2>&1 || fail "the X server at $DISPLAY does not answer"

wait_for_file() { # path what
    wait_until "$patience" test -e "$1" || fail "$2: no file $1"
}

ended() { ! kill -0 "$1" 2>/dev/null; }

# Waits for process $1 to end; fails with $2 when it does not.
wait_exit() { wait_until "$patience" ended "$1" || fail "$2"; } # pid what

visible() { xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
gone() { ! visible "$1"; }

# Waits for a window whose title is exactly $1; prints its id.
find_window() {
    wait_until "$patience" visible "$1" || fail "no window titled '$1'"
    xdotool search --onlyvisible --name "^$1\$" | tail -n 1
}

# Waits until no visible window is titled $1.
wait_gone() {
    wait_until "$patience" gone "$1" || fail "window '$1' did not close"
}

take_focus() {
    xdotool windowfocus "$1" 2>/dev/null
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]
}

focus() { wait_until "$patience" take_focus "$1" || fail "window $1 never took the focus"; }

# Saves a screenshot of window $1 as $shots/$2.png and sets shot to its path.
shoot() {
    shot="$shots/$2.png"
    import -window "$1" "$shot"
}

# Shoots window $1 as $2 until the command (which reads $shot) succeeds;
# returns 1 when it never does.
shoot_until() { # window name command...
    local window=$1 name=$2
    shift 2
    shot_and() { shoot "$window" "$name" && "$@"; }
    wait_until "$patience" shot_and "$@"
}

# The same, failing with $3 and the last screenshot.
wait_shot() { # window name what command...
    shoot_until "$1" "$2" "${@:4}" || fail "$3: never seen, last in $shot"
}

# "r g b" of pixel (x, y) of image $1.
pixel() {
    convert "$1" -format '%[fx:int(255*p{'"$2"','"$3"'}.r)] %[fx:int(255*p{'"$2"','"$3"'}.g)] %[fx:int(255*p{'"$2"','"$3"'}.b)]' info:
}

# The first device pixel of logical coordinate $1 at device pixel ratio $2,
# rounded as Qt places widgets and fills.
dev() { awk -v v="$1" -v r="$2" 'BEGIN { printf "%d", int(v * r + 0.5) }'; }

# Sets ox, oy: the window position of the client area's origin, found from the
# board's first green pixel, which is client (21, 21) just inside the grid, at
# the device pixel ratio $ratio (1 unless set). Returns 1 when the image shows
# no board yet.
client_origin() {
    local first
    first=$(convert "$1" txt:- | awk -F: '/#009900/ { print $1; exit }')
    [ -n "$first" ] || return 1
    ox=$((${first%,*} - $(dev 21 "${ratio:-1}")))
    oy=$((${first#*,} - $(dev 21 "${ratio:-1}")))
}

find_client_origin() { client_origin "$1" || fail "no board in $1"; }

# Pixel of client point (x, y) in image $1.
client_pixel() { pixel "$1" $((ox + $2)) $((oy + $3)); }

is_pixel() { [ "$(client_pixel "$1" "$2" "$3")" = "$4" ]; } # image x y "r g b"

expect_pixel() { # image x y "r g b" what
    local got
    got=$(client_pixel "$1" "$2" "$3")
    [ "$got" = "$4" ] || fail "$5: pixel ($2,$3) is '$got', expected '$4' in $1"
}

luminance() { local r g b; read -r r g b <<<"$1"; echo $(((r * 299 + g * 587 + b * 114) / 1000)); }

is_dark() { [ "$(luminance "$(client_pixel "$1" "$2" "$3")")" -lt 90 ]; }   # image x y
is_light() { [ "$(luminance "$(client_pixel "$1" "$2" "$3")")" -gt 170 ]; } # image x y

expect_dark() { # image x y what
    is_dark "$1" "$2" "$3" ||
        fail "$4: pixel ($2,$3) luminance $(luminance "$(client_pixel "$1" "$2" "$3")") is not dark in $1"
}

expect_light() {
    is_light "$1" "$2" "$3" ||
        fail "$4: pixel ($2,$3) luminance $(luminance "$(client_pixel "$1" "$2" "$3")") is not light in $1"
}

# Client centre of cell (column, row).
cell_x() { echo $((30 * $1 + 5)); }
cell_y() { echo $((30 * $1 + 5)); }

click_client() { # window x y
    xdotool mousemove --window "$1" $((ox + $2)) $((oy + $3)) click 1
}

title_of() { xdotool getwindowname "$1"; }

# The board of image $1 as 64 characters, a1 to h1, then a2 to h2, and so on:
# + a lit cell, . an empty one, X a black stone, O a white one, and ? a stone
# turning over. A cell is lit when the point just inside its top-left corner
# (client 30c-8, 30r-8) is, which no stone picture nor hint covers; otherwise
# it is read at its centre (cell_x, cell_y) and 9 pixels left of it, which the
# narrow frames between a stone's two faces leave green.
board_cells() {
    convert "$1" -crop "240x240+$((ox + 20))+$((oy + 20))" +repage \
        \( -clone 0 -define sample:offset=52 -sample 8x8 \) \
        \( -clone 0 -define sample:offset=22x52 -sample 8x8 \) \
        \( -clone 0 -define sample:offset=7 -sample 8x8 \) -delete 0 +append -depth 8 txt:- | awk '
        function lum(rgb, v) { split(rgb, v, "[(),]"); return (v[2] * 299 + v[3] * 587 + v[4] * 114) / 1000 }
        function green(rgb) { return rgb == "(0,153,0)" || rgb == "(0,204,102)" }
        NR > 1 { split($1, p, "[,:]"); at[p[1], p[2]] = $2 }
        END {
            for (r = 0; r < 8; r++)
                for (c = 0; c < 8; c++) {
                    centre = at[c, r]; side = at[c + 8, r]
                    if (at[c + 16, r] == "(0,204,102)") s = s "+"
                    else if (green(centre)) s = s "."
                    else if (green(side)) s = s "?"
                    else s = s (lum(centre) < 90 ? "X" : lum(centre) > 170 ? "O" : "?")
                }
            print s
        }'
}

# Waits for window $1 to show board text $3 (see board_cells), shot as $2.
wait_board() { # window name board what
    local want=$3 seen=
    board_is() { seen=$(board_cells "$shot") && [ "$seen" = "$want" ]; }
    shoot_until "$1" "$2" board_is ||
        fail "$4: the board reads $(fold -w 8 <<<"$seen" | tr '\n' ' ') in $shot, expected $(fold -w 8 <<<"$want" | tr '\n' ' ')"
}

# Number of stones in board text $1.
stones_in() { local s=${1//[^XO]/}; echo ${#s}; }

# The side the status panel's turn disc (client 305, 42) shows in image $1: X
# for Black, O for White, nothing while no game is on (or it is not drawn yet).
turn_disc() {
    local r=${ratio:-1} l
    l=$(luminance "$(pixel "$1" $((ox + $(dev 305 "$r"))) $((oy + $(dev 42 "$r"))))")
    if [ "$l" -lt 90 ]; then echo X; elif [ "$l" -gt 250 ]; then echo O; fi
}

# Whether image $1 shows a settled position of `stones` stones (none turning)
# with `side` to move: after a move the turn disc is drawn with the repaint
# that ends the turning, so a stale disc never passes for the next turn.
settled_at() { # image stones side
    local cells
    cells=$(board_cells "$1")
    [ "$(stones_in "$cells")" = "$2" ] && [[ $cells != *"?"* ]] && [ "$(turn_disc "$1")" = "$3" ]
}

# Waits for window $1 to show `stones` stones settled with `side` to move, as $2.
wait_settled() { # window name stones side
    wait_shot "$1" "$2" "$4 to move with $3 stones" settled_at_shot "$3" "$4"
}
settled_at_shot() { { [ -n "${ox:-}" ] || client_origin "$shot"; } && settled_at "$shot" "$@"; }

# A fingerprint of the status panel's line at client y $2 (20, 37 or 54) in
# image $1, to tell when its text changes.
status_line() { convert "$1" -crop "230x15+$((ox + 300))+$((oy + $2))" +repage -format '%#' info:; }

# Whether the status panel's third line, the state of play, is blank: the
# game is over (or resigned).
game_over() { [ "$(dark_pixels "$1" 320 54 210 15)" = 0 ]; }

# Sets cell_c, cell_r to the first lit cell of image $1 in column-major
# order; returns 1 when no cell is lit.
lit_cell() {
    local cells c r
    cells=$(board_cells "$1")
    for c in 1 2 3 4 5 6 7 8; do
        for r in 1 2 3 4 5 6 7 8; do
            if [ "${cells:$((8 * r + c - 9)):1}" = + ]; then
                cell_c=$c; cell_r=$r; return 0
            fi
        done
    done
    return 1
}

first_lit_cell() { lit_cell "$1" || fail "no highlighted cell in $1"; }

# Client y of the middle of the record list's visible line k (0 at the top).
line_y() { echo $((167 + 13 * $1)); }

# The board's plain or lit green at client (x, y) of image $1: no stone there.
is_board() { # image x y
    local got
    got=$(client_pixel "$1" "$2" "$3")
    [ "$got" = "0 153 0" ] || [ "$got" = "0 204 102" ]
}

expect_board() { # image x y what
    is_board "$1" "$2" "$3" || fail "$4: pixel ($2,$3) is '$(client_pixel "$1" "$2" "$3")', not the board in $1"
}

expect_stone() { # image x y what
    ! is_board "$1" "$2" "$3" || fail "$4: no stone at ($2,$3) in $1"
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

# Whether a pop-up of program $pid (a menu) is open: a visible window that
# bypasses the window manager.
popup_open() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' && return 0
    done
    return 1
}
popup_closed() { ! popup_open; }

# Opens popup $1 (a letter: f or g) of the menu bar and takes item $2 (0-based,
# separators not counted) with the keyboard. The menu must be gone before the
# next click: while it is up, it holds the pointer and would swallow it.
menu_item() {
    focus "$win"
    xdotool key "alt+$1"
    wait_until "$patience" popup_open || fail "menu $1 did not open"
    for _ in $(seq 1 "$2"); do xdotool key Down; done
    xdotool key Return
    wait_until "$patience" popup_closed || fail "menu $1 did not close"
}

# Whether dialog image $1 shows White's level list enabled (White played by
# the computer): its text is dark then, grey while the list is disabled. The
# list spans dialog units (40, 72) to (140, 84) of a dialog 150 x 110 units.
white_level_enabled() {
    local w h
    read -r w h <<<"$(identify -format '%w %h' "$1")"
    [ "$(convert "$1" -crop "$((100 * w / 150))x$((12 * h / 110))+$((40 * w / 150))+$((72 * h / 110))" +repage \
        -colorspace Gray -threshold 35% -negate -format '%[fx:int(mean*w*h+0.5)]' info:)" -gt 20 ]
}

white_level_shown() { white_level_enabled "$shot"; }

# Whether the main window's image $shot shows a banner over the board, as a
# trial stage begins: its white text.
banner_shown() { [ "$(white_pixels "$shot" 20 20 200 110)" -gt 300 ]; }

# A scratch folder $work holding the working folder run/, where the program
# starts and must write nothing, the configuration folder config/, set as
# XDG_CONFIG_HOME, and the state folder state/, set as XDG_STATE_HOME; config
# is the settings file's path. The program's file dialogs open on the path
# written to $work/file-choice (see choose_file).
enter_scratch() {
    work=$(mktemp -d)
    mkdir "$work/run"
    cd "$work/run"
    export XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"
    export REVERSE_TEST_FILE_CHOICE="$work/file-choice"
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

# Whether image $1 shows the main window drawn: the board and a turn disc.
window_drawn() { client_origin "$1" && [ -n "$(turn_disc "$1")" ]; }

# Accepts the new-game dialog with Return, sets win to the main window and
# waits for it to be drawn (ox and oy are then set).
accept_new_game() {
    local dialog
    dialog=$(find_window "新規ゲーム")
    focus "$dialog"
    xdotool key Return
    wait_gone "新規ゲーム"
    win=$(find_window "Tavixリバーシ")
    wait_shot "$win" main-window "the main window drawn" window_drawn_shot
}
window_drawn_shot() { window_drawn "$shot"; }

# Ctrl+X in the main window must end the program.
exit_with_ctrl_x() {
    focus "$win"
    xdotool key ctrl+x
    wait_exit "$pid" "the program did not exit on Ctrl+X"
}

# Whether dialog image $1 has been painted: a light ground with some text.
dialog_drawn() {
    [ "$(convert "$1" -colorspace Gray -format '%[fx:mean > 0.6]' info:)" = 1 ] &&
        [ "$(convert "$1" -colorspace Gray -threshold 35% -negate -format '%[fx:int(mean*w*h)]' info:)" -gt 50 ]
}
dialog_drawn_shot() { dialog_drawn "$shot"; }

# Presses keys $4... in the main window to open the file dialog titled $1,
# which opens on path $2 (the program's test hook sets folder and name whole;
# typed, a path can lose keys to the name's completion list), shoots it as $3
# and accepts it with Return.
choose_file() { # title path shot keys...
    local title=$1 dialog
    echo "$2" >"$REVERSE_TEST_FILE_CHOICE"
    focus "$win"
    xdotool key "${@:4}"
    dialog=$(find_window "$title")
    wait_shot "$dialog" "$3" "the dialog '$title' drawn" dialog_drawn_shot
    focus "$dialog"
    xdotool key Return
    wait_gone "$title"
}
