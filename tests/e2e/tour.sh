#!/usr/bin/env bash
# A tour of the whole program in a real X server, driven with real clicks and
# keys: a game against lv0 whose first moves are played from the keyboard,
# undo, resignation, record mode with playback, a hint in the endgame of an
# opened game played on and the analysis of that game, the settings dialog, the first
# trial banner, exit, and the settings file; then a record from another start,
# named on the command line, shown from its start line; the window at 200%;
# the board editor with play from the position set up, and an opening's name;
# the master level lv7 in the new-game dialog and in play, hints with
# estimates at the opening and in the midgame, and a whole game analysed.
# Usage: tour.sh <reverse binary> <screenshot folder>   (run under xvfb-run)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh" "$@"

enter_scratch
"$bin" &
pid=$!
trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT

expect_title() { [ "$(title_of "$win")" = "Tavixリバーシ" ] || fail "window title at $1"; }

# 1-2. No config.dat: the new-game dialog opens with both sides a person, and an
# empty config.dat has appeared in the configuration folder.
# Tab from Black's "人" over Black's "PC" and White's "人" to White's "PC"
# (the disabled level lists are skipped), choose it, keep lv0, OK.
dialog=$(find_window "新規ゲーム")
[ -f "$config" ] && [ ! -s "$config" ] || fail "the first run must create an empty $config"
focus "$dialog"
wait_shot "$dialog" 01-new-game-dialog "the new-game dialog drawn" dialog_drawn_shot
xdotool key Tab Tab Tab space
wait_shot "$dialog" 02-white-pc "White's level list enabled" white_level_shown
xdotool key Return
wait_gone "新規ゲーム"
win=$(find_window "Tavixリバーシ")
wait_settled "$win" 03-start 4 X
expect_title start
expect_light "$shot" 305 127 "White's count disc"

# Four moves on the first lit cell; lv0 answers each. The first two are played
# from the keyboard alone: the first key shows a yellow frame on the first
# lit cell (column-major), the arrows move it, Enter plays there. The pointer
# stays beside the board, as over the board it would hide the frame. After
# each move, lv0's reply is on the board, settled, with Black to move.
declare -a move_c move_r
frame_colour="255 224 0"
press() { # key count
    for _ in $(seq 1 "$2"); do xdotool key "$1"; done
}
frame_shown() {
    is_pixel "$shot" $((30 * cell_c - 9)) "$(cell_y "$cell_r")" "$frame_colour" &&
        is_pixel "$shot" $((30 * cell_c + 20)) "$(cell_y "$cell_r")" "$frame_colour"
}
xdotool mousemove --window "$win" $((ox + 400)) $((oy + 60))
focus "$win"
for n in 1 2 3 4; do
    shoot "$win" "04-before-move-$n"
    first_lit_cell "$shot"
    if [ "$n" = 1 ]; then
        xdotool key Right
    elif [ "$n" = 2 ]; then
        dx=$((cell_c - last_c)) dy=$((cell_r - last_r))
        if [ "$dx" -lt 0 ]; then press Left $((-dx)); else press Right "$dx"; fi
        if [ "$dy" -lt 0 ]; then press Up $((-dy)); else press Down "$dy"; fi
    fi
    if [ "$n" -le 2 ]; then
        wait_shot "$win" "04-keyboard-cursor-$n" "the keyboard frame around the lit cell, move $n" frame_shown
        expect_pixel "$shot" $((30 * cell_c - 9)) "$(cell_y "$cell_r")" "$frame_colour" "the frame's left side, move $n"
        expect_pixel "$shot" $((30 * cell_c + 20)) "$(cell_y "$cell_r")" "$frame_colour" "the frame's right side, move $n"
        expect_pixel "$shot" $((30 * cell_c - 8)) $((30 * cell_r - 8)) "0 204 102" "the lit cell inside the frame, move $n"
        xdotool key Return
    else
        click_client "$win" "$(cell_x "$cell_c")" "$(cell_y "$cell_r")"
    fi
    last_c=$cell_c; last_r=$cell_r
    move_c[n]=$cell_c; move_r[n]=$cell_r
    wait_settled "$win" "05-after-move-$n" $((4 + 2 * n)) X
    # A stone, of either colour: lv0's reply may have turned it.
    expect_stone "$shot" "$(cell_x "$cell_c")" "$(cell_y "$cell_r")" "Black's move $n"
