#!/usr/bin/env bash
# Game records in the real program: a transcript named on the command line
# opens in record mode at its final position; a game played here is saved
# through the file dialog and copied; a GGF with White first is opened
# through the dialog; the copied game is pasted back into record mode.
# Usage: records.sh <reverse binary> <screenshot folder>   (run under xvfb-run)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh" "$@"

enter_scratch
mkdir "$work/records"
# The finished game of 25 entries whose White passes at 24 and loses every stone.
echo "c4c3c2b4e6d2a4f6g6d6c6b2a1c5c1a5a3a2a6c7c8g7h8e1" >"$work/records/short.txt"
printf '%s\n' '(;GM[Othello]PB[alpha]PW[beta]TY[8]' \
    'BO[8 -------- -------- -------- ---O*--- ---*O--- -------- -------- -------- O]W[e3]B[d3];)' \
    >"$work/records/white-first.ggf"
"$bin" "$work/records/short.txt" &
pid=$!
trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT

# 1. No new-game dialog: the record's final position, all Black, is shown.
win=$(find_window "Tavixリバーシ")
all_black() {
    local cells
    client_origin "$shot" && cells=$(board_cells "$shot") && [ "$(stones_in "$cells")" = 28 ] && [[ $cells != *[O?]* ]]
}
wait_shot "$win" 01-opened-at-start "the opened game's 28 black stones" all_black
! visible "新規ゲーム" || fail "the new-game dialog came up"
for cell in "1 1" "5 1" "8 8" "3 4"; do
    read -r c r <<<"$cell"
    expect_dark "$shot" "$(cell_x "$c")" "$(cell_y "$r")" "Black's stone at $c,$r of the opened game"
done
expect_board "$shot" "$(cell_x 8)" "$(cell_y 1)" "h1 is empty in the opened game"
expect_board "$shot" "$(cell_x 2)" "$(cell_y 1)" "b1 is empty in the opened game"

# Saved back as GGF: White's pass is written, and the result (Black has all
# 28 stones, and the 36 empty cells go to the winner).
choose_file "棋譜を保存" "$work/records/short.ggf" 02-save-opened ctrl+s
wait_for_file "$work/records/short.ggf" "the opened game saved"
cp "$work/records/short.ggf" "$SHOTS/short.ggf"
saved=$(cat "$work/records/short.ggf")
[[ $saved == *"RE[+64.00]TY[8]"*"B[h8]W[PA]B[e1];)" ]] || fail "the opened game saved as '$saved'"

# 2. A new game between two persons, three moves on the first lit cells; each
# is on the board, none turning, with the other side to move before the next.
focus "$win"
xdotool key ctrl+n
dialog=$(find_window "新規ゲーム")
focus "$dialog"
xdotool key Return
wait_gone "新規ゲーム"
wait_settled "$win" 03-before-move-1 4 X
cells=()
for n in 1 2 3; do
    first_lit_cell "$shot"
    click_client "$win" "$(cell_x "$cell_c")" "$(cell_y "$cell_r")"
    cells+=("$(printf "\\$(printf '%03o' $((96 + cell_c)))")$cell_r")
    wait_settled "$win" "03-before-move-$((n + 1))" $((4 + n)) "$( ((n % 2)) && echo O || echo X)"
done
played=$(board_cells "$shot")

# 3. Saved through the dialog as GGF: the players as the status panel names
# them, the standard start with Black to move, the three moves.
choose_file "棋譜を保存" "$work/records/played.ggf" 04-save-dialog ctrl+s
wait_for_file "$work/records/played.ggf" "the played game saved"
cp "$work/records/played.ggf" "$SHOTS/played.ggf"
saved=$(cat "$work/records/played.ggf")
expected="PB[人]PW[人]TY[8]BO[8 ---------------------------O*------*O--------------------------- *]B[${cells[0]}]W[${cells[1]}]B[${cells[2]}];)"
[[ $saved == "(;GM[Othello]PC[Tavixリバーシ]DT["* ]] || fail "saved file starts '$saved'"
[[ $saved == *"$expected" ]] || fail "saved file is '$saved', expected it to end '$expected'"

# 4. Copy it, then open the GGF with White first through the dialog: once it
# has been read, the question ends the game in progress (はい, the default)
# before the record replaces it.
# After White's e3 and Black's d3, column d is Black's and column e White's
# from row 3 to 5.
focus "$win"
xdotool key ctrl+c
choose_file "棋譜を開く" "$work/records/white-first.ggf" 05-open-dialog ctrl+o
box=$(find_window "対局終了確認")
focus "$box"
xdotool key Return
wait_gone "対局終了確認"
empty_row=........
wait_board "$win" 06-opened-white-first "$empty_row$empty_row...XO......XO......XO...$empty_row$empty_row$empty_row" \
    "the game with White first"

# 5. Paste the copied game: record mode at its final position, its three
# lines listed, Black's first line with its dark mark.
focus "$win"
xdotool key ctrl+v
wait_board "$win" 07-pasted-game "${played//+/.}" "the pasted game's last position"
[ "$(dark_pixels "$shot" 302 $(($(line_y 0) - 6)) 16 13)" -gt 20 ] || fail "line 1 has no dark ● mark"
[ "$(title_of "$win")" = "Tavixリバーシ" ] || fail "window title"

exit_with_ctrl_x
working_folder_untouched
echo "records: passed"
