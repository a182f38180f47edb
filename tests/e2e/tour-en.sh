#!/usr/bin/env bash
# The English interface in a real X server, under an English locale: the
# new-game dialog, a game against lv0, the settings dialog, the board editor
# and the dialog that ends it, a hint with a cell's line, Qt's own file
# dialog in English, a record opened and analysed, the first trial banner,
# and the Help menu's two windows, each found by its English title and shot.
# Usage: tour-en.sh <reverse binary> <screenshot folder>   (run under xvfb-run)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export E2E_LANG=en_US.UTF-8
source "$here/lib.sh" "$@"

enter_scratch
"$bin" &
pid=$!
trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT

# Opens menu $1 of the menu bar and takes its item by mnemonic $2, as the
# English menus give every item one.
menu_key() { # menu letter, item letter
    focus "$win"
    xdotool key "alt+$1"
    wait_until "$patience" popup_open || fail "menu $1 did not open"
    xdotool key "$2"
    wait_until "$patience" popup_closed || fail "menu $1 did not close"
}

# The new-game dialog: White's PC chosen (Tab from Black's Human over Black's
# Computer and White's Human), lv0 kept.
dialog=$(find_window "New Game")
focus "$dialog"
xdotool key Tab Tab Tab space
wait_shot "$dialog" en-01-new-game-dialog "the new-game dialog drawn" dialog_drawn_shot
xdotool key Return
wait_gone "New Game"
win=$(find_window "Tavix Reversi")
wait_settled "$win" en-02-start 4 X
shoot "$win" en-02-before-move
first_lit_cell "$shot"
click_client "$win" "$(cell_x "$cell_c")" "$(cell_y "$cell_r")"
# Black's move and lv0's reply: six stones, Black to move.
wait_settled "$win" en-02-main-window 6 X

# The settings dialog, closed with Escape.
menu_key f e
dialog=$(find_window "Settings")
focus "$dialog"
wait_shot "$dialog" en-03-settings-dialog "the settings dialog drawn" dialog_drawn_shot
xdotool key Escape
wait_gone "Settings"

# The board editor over the game: its panel and help line with a black stone
# put on a1, the dialog that ends it (Escape: back to editing), and Escape
# back to the game as it was.
shoot "$win" en-03-before-editing
find_client_origin "$shot"
a1_dark() { shoot "$win" en-03-board-editor && is_dark "$shot" "$(cell_x 1)" $(($(cell_y 1) + 7)); }
focus "$win"
xdotool key ctrl+e
click_client "$win" "$(cell_x 1)" "$(cell_y 1)"
wait_until "$patience" a1_dark || fail "the editor did not put Black on a1, last in $shot"
focus "$win"
xdotool key ctrl+e
dialog=$(find_window "Finish Editing")
wait_shot "$dialog" en-03-finish-editing-dialog "the dialog that ends editing drawn" dialog_drawn_shot
focus "$dialog"
xdotool key Escape
wait_gone "Finish Editing"
focus "$win"
xdotool key Escape
a1_empty() { shoot "$win" en-03-back-to-the-game && is_board "$shot" "$(cell_x 1)" "$(cell_y 1)"; }
wait_until "$patience" a1_empty || fail "Escape did not bring the game back, last in $shot"

# A hint on the game: estimates in blue with the best cells on a plate, and
# with the mouse on a plate the cell's expected line in the message line.
board_pixels() { convert "$1" -crop "240x240+$((ox + 20))+$((oy + 20))" +repage txt:- | grep -c "$2" || true; }
estimates_shown() { [ "$(board_pixels "$shot" '#000096')" -gt 10 ] && [ "$(board_pixels "$shot" '#FFE840')" -gt 0 ]; }
focus "$win"
xdotool mousemove --window "$win" $((ox + 400)) $((oy + 200))
xdotool key ctrl+h
wait_shot "$win" en-03-hint "estimated values on the board" estimates_shown
plate_cell() { # sets cell_c, cell_r to the first cell on a plate in image $1
    local c r
    for c in 1 2 3 4 5 6 7 8; do
        for r in 1 2 3 4 5 6 7 8; do
            if is_pixel "$1" $((30 * c - 5)) $((30 * r - 5)) "255 232 64"; then
                cell_c=$c
                cell_r=$r
                return 0
            fi
        done
    done
    fail "no plate on the board in $1"
}
plate_cell "$shot"
xdotool mousemove --window "$win" $((ox + $(cell_x "$cell_c"))) $((oy + $(cell_y "$cell_r")))
line_shown() { [ "$(dark_pixels "$shot" 24 268 490 34)" -gt 60 ]; }
wait_shot "$win" en-03-hint-line "the cell's line in the message line" line_shown

# A whole game opened from a transcript, over the game running (Yes ends
# it), shown in record mode and analysed.
mkdir "$work/records"
echo f5f4f3f6d3f2g6c3b3b2g4g3b1d2c4c5f1g2g1g5c6a1h6a2b5c7f7d6c2h5b8e7d1a4a3g7h4e3e6h1d8e1e8b4f8h2c1h8a6b6h3g8a5h7b7c8d7a7a8e2 \
    >"$work/records/whole.txt"
choose_file "Open Record" "$work/records/whole.txt" en-04-open-record-dialog ctrl+o
question=$(find_window "End the Game")
focus "$question"
xdotool key Return
wait_gone "End the Game"
full_board() { client_origin "$shot" && [ "$(stones_in "$(board_cells "$shot")")" = 64 ]; }
wait_shot "$win" en-04-record-opened "the opened game's last position" full_board
menu_key f a
review=$(find_window "Analyse Record")
# Done: the progress bar gone and the list of lost moves drawn.
list_drawn() {
    [ "$(convert "$shot" -crop 300x100+20+280 +repage -colorspace Gray -threshold 35% -negate \
        -format '%[fx:int(mean*w*h+0.5)]' info:)" -gt 50 ]
}
analysis_done() { [ "$(pixel "$shot" 200 252)" = "$(pixel "$shot" 455 250)" ] && list_drawn; }
patience=$((patience + 60)) shoot_until "$review" en-05-analysis-window analysis_done ||
    fail "the analysis of the whole game did not end, last in $shot"
focus "$review"
xdotool key Escape
wait_gone "Analyse Record"

# The first trial stage's banner.
menu_key f t
wait_shot "$win" en-06-trial-banner "the banner text over the board" banner_shown

# Help: how to play (F1), closed with Return, and the about box.
focus "$win"
xdotool key F1
help=$(find_window "How to Play")
wait_shot "$help" en-07-how-to-play "the how-to-play window drawn" dialog_drawn_shot
focus "$help"
xdotool key Return
wait_gone "How to Play"
menu_key h a
about=$(find_window "About Tavix Reversi")
wait_shot "$about" en-08-about "the about box drawn" dialog_drawn_shot
focus "$about"
xdotool key Return
wait_gone "About Tavix Reversi"

exit_with_ctrl_x
working_folder_untouched
echo "tour-en: passed"