done

# 3. Undo takes back Black's last move and lv0's reply: the board is as it
# was before the fourth move, lit cells and all.
focus "$win"
xdotool key ctrl+z
wait_board "$win" 06-undo "$(board_cells "$SHOTS/04-before-move-4.png")" "the board after undo"
expect_title undo

# Resign with Ctrl+G and OK: White is declared the winner. The question's
# buttons read OK and キャンセル.
xdotool key ctrl+g
box=$(find_window "投了確認")
focus "$box"
wait_shot "$box" 07-resign-question "the resign question drawn" dialog_drawn_shot
xdotool key Return
wait_gone "投了確認"
white_won() { game_over "$shot" && [ "$(turn_disc "$shot")" = O ]; }
wait_shot "$win" 07-resigned "the end of the game with White's disc as the winner's" white_won
expect_title resign

# 4. Record mode. Six lines are left: Black's moves 1-3 and lv0's replies.
# Clicking line 5 shows the position after move 5 (Black's third stone is
# there), then line 3 the one after move 3 (it is not yet). The selected
# line keeps Black's ● dark on a light selection. Each position is waited
# for by its number of stones, one a move, and the side to move.
menu_item f 2
click_client "$win" 330 "$(line_y 4)"
wait_settled "$win" 08-record-line-5 9 O
expect_dark "$shot" "$(cell_x "${move_c[3]}")" "$(cell_y "${move_r[3]}")" "Black's third move after line 5"
[ "$(dark_pixels "$shot" 302 $(($(line_y 4) - 6)) 16 13)" -gt 20 ] || fail "the selected Black line's ● is not dark"
expect_light "$shot" 460 "$(line_y 4)" "the selection behind line 5"
click_client "$win" 330 "$(line_y 2)"
wait_settled "$win" 08-record-line-3 7 O
expect_board "$shot" "$(cell_x "${move_c[3]}")" "$(cell_y "${move_r[3]}")" "Black's third move after line 3"
expect_dark "$shot" "$(cell_x "${move_c[2]}")" "$(cell_y "${move_r[2]}")" "Black's second move after line 3"
# Select the first line, then play to the end: the resigned position, settled.
click_client "$win" 330 "$(line_y 0)"
wait_settled "$win" 08-record-line-0 5 O
click_client "$win" 315 246
wait_board "$win" 09-replayed "$(board_cells "$SHOTS/07-resigned.png")" "the record played to its end"
expect_title replay

# 5. The endgame: a game opened from a GGF file that starts with 16 empty
# cells is played on after its two moves; Ctrl+H marks the legal cells with
# their exact values, the best on a yellow plate. The game is played to its
# end and analysed: the analysis window draws and lists it once its bar has
# gone, and Escape closes it.
mkdir "$work/records"
printf '%s\n' '(;GM[Othello]PB[alpha]PW[beta]TY[8]' \
    'BO[8 ***OOO-- ***-*O-- ***-OO*- O**O*O** O**OOO-- O*O**OO- OO***O-- O***---- *]B[g2]W[e8];)' \
    >"$work/records/endgame.ggf"
