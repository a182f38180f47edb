#!/usr/bin/env bash
# Two copies of the game at once, sharing the state folder: each keeps its own
# game, neither is offered or touches the other's while it runs, and the game
# of a copy killed with kill -9 is offered to the next start and resumed there
# while the other copy plays on.
# Usage: two-copies.sh <reverse binary> <screenshot folder>   (run under xvfb-run -s -noreset)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh" "$@"

enter_scratch
state="$XDG_STATE_HOME/tavix-reversi"
first="$state/current.ggf"
second="$state/current-2.ggf"
pids=()
trap 'for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT

# Each copy has a settings folder of its own, only for its window's place:
# A's windows at (10, 10), B's at (470, 390), so they never overlap. Both are
# a person against a person, with no pause.
write_config() { # folder, then the 16 bytes
    local folder=$1 byte
    shift
    mkdir -p "$folder/tavix-reversi"
    for byte in "$@"; do printf "\\x$byte"; done >"$folder/tavix-reversi/config.dat"
}
write_config "$work/config-a" 00 00 00 00 00 00 00 00 0a 00 00 00 0a 00 00 00
write_config "$work/config-b" 00 00 00 00 00 00 00 00 d6 01 00 00 86 01 00 00

start_copy() { # settings folder; sets pid
    XDG_CONFIG_HOME=$1 "$bin" 2>>"$work/stderr" &
    pid=$!
    pids+=("$pid")
}

window_id_of() { xdotool search --all --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null | tail -n 1; }
has_window() { [ -n "$(window_id_of "$1" "$2")" ]; }

# Waits for a visible window of process $1 titled exactly $2; prints its id.
window_of() {
    wait_until "$patience" has_window "$1" "$2" || fail "no window titled '$2' of process $1"
    window_id_of "$1" "$2"
}

closed() {
    ! xdotool getwindowname "$1" >/dev/null 2>&1 || ! xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$1"
}

# Waits for window $1 to close.
window_closed() { wait_until "$patience" closed "$1" || fail "window $1 did not close"; }

moves_in() { grep -o '[BW]\[[a-h][1-8]\]' "$1" 2>/dev/null | wc -l; }
holds_moves() { [ "$(moves_in "$1")" -ge "$2" ]; }
wait_moves() { # file count: waits for the file to hold count moves
    wait_until "$patience" holds_moves "$1" "$2" || fail "$1 never held $2 moves: $(cat "$1" 2>/dev/null)"
}

# Accepts process $1's new-game dialog and sets win to its main window.
new_game() {
    local dialog
    dialog=$(window_of "$1" "新規ゲーム")
    focus "$dialog"
    xdotool key Return
    window_closed "$dialog"
    win=$(window_of "$1" "Tavixリバーシ")
}

# Plays the first lit cell in window $win; the shot is named $1.
play_first_lit() {
    shoot "$win" "$1"
    find_client_origin "$shot"
    first_lit_cell "$shot"
    click_client "$win" "$(cell_x "$cell_c")" "$(cell_y "$cell_r")"
}

no_question() { # what
    ! xdotool search --onlyvisible --name '^対局の再開$' >/dev/null 2>&1 || fail "$1: the resume question is up"
}

# A plays a move: its game is kept.
start_copy "$work/config-a"
a=$pid
new_game "$a"
win_a=$win
play_first_lit 01-a-first-move
wait_moves "$first" 1
a_game=$(cat "$first")

# B starts beside it: A's game is not offered, and B's own goes beside it.
start_copy "$work/config-b"
b=$pid
window_of "$b" "新規ゲーム" >/dev/null
no_question "B's start while A runs"
new_game "$b"
win_b=$win
play_first_lit 02-b-first-move
wait_moves "$second" 1
[ "$(cat "$first")" = "$a_game" ] || fail "B changed A's game: $(cat "$first")"
b_game=$(cat "$second")

# A is killed mid-game; the next start is offered its game and resumes it,
# in A's file, while B plays on untouched.
win=$win_a
focus "$win" # the record list's focus frame, as C's will have it
shoot "$win" 03-a-before-kill
a_shot=$shot
find_client_origin "$a_shot"
kill -9 "$a"
wait "$a" 2>/dev/null || true
start_copy "$work/config-a"
c=$pid
box=$(window_of "$c" "対局の再開")
import -window "$box" "$SHOTS/04-question.png"
focus "$box"
xdotool key Return
window_closed "$box"
win=$(window_of "$c" "Tavixリバーシ")
focus "$win"
shoot "$win" 05-resumed
[ "$(compare -metric AE -crop "540x258+$ox+$oy" "$a_shot" "$shot" null: 2>&1 || true)" = 0 ] ||
    fail "the resumed board is not A's"
play_first_lit 06-c-second-move
wait_moves "$first" 2
[ "$(cat "$second")" = "$b_game" ] || fail "C changed B's game: $(cat "$second")"

# Both close mid-game: their games stay for later starts, and nothing else does.
for p in "$b" "$c"; do kill -TERM "$p"; wait "$p" 2>/dev/null || true; done
pids=()
(cd "$state" && ls -A) >"$SHOTS/state-after-exit.txt"
[ "$(cd "$state" && ls -A | tr '\n' ' ')" = "current-2.ggf current.ggf " ] ||
    fail "the state folder holds: $(cd "$state" && ls -A | tr '\n' ' ')"
! grep -q '^reverse:' "$work/stderr" || fail "the copies said: $(grep '^reverse:' "$work/stderr")"
echo "two-copies: passed"
