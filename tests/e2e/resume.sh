#!/usr/bin/env bash
# The game in progress survives kill -9: a person plays lv2, the program is
# killed while the computer waits to answer, and the next start asks to
# resume. はい brings back the same board, record, players and turn, and the
# computer answers; いいえ removes the kept game before the new-game dialog,
# a signal at the question leaves it, and a game played to its end leaves
# nothing kept.
# Usage: resume.sh <reverse binary> <screenshot folder>   (run under xvfb-run -s -noreset)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh" "$@"

enter_scratch
state="$XDG_STATE_HOME/tavix-reversi"
kept="$state/current.ggf"
mkdir -p "$XDG_CONFIG_HOME/tavix-reversi"
pid=
trap '[ -z "$pid" ] || kill -9 $pid 2>/dev/null || true; rm -rf "$work"' EXIT

write_config() { local byte; for byte in $*; do printf "\\x$byte"; done >"$config"; }
start() { "$bin" 2>"$work/stderr" & pid=$!; }
kill_hard() { kill -9 "$pid"; wait "$pid" 2>/dev/null || true; pid=; }
listing() { (cd "$state" && ls -la) >"$SHOTS/$1.txt"; }
moves_kept() { grep -o '[BW]\[[a-h][1-8]\]' "$kept" 2>/dev/null | wc -l; }
holds_moves() { [ "$(moves_kept)" -ge "$1" ]; }
wait_moves() { # count: waits for the kept game to hold count moves
    wait_until "$patience" holds_moves "$1" || fail "the kept game never held $1 moves: $(cat "$kept" 2>/dev/null)"
}

# The client area above the message line: board, status panel and record list.
same_game() { # image image what
    local differ
    differ=$(compare -metric AE -crop "540x258+$ox+$oy" "$1" "$2" null: 2>&1 || true)
    [ "$differ" = 0 ] || fail "$3: $differ pixels differ between $1 and $2"
}

answer_question() { # keys, then what the box is about
    local box
    box=$(find_window "対局の再開")
    focus "$box"
    xdotool key "$@"
    wait_gone "対局の再開"
}

# A person (Black) against lv2 pausing five seconds before each answer, at (100, 80).
write_config 00 00 03 00 88 13 00 00 64 00 00 00 50 00 00 00
start
accept_new_game
[ ! -e "$kept" ] || fail "a game is kept before its first move"
wait_settled "$win" turn 4 X
for turn in 1 2 3; do
    first_lit_cell "$shot"
    click_client "$win" "$(cell_x "$cell_c")" "$(cell_y "$cell_r")"
    # The last move is killed in the computer's pause, once it is on the
    # board with White to move; the others are answered.
    wait_moves $((turn == 3 ? 5 : 2 * turn))
    if [ "$turn" = 3 ]; then wait_settled "$win" 01-before-kill 9 O; else wait_settled "$win" turn $((4 + 2 * turn)) X; fi
done
rm -f "$SHOTS"/turn.png
before=$shot
[ "$(moves_kept)" = 5 ] || fail "the computer answered before the kill: $(cat "$kept")"
grep -q 'PB\[人\]PW\[lv2 こぞう\]' "$kept" || fail "the kept game: $(cat "$kept")"
kill_hard
listing state-after-kill
kept_text=$(cat "$kept")

# SIGTERM while the question is up closes the program, and is no いいえ.
start
find_window "対局の再開" >/dev/null
kill -TERM "$pid"
wait_exit "$pid" "SIGTERM did not close the program at the question"
pid=
[ "$(cat "$kept" 2>/dev/null)" = "$kept_text" ] || fail "SIGTERM at the question changed the kept game"

# はい: the same game, then the computer's answer.
start
box=$(find_window "対局の再開")
wait_shot "$box" 02-resume-question "the resume question drawn" dialog_drawn_shot
answer_question Return
win=$(find_window "Tavixリバーシ")
focus "$win" # the record list's focus frame, as before the kill
# Drawn as before the kill, within the computer's five-second pause.
same_as_before() { [ "$(compare -metric AE -crop "540x258+$ox+$oy" "$before" "$shot" null: 2>&1)" = 0 ]; }
shoot_until "$win" 03-resumed same_as_before || same_game "$before" "$shot" "the resumed game"
wait_moves 6
wait_settled "$win" 04-computer-answered 10 X
! compare -metric AE -crop "260x260+$ox+$oy" "$before" "$shot" null: 2>/dev/null ||
    fail "the computer's answer is not on the board"
first_lit_cell "$shot" # the person's turn again
[ "$(od -An -tx1 -N4 "$config" | tr -d ' \n')" = 00000300 ] || fail "the settings did not follow the players"
kill_hard

# いいえ: the kept game goes, the new-game dialog comes; two lv0 then play a
# game to its end without a pause, and nothing is kept after it.
write_config 01 00 01 00 00 00 00 00 64 00 00 00 50 00 00 00
start
answer_question Tab Return
find_window "新規ゲーム" >/dev/null
[ ! -e "$kept" ] || fail "いいえ left the kept game"
accept_new_game
wait_for_file "$kept" "the running game is not kept"
not_kept() { [ ! -e "$kept" ]; }
wait_until $((3 * patience)) not_kept || fail "the game did not end, or its end left it kept"
game_over_shot() { game_over "$shot"; }
wait_shot "$win" 05-game-over "the end of the game" game_over_shot
listing state-after-normal-end
[ -z "$(ls -A "$state")" ] || fail "files left in the state folder: $(ls -A "$state")"
exit_with_ctrl_x
pid=
working_folder_untouched
echo "resume: passed"