choose_file "棋譜を開く" "$work/records/endgame.ggf" 10-open-endgame ctrl+o
menu_item f 7
dialog=$(find_window "新規ゲーム")
focus "$dialog"
xdotool key Return
wait_gone "新規ゲーム"
# 48 stones in the file, two moves played: 50, Black to move.
wait_settled "$win" 10-endgame-start 50 X
focus "$win"
xdotool key ctrl+h
# Board pixels of a colour "#RRGGBB" in image $1.
board_pixels() { convert "$1" -crop "240x240+$((ox + 20))+$((oy + 20))" +repage txt:- | grep -c "$2" || true; }
hint_plate() { [ "$(board_pixels "$shot" '#FFE840')" -gt 0 ]; }
wait_shot "$win" 11-hint "a hint plate on the board" hint_plate
# Played on the first lit cell until the game is over. After each move, the
# next state is Black's turn again (a new move number, Black's disc, a lit
# cell: lv0 has answered or passed, and Black's own passes are behind) or
# the end of the game.
line1=$(status_line "$shot" 20)
black_again_or_over() {
    game_over "$shot" ||
        { [ "$(status_line "$shot" 20)" != "$line1" ] && [ "$(turn_disc "$shot")" = X ] && lit_cell "$shot"; }
}
for _ in $(seq 1 30); do
    game_over "$shot" && break
    first_lit_cell "$shot"
    click_client "$win" "$(cell_x "$cell_c")" "$(cell_y "$cell_r")"
    wait_shot "$win" 12-endgame "Black's next turn or the end of the game" black_again_or_over
    line1=$(status_line "$shot" 20)
done
game_over "$shot" || fail "the endgame did not end"
menu_item f 2
menu_item f 8
review=$(find_window "棋譜解析")
# The bar's middle (its window's y 252) shows the window's own background
# once it is hidden.
analysis_done() { [ "$(pixel "$shot" 200 252)" = "$(pixel "$shot" 455 250)" ]; }
wait_shot "$review" 13-analysis "the end of the analysis" analysis_done
# The graph: its line and points on a white ground.
graph=$(convert "$SHOTS/13-analysis.png" -crop 440x210+10+10 +repage txt:-)
[ "$(grep -c '#0046A0' <<<"$graph")" -gt 20 ] && [ "$(grep -c '#FFFFFF' <<<"$graph")" -gt 20000 ] ||
    fail "no graph drawn in the analysis window"
focus "$review"
xdotool key Escape
wait_gone "棋譜解析"

# 6. The settings dialog: a wait time of 500 ms.
menu_item f 9
dialog=$(find_window "設定")
focus "$dialog"
xdotool key ctrl+a
xdotool type 500
import -window "$dialog" "$SHOTS/14-settings.png"
xdotool key Return
wait_gone "設定"

# 7. The trial: the stage 1 banner over the board.
menu_item f 0
wait_shot "$win" 15-trial-banner "the banner text over the board" banner_shown
expect_title trial

