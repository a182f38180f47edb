// The English texts. Every one converts to code page 932 as the Japanese do,
// and holds no Japanese character: where the Japanese texts use full-width
// signs and ideographic spaces, these use their ASCII forms.
#include "res/text_tables.h"

#include <iterator>

namespace {

using enum TextId;

constexpr TextEntry entries[] = {
    {AppTitle, "Tavix Reversi"},

    {MenuFile, "&File"},
    {MenuTrial, "&Trial"},
    {MenuNewGame, "&New Game...\tCtrl+N"},
    {MenuRecordMode, "&Record Mode"},
    {MenuOpenRecord, "&Open Record...\tCtrl+O"},
    {MenuSaveRecord, "&Save Record...\tCtrl+S"},
    {MenuCopyRecord, "&Copy Record\tCtrl+C"},
    {MenuPasteRecord, "&Paste Record\tCtrl+V"},
    {MenuPlayFromHere, "Play &from Here..."},
    {MenuAnalyseRecord, "&Analyse Record"},
    {MenuSettings, "S&ettings..."},
    {MenuExit, "E&xit\tCtrl+X"},
    {MenuGame, "&Game"},
    {MenuUndo, "&Undo\tCtrl+Z"},
    {MenuPass, "&Pass\tCtrl+P"},
    {MenuResign, "&Resign...\tCtrl+G"},
    {MenuHint, "&Hint\tCtrl+H"},
    {MenuEditBoard, "&Edit Board\tCtrl+E"},
    {MenuEditClear, "&Clear the Board"},
    {MenuEditStart, "&Starting Position"},
    {MenuEditBlack, "&Black to Move"},
    {MenuEditWhite, "&White to Move"},
    {MenuCopyPosition, "Cop&y Position"},
    {MenuShowOpenings, "Show &Opening Names"},
    {MenuShowLastMove, "Show &Last Move"},
    {MenuView, "&View"},
    {MenuSize100, "&100%"},
    {MenuSize150, "1&50%"},
    {MenuSize200, "&200%"},
    {MenuHelp, "&Help"},
    {MenuHowToPlay, "&How to Play\tF1"},
    {MenuAbout, "&About Tavix Reversi"},

    {ButtonOk, "OK"},
    {ButtonCancel, "Cancel"},
    {ButtonYes, "Yes"},
    {ButtonNo, "No"},

    {NewGameTitle, "New Game"},
    {NewGameBlack, "● Black"},
    {NewGameWhite, "○ White"},
    {NewGameHuman, "Human"},
    {NewGameComputer, "Computer"},
    {LevelEntry, "%s %s"},
    {LevelUnavailable, "(unavailable)"},
    {MasterUnavailable,
     "The Master cannot be chosen: its evaluation data could not be read. Please choose another level."},
    {SettingsTitle, "Settings"},
    {SettingsWaitTime, "Wait between moves (ms):"},

    {EditDoneTitle, "Finish Editing"},
    {EditDoneLead, "With this position:"},
    {EditDonePlay, "Play"},
    {EditDoneHint, "Show Hint"},
    {EditDoneSave, "Save as GGF..."},
    {EditDoneCopy, "Copy as GGF"},
    {EditDoneBack, "Back to Editing"},

    {MoveNumber, "Move %s"},
    {BlackToMove, "Black to move"},
    {WhiteToMove, "White to move"},
    {StateHumanTurn, "Play on a highlighted square"},
    {StateHintSearching, "Reading the hint..."},
    {StateHumanPass, "No square to play on: pass"},
    {StateComputerTurn, "Computer thinking........"},
    {StateReplay, "Replaying the record........"},
    {EditorTitle, "Board Editor"},
    {EditorClickHint, "Click to place discs"},
    {OpeningPrefix, "Opening: "},
    {RecordOpening, "%s  %s"},
    {WithOpening, "%s  Opening: %s"},
    {ResultDraw, "A draw...."},
    {ResultBlackWins, "Black wins!"},
    {ResultWhiteWins, "White wins!"},
    {ResultGameOver, "Game over."},
    {StoneCountTitle, "Discs on the board"},
    {BlackCountLine, "Black (%s): %s"},
    {WhiteCountLine, "White (%s): %s"},
    {UnnamedPlayer, "?"},
    {HumanPlayer, "Human"},
    {ComputerPlayer, "lv%d %s"},

    {CursorBlack, "%s: black disc"},
    {CursorWhite, "%s: white disc"},
    {CursorEmptyLegal, "%s: empty, you can play here"},
    {CursorEmpty, "%s: empty, no move here"},
    {EditorCursorBlack, "%s: black disc"},
    {EditorCursorWhite, "%s: white disc"},
    {EditorCursorEmpty, "%s: empty"},

    {RecordMoveLine, "%s %s.  %c%s"},
    {RecordPassLine, "%s %s.  pass"},
    {RecordStartLine, "Starting position"},

    {TrialBanner, "Trial Mode"},
    {TrialStageLine, "Stage %s vs %s"},
    {TrialPersonBlack, "● You play Black"},
    {TrialPersonWhite, "○ You play White"},
    {TrialLost, "Defeat..."},
    {TrialLostLine, "Game Over!"},
    {TrialCleared, "All Cleared!"},
    {TrialClearedLine, "Congratulations♪"},
    {TrialWon, "Victory!"},
    {TrialWonLine, "Next stage..."},

    {OpenRecordCaption, "Open Record"},
    {SaveRecordCaption, "Save Record"},
    {EndGameCaption, "End the Game"},
    {EndGameForPaste, "End the game in progress and open the pasted record?"},
    {EndGameForFile, "End the game in progress and open \"%s\"?"},
    {CannotOpenCaption, "Cannot Open the Record"},
    {CannotSaveCaption, "Cannot Save the Record"},
    {RecordTooLong, "The record is too long"},
    {NotATranscript, "A record that does not start from the standard position cannot be saved as a "
                     "move list. Save it as GGF."},
    {NamedProblem, "\"%s\": %s"},
    {FilterRecords, "Game records"},
    {FilterAllFiles, "All files"},
    {FilterGgf, "GGF"},
    {FilterTranscript, "Move list"},
    {SaveNoPermission, "You have no permission to write there."},
    {SaveDiskFull, "The disk is full."},
    {SaveTooLarge, "The file would pass the size limit."},
    {SaveReadOnly, "The place is read-only."},
    {SaveNoFolder, "The folder to save in does not exist."},
    {SaveNotRegular, "It is not a regular file."},
    {SaveFailed, "It could not be written."},
    {SaveFailure, "Could not save \"%s\".\n%s (%d)"},
    {Saved, "Saved: %s"},

    {ResignQuestion, "Do you really want to resign?"},
    {ResignCaption, "Resign"},
    {ResumeCaption, "Resume the Game"},
    {ResumeQuestion, "The last game was left unfinished (move %d, Black: %s, White: %s). Resume it?"},

    {RecordEmpty, "The record is empty"},
    {UnknownFormat, "The record's format is unknown (neither GGF nor a move list)"},
    {TextTooLarge, "The record is too large (1 MiB at most)"},
    {FileTooLarge, "The file is too large (1 MiB at most)"},
    {BinaryData, "This is not text (it holds binary data)"},
    {NotUtf8, "The text is not in UTF-8"},
    {BadUtf16, "Some characters cannot be read as UTF-16"},
    {NotRegularFile, "This is not a regular file"},
    {FileNotFound, "The file does not exist"},
    {NoReadPermission, "You have no permission to read the file"},
    {FileUnreadable, "The file cannot be read"},
    {GgfTruncated, "The GGF text breaks off"},
    {GgfNotOthello, "The GGF game is not GM[Othello]"},
    {GgfBadBoard, "The GGF starting position BO is not valid"},
    {GgfMissingBoard, "The GGF game has no starting position BO"},
    {GgfSyntax, "The GGF text is not well formed (line %d)"},
    {PositionUnreadable, "The position text cannot be read: %s"},
    {PositionTooManyCells, "there are more than 64 squares"},
    {PositionTooFewCells, "the position gives only %d of the 64 squares"},
    {PositionMissingSide, "the side to move (X or O) is missing"},
    {PositionBadSide, "the side to move is unclear (write X or O)"},
    {PositionDead, "Neither side can move here"},
    {EditorHelp, "Board editor: a click cycles empty, black, white; a right click goes back.\n"
                 "Ctrl+E: finish, to play, see a hint or save. Esc: leave, the game as it was."},
    {EditorCopied, "Position copied as GGF"},
    {EditorDeadPosition, "%s.\nPlace discs so that one side can move."},
    {HintLine, "Expected line after %s (%s%s): "},
    {ReviewCaption, "Analyse Record"},
    {ReviewWorking, "Estimating every position, then solving exactly from the end…"},
    {ReviewFailed, "The analysis could not start. Please try again."},
    {ReviewLostMoveShown, "Before move %d: the move played framed in red, the best move in blue"},
    {ReviewLegend, "○ estimate (%d moves deep)   ● exact"},
    {ReviewLegendExact, "● exact"},
    {ReviewNoLoss, "No losing moves"},
    {ReviewLossCount, "Losing moves: %d"},
    {ReviewSummaryExact, "%s (all exact)"},
    {ReviewSummaryEstimated, "%s (≒ estimated %d deep)"},
    {ReviewSummaryPartly, "%s (≒ estimated %d deep, exact from move %d)"},
    {ReviewLostLine, "Move %d %s%s %s (best %s %s)"},
    {ReviewAxis, "Final disc difference for Black"},
    {ReviewAxisGap, "   "},
    {PositionTrailing, "something follows the position (line %d)"},
    {ColourBlack, "Black"},
    {ColourWhite, "White"},
    {PassMove, "pass"},
    {TurnIllegal, "Move %d: %s is not a legal move"},
    {TurnCannotPass, "Move %d: a pass, but %s has a move"},
    {TurnAfterEnd, "Move %d: %s: the game is already over"},
    {TurnWrongSide, "Move %d: %s is a move of %s, but %s is to move"},
    {TurnUnreadable, "Move %d cannot be read"},
    {TurnUnreadableAs, "Move %d cannot be read (\"%s\")"},

    {HowToPlayTitle, "How to Play"},
    {HowToPlayText, "RULES\n"
                    "Black and White take turns placing discs on the 8 x 8 board; Black moves first.\n"
                    "You may only play where your disc traps a line of your opponent's discs, across, "
                    "down or diagonally, between it and another of your discs. Every trapped disc is "
                    "turned over to your colour.\n"
                    "With no such square, you pass. When neither side can move the game is over, and "
                    "whoever has more discs wins.\n"
                    "\n"
                    "KEYS\n"
                    "Click a highlighted square to play there.\n"
                    "The arrow keys move a yellow frame over the board; Enter or Space plays on it. "
                    "Home and End jump to the first and the last square you can play on.\n"
                    "Ctrl+N new game   Ctrl+Z undo   Ctrl+P pass   Ctrl+G resign   Ctrl+H hint\n"
                    "Ctrl+O open record   Ctrl+S save record   Ctrl+C copy record   Ctrl+V paste record\n"
                    "Ctrl+E edit board   Ctrl+X exit   F1 this help\n"
                    "In record mode the Up and Down keys choose a move of the record and show its position.\n"
                    "In the board editor a click turns a square empty, black, white (a right click goes the "
                    "other way). Ctrl+E finishes, to play, see a hint or save; Esc goes back to the game.\n"
                    "\n"
                    "READING A HINT\n"
                    "A hint shows on each square you can play on the final disc difference that move "
                    "leads to, for the side to move (empty squares count for the winner): +4 wins by 4 "
                    "discs, -6 loses by 6.\n"
                    "The numbers on a yellow plate are the best moves.\n"
                    "Black numbers are exact: the game was read to its end. Blue numbers under a small "
                    "\"≒\" are estimates, usually within a few discs; compare them with each other.\n"
                    "A red dot marks the last move played (Show Last Move in the Game menu turns it off).\n"
                    "\n"
                    "TRIAL\n"
                    "Meet six opponents in turn, lv1 to lv6. A loss ends the trial."},
    {AboutTitle, "About Tavix Reversi"},
    {AboutText, "Tavix Reversi %s\n"
                "\n"
                "Copyright (c) 2026 the Tavix Reversi developers.\n"
                "Free software under the MIT License.\n"
                "The hundred classical verses are in the public domain.\n"
                "\n"
                "Settings: %s\n"
                "Game in progress: %s"},
    {NoFolder, "(not kept: %s)"},

    {HelpText, "Usage: reverse [-h|--help] [--version] [--lang ja|en] [FILE]\n"
               "Tavix Reversi: Reversi (Othello) against a friend or eight computer levels.\n"
               "\n"
               "  FILE         a game record (GGF or transcript) to open in record mode\n"
               "  --lang LANG  the interface's language: ja (Japanese) or en (English);\n"
               "               by default the locale's (LANGUAGE, LC_ALL, LC_MESSAGES, LANG):\n"
               "               Japanese for a Japanese or the C locale, English otherwise\n"
               "  -h, --help   print this help and exit\n"
               "  --version    print the version and exit\n"
               "\n"
               "The manual page reverse(6) lists the keys and the files the game keeps.\n"},

    // Stage s's opponent wins; the passwords are the same keepsakes as in
    // Japanese, but the last, which is a title.
    {SpeechWin + 0, "Peep? I won! Let's play again sometime"},
    {SpeechWin + 1, "Heh heh, I win! You need more training\r\nPassword: sprout"},
    {SpeechWin + 2, "Your training is far from done. Come back when you are ready\r\nPassword: wander"},
    {SpeechWin + 3, "Your basics are lacking. Go back to the dojo and train\r\nPassword: mastery"},
    {SpeechWin + 4, "Hee hee. In love on the board as in verse, one must know when to withdraw\r\n"
                    "Password: moon"},
    {SpeechWin + 5, "Ho ho, so close. Keep at it, and one day you will reach me\r\nPassword: crane"},

    {SpeechLose + 0, "Peep... I lost. Someone stronger is waiting for you next"},
    {SpeechLose + 1, "Tch, not bad. But the ronin up next is a tough one"},
    {SpeechLose + 2, "Splendid play. I concede. The dojo's sensei will not go easy on you"},
    {SpeechLose + 3, "Hm, I yield. The dojo's sign is yours to keep for a while"},
    {SpeechLose + 4, "My, how splendid. Do give my regards to the hermit beyond"},
    {SpeechLose + 5, "Ho ho ho, bravo! There is nothing left for me to teach you\r\n"
                     "Password: Peerless Master of the Board"},

    {SpeechOpen + 0, "Peep! My very first game. Please play with me!"},
    {SpeechOpen + 1, "Heh, I'm still in training too. I won't go easy on you!"},
    {SpeechOpen + 2, "I am but a wandering ronin. Allow me to give you a game"},
    {SpeechOpen + 3, "As the dojo's sensei, I shall defend its sign"},
    {SpeechOpen + 4, "Oh, welcome. Instead of a poetry contest, shall we play a game?"},
    {SpeechOpen + 5, "Ho ho, so you made it this far. Now let us talk over the board"},

    // Our own renderings of the hermit's proverbs, in the order of the Japanese.
    {Proverb + 0, "Know your enemy and know yourself, and you need not fear a hundred battles"},
    {Proverb + 1, "When in a hurry, take the long way round"},
    {Proverb + 2, "Sit on a stone for three years and even it grows warm"},
    {Proverb + 3, "Fall down seven times, get up eight"},
    {Proverb + 4, "Even dust, piled up, becomes a mountain"},
    {Proverb + 5, "Even monkeys fall from trees"},
    {Proverb + 6, "Who never enters the tiger's den never takes its cub"},
    {Proverb + 7, "Too much is as bad as too little"},
    {Proverb + 8, "Be prepared and you need not worry"},
    {Proverb + 9, "To lose is to win"},
    {Proverb + 10, "After victory, tighten your helmet strings"},
    {Proverb + 11, "Seeing once beats hearing a hundred times"},
    {Proverb + 12, "Haste spoils the work"},
    {Proverb + 13, "The doing is easier than the worrying"},
    {Proverb + 14, "After the rain the ground grows firm"},
    {Proverb + 15, "The frog in the well knows nothing of the great sea"},
    {Proverb + 16, "Take a stick before you stumble"},
    {Proverb + 17, "Chase two hares and you will catch neither"},
    {Proverb + 18, "The clever hawk hides its claws"},
    {Proverb + 19, "Good fortune comes to those who sleep and wait"},
    {Proverb + 20, "The nail that sticks out gets hammered down"},
    {Proverb + 21, "A drowning man will clutch at a straw"},
    {Proverb + 22, "A journey of a thousand miles begins with a single step"},
    {Proverb + 23, "Even an inch-long worm has half an inch of soul"},
    {Proverb + 24, "Do all you can, then wait on heaven's will"},
    {Proverb + 25, "Failure is the root of success"},
    {Proverb + 26, "Spilt water never returns to the tray"},
    {Proverb + 27, "Study the old to understand the new"},
    {Proverb + 28, "Three heads together are as wise as Manjushri"},
    {Proverb + 29, "What you love, you will do well"},
    {Proverb + 30, "Practice beats study"},
    {Proverb + 31, "Regret never comes first"},
    {Proverb + 32, "Carelessness is the greatest enemy"},
    {Proverb + 33, "An ant hole can bring down a dike"},
    {Proverb + 34, "A cornered rat will bite the cat"},
    {Proverb + 35, "The onlooker sees eight moves ahead"},
    {Proverb + 36, "Who moves first commands the others"},
    {Proverb + 37, "Begin like a maiden, end like a fleeing hare"},

    {Persona + 0, "Dice"},
    {Persona + 1, "Chick"},
    {Persona + 2, "Rascal"},
    {Persona + 3, "Ronin"},
    {Persona + 4, "Sensei"},
    {Persona + 5, "Princess"},
    {Persona + 6, "Hermit"},
    {Persona + 7, "Master"},

    {LevelLabel + 0, "(random moves)"},
    {LevelLabel + 1, "(weak)"},
    {LevelLabel + 2, "(a little weak)"},
    {LevelLabel + 3, "(average)"},
    {LevelLabel + 4, "(a little strong)"},
    {LevelLabel + 5, "(very strong)"},
    {LevelLabel + 6, "(strongest)"},
    {LevelLabel + 7, "(in a class of its own)"},
};

static_assert(coversEveryText(entries), "every text needs exactly one English form");

} // namespace

const TextTable englishTexts{entries, std::size(entries)};