# 8-9. Exit with Ctrl+X; config.dat holds the players of stage 1 and 500 ms, and
# the working folder is as empty as it was.
exit_with_ctrl_x
[ "$(stat -c %s "$config")" = 16 ] || fail "config.dat is not 16 bytes"
working_folder_untouched
bytes=$(od -An -tx1 -N8 "$config" | tr -s ' ' | sed 's/^ //')
case "$bytes" in
"00 00 02 00 f4 01 00 00" | "02 00 00 00 f4 01 00 00") ;;
*) fail "config.dat starts with '$bytes'" ;;
esac
# 10. The endgame record again, named on the command line: it starts from
# another position than the usual one, so its list begins with 開始局面. That
# line shows the start (g2 and e8 still empty), and playback from it plays
# the record's two moves again.
"$bin" "$work/records/endgame.ggf" &
pid=$!
win=$(find_window "Tavixリバーシ")
# Shoots the main window as $1 and checks the shot with the command after it,
# once the board is drawn in it.
shot_shows() {
    local name=$1
    shift
    shoot "$win" "$name"
    [ "$(convert "$shot" txt:- | grep -c '#009900')" -gt 0 ] || return 1
    find_client_origin "$shot"
    "$@"
}
shoot_board_until() { wait_until "$patience" shot_shows "$@"; }
empty_at() { [ "$(client_pixel "$shot" "$(cell_x "$1")" "$(cell_y "$2")")" = "0 153 0" ]; }
stones_at_g2_e8() { ! empty_at 7 2 && ! empty_at 5 8; }
g2_e8_empty() { empty_at 7 2 && empty_at 5 8; }
shoot_board_until 16-endgame-opened stones_at_g2_e8 || fail "the opened record's last moves are not on the board"
click_client "$win" 330 "$(line_y 0)"
shoot_board_until 16-start-line g2_e8_empty || fail "the start line does not show the start"
click_client "$win" 315 246
shoot_board_until 16-replayed-from-start stones_at_g2_e8 || fail "playback from the start line did not replay the moves"
exit_with_ctrl_x
# 11. The window at 200%: 表示 → 200% draws the same game twice as large (the
# board's green square 480 pixels wide, less its first grid line), a click at
# twice a cell's place plays there, the size is kept in preferences.conf
# beside a config.dat of 16 bytes, and the next start (the game resumed)
# opens at 200%.
width_is() { [ "$(xwininfo -id "$win" | awk '/Width:/ { print $2 }')" = "$1" ]; }
# Sets ox, oy from the green square of the board at 200%, when it is whole in a new shot.
board_at_200() {
    local w h x y
    shoot "$win" 16-size-200
    read -r w h x y <<<"$(convert "$shot" -fill black +opaque "#009900" -fill white -opaque "#009900" -trim \
        -format '%w %h %X %Y' info:)"
    ox=$((${x#+} - 42)) oy=$((${y#+} - 42))
    [ "$w $h" = "478 478" ]
}
c4_black() { shoot "$win" 17-size-200-c4; [ "$(luminance "$(pixel "$shot" $((ox + 190)) $((oy + 250)))")" -lt 90 ]; }

printf '\x00\x00\x00\x00\xc8\x00\x00\x00\x0a\x00\x00\x00\x0a\x00\x00\x00' >"$config" # persons, (10, 10)
"$bin" &
pid=$!
dialog=$(find_window "新規ゲーム")
focus "$dialog"
xdotool key Return
wait_gone "新規ゲーム"
win=$(find_window "Tavixリバーシ")
width_is 534 || fail "the window does not start at 100%"
menu_item v 2
wait_until "$patience" width_is 1068 || fail "the window did not grow to 200%"
wait_until "$patience" board_at_200 || fail "no board of 480 pixels in $shot"
xdotool mousemove --window "$win" $((ox + 190)) $((oy + 250)) click 1
wait_until "$patience" c4_black || fail "a click on c4 at 200% did not play it"
grep -qx "window-scale=200" "$(dirname "$config")/preferences.conf" || fail "200% is not in preferences.conf"
exit_with_ctrl_x
[ "$(stat -c %s "$config")" = 16 ] || fail "config.dat is not 16 bytes after 200%"
"$bin" &
pid=$!
question=$(find_window "対局の再開") # the game with c4 is offered back
focus "$question"
xdotool key Return
wait_gone "対局の再開"
win=$(find_window "Tavixリバーシ")
wait_until "$patience" width_is 1068 || fail "the next start is not at 200%"
exit_with_ctrl_x

# 12. Studying a position, at 100% again with no game kept: Ctrl+E opens the
# board editor on the position shown, where a click puts a black stone on a1
# and a right click a white one on h8; Ctrl+E again offers play from there,
# whose players the new-game dialog chooses, and the first lit cell is played
# from the position set up. Then a game between persons follows the Tiger,
# f5 d6 c3 d3 c4: from d6 the panel names the opening, in the band under the
# state message, and the last move's stone carries the red mark.
rm -f "$XDG_STATE_HOME"/tavix-reversi/current*.ggf
printf 'window-scale=100\n' >"$(dirname "$config")/preferences.conf"
"$bin" &
pid=$!
accept_new_game
shoot "$win" 18-before-editing
find_client_origin "$shot"
stone_is() { # column row dark|light: a new shot shows that stone there
    shoot "$win" "$4"
    local l
    l=$(luminance "$(client_pixel "$shot" "$(cell_x "$1")" $(($(cell_y "$2") + 7)))")
    if [ "$3" = dark ]; then [ "$l" -lt 90 ]; else [ "$l" -gt 170 ]; fi
}
focus "$win"
xdotool key ctrl+e
click_client "$win" "$(cell_x 1)" "$(cell_y 1)"
wait_until "$patience" stone_is 1 1 dark 18-board-editor || fail "the editor did not put Black on a1"
xdotool mousemove --window "$win" $((ox + $(cell_x 8))) $((oy + $(cell_y 8))) click 3
wait_until "$patience" stone_is 8 8 light 18-board-editor || fail "a right click in the editor did not put White on h8"
focus "$win"
xdotool key ctrl+e
dialog=$(find_window "局面編集を終える")
import -window "$dialog" "$SHOTS/18-editor-done-dialog.png"
focus "$dialog"
xdotool key Return # 対局する
accept_new_game
shoot "$win" 19-play-from-edited
first_lit_cell "$shot"
click_client "$win" "$(cell_x "$cell_c")" "$(cell_y "$cell_r")"
wait_until "$patience" stone_is "$cell_c" "$cell_r" dark 19-played-on-from-edited ||
    fail "no move played on from the edited position"
stone_is 1 1 dark 19-played-on-from-edited && stone_is 8 8 light 19-played-on-from-edited ||
    fail "the edited stones are not on the board of the game played on"

focus "$win"
xdotool key ctrl+n
question=$(find_window "投了確認")
focus "$question"
xdotool key Return
accept_new_game
band_dark() { [ "$(dark_pixels "$shot" 300 69 220 12)" "$1" "$2" ]; }
n=0
for move in "6 5 dark" "4 6 light" "3 3 dark" "4 3 light" "3 4 dark"; do
    read -r c r colour <<<"$move"
    n=$((n + 1))
    click_client "$win" "$(cell_x "$c")" "$(cell_y "$r")"
    wait_until "$patience" stone_is "$c" "$r" "$colour" "20-tiger-move-$n" || fail "Tiger move $n not played"
    if [ "$n" = 1 ]; then band_dark -eq 0 || fail "a name shown after f5 alone"; fi
done
band_dark -gt 20 || fail "no opening name in the panel after the Tiger's moves"
shoot "$win" 20-opening-name-tiger
[ "$(client_pixel "$shot" "$(cell_x 3)" "$(cell_y 4)")" = "230 30 30" ] || fail "c4, the last move, is not marked"
exit_with_ctrl_x

# 13. The master level and the values of every move. The new-game dialog
# lists lv7 名人 after lv6, and White takes it (saved as 8). A hint at the
# opening values every legal cell with an estimate, blue digits under "≒",
# the best on a plate; the mouse on a hinted cell writes its line in the
# message line. Black plays the plate and lv7 answers.
rm -rf "$XDG_STATE_HOME" "$(dirname "$config")/preferences.conf"
printf '\x00\x00\x00\x00\xc8\x00\x00\x00\x0a\x00\x00\x00\x0a\x00\x00\x00' >"$config" # persons, (10, 10)
"$bin" &
pid=$!
dialog=$(find_window "新規ゲーム")
focus "$dialog"
xdotool key Tab Tab Tab space
wait_shot "$dialog" 21-white-pc "White's level list enabled" white_level_shown
xdotool key Tab End alt+Down
wait_until "$patience" popup_open || fail "White's level list did not open"
import -window root -crop 640x480+0+0 "$SHOTS/21-new-game-lv7.png"
xdotool key Escape
wait_until "$patience" popup_closed || fail "White's level list did not close"
xdotool key Return
wait_gone "新規ゲーム"
[ "$(od -An -tx1 -j2 -N2 "$config" | tr -d ' ')" = "0800" ] || fail "lv7 is not saved as 8 for White"
win=$(find_window "Tavixリバーシ")
wait_shot "$win" 22-opening "the main window drawn" window_drawn_shot
focus "$win"
xdotool mousemove --window "$win" $((ox + 400)) $((oy + 200))
xdotool key ctrl+h
# The hint's estimates: the blue of their digits, and the plate.
estimates_shown() { [ "$(board_pixels "$shot" '#000096')" -gt 10 ] && hint_plate; }
wait_shot "$win" 22-hint-opening "estimated values at the opening" estimates_shown
plate_cell() { # sets cell_c, cell_r to the first cell on a plate in image $1
    local c r
    for c in 1 2 3 4 5 6 7 8; do
        for r in 1 2 3 4 5 6 7 8; do
            if is_pixel "$1" $((30 * c - 5)) $((30 * r - 5)) "255 232 64"; then
                cell_c=$c; cell_r=$r; return 0
            fi
        done
    done
    fail "no plate on the board in $1"
}
plate_cell "$shot"
xdotool mousemove --window "$win" $((ox + $(cell_x "$cell_c"))) $((oy + $(cell_y "$cell_r")))
line_shown() { [ "$(dark_pixels "$shot" 24 268 490 34)" -gt 60 ]; }
wait_shot "$win" 22-hint-line "the cell's line in the message line" line_shown
click_client "$win" "$(cell_x "$cell_c")" "$(cell_y "$cell_r")"
wait_settled "$win" 23-lv7-answered 6 X
exit_with_ctrl_x

# 14. A whole game of 60 moves, named on the command line, from the position
# after its 24th record line played on against lv7: the midgame hint's estimates.
whole="$work/records/whole-game.txt"
echo d3c5d6e3f4c6f5f3c4b3b4e6f6c2f7e7d2a3b5a4f2c3d8f8c7d7c8e8b6b8a6d1e2g8c1a5e1a7a2a1b7a8b2b1g6g5g3g4f1h7h4h3h5g1h2h6h8g7g2h1 >"$whole"
"$bin" "$whole" &
pid=$!
win=$(find_window "Tavixリバーシ")
wait_shot "$win" 24-record "the main window drawn" window_drawn_shot
click_client "$win" 330 "$(line_y 0)"
focus "$win"
xdotool key Home
press Down 23
menu_item f 7
accept_new_game
wait_settled "$win" 24-played-on 28 X
focus "$win"
xdotool mousemove --window "$win" $((ox + 400)) $((oy + 200))
xdotool key ctrl+h
wait_shot "$win" 24-hint-midgame "estimated values in the midgame" estimates_shown
exit_with_ctrl_x

# 15. The same game analysed whole: estimates (hollow points on a dashed line)
# over a shaded range before the exact values (filled, solid); the bar goes
# once it is done, within a minute on two cores. Its first lost move shows
# the position it was played in, the move framed in red and the best in blue.
rm -rf "$XDG_STATE_HOME"
"$bin" "$whole" &
pid=$!
win=$(find_window "Tavixリバーシ")
wait_shot "$win" 25-record "the main window drawn" window_drawn_shot
click_client "$win" 330 "$(line_y 0)" # a line before the end: この局面から対局 is enabled, 棋譜解析 the 8th item
menu_item f 8
review=$(find_window "棋譜解析")
patience=$((patience + 60)) shoot_until "$review" 25-analysis-whole-game analysis_done ||
    fail "the analysis of the whole game did not end, last in $shot"
graph=$(convert "$shot" -crop 440x190+10+10 +repage txt:-)
[ "$(grep -c '#EEEEEE' <<<"$graph")" -gt 1000 ] || fail "no shaded range of estimates on the graph in $shot"
[ "$(grep -c '#0046A0' <<<"$graph")" -gt 20 ] || fail "no exact values on the graph in $shot"
xdotool mousemove --window "$review" 60 279 click 1 # the list's first line
framed() { [ "$(board_pixels "$shot" '#DC1E1E')" -gt 20 ] && [ "$(board_pixels "$shot" '#1E3CE6')" -gt 20 ]; }
wait_shot "$win" 23-lost-move "the lost move and the best one framed" framed
shoot "$review" 23-analysis-selected
focus "$review"
xdotool key Escape
wait_gone "棋譜解析"
exit_with_ctrl_x
working_folder_untouched
echo "tour: passed"
