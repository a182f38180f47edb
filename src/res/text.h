// Every text the player meets, by id, in each language the game speaks. Each
// language has one table (text_ja.cpp, text_en.cpp) that gives every id its
// text; the language is chosen once at start and uiText() reads its table. A
// text that takes values is a printf format, and takes the same values in
// every language: where a language wants them in another order, its format
// numbers them ("%2$s ... %1$d"). No text is pasted together from pieces in
// one language's word order.
//
// The classical verses lv5 recites are poems and stay in the original in
// every language; they live in one table of their own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

enum class Language { Japanese, English };
constexpr int LanguageCount = 2;

// Counts of the families of texts below.
constexpr int TrialStages = 6;
constexpr int ProverbCount = 38;
constexpr int VerseCount = 100;
constexpr int PersonaCount = 8; // lv0..lv7

enum class TextId : int {
    AppTitle,

    // The menus. "&" marks the mnemonic; the text after a tab is the key.
    MenuFile,
    MenuTrial,
    MenuNewGame,
    MenuRecordMode,
    MenuOpenRecord,
    MenuSaveRecord,
    MenuCopyRecord,
    MenuPasteRecord,
    MenuPlayFromHere,
    MenuAnalyseRecord,
    MenuSettings,
    MenuExit,
    MenuGame,
    MenuUndo,
    MenuPass,
    MenuResign,
    MenuHint,
    MenuEditBoard,
    MenuEditClear,
    MenuEditStart,
    MenuEditBlack,
    MenuEditWhite,
    MenuCopyPosition,
    MenuShowOpenings,
    MenuShowLastMove,
    MenuView,
    MenuSize100,
    MenuSize150,
    MenuSize200,
    MenuHelp,
    MenuHowToPlay,
    MenuAbout,

    // Buttons of dialogs and message boxes.
    ButtonOk,
    ButtonCancel,
    ButtonYes,
    ButtonNo,

    // The new-game and settings dialogs.
    NewGameTitle,
    NewGameBlack,
    NewGameWhite,
    NewGameHuman,
    NewGameComputer,
    LevelEntry,       // persona name, level label
    LevelUnavailable, // the label of a level that cannot play here
    MasterUnavailable,
    SettingsTitle,
    SettingsWaitTime,

    // Leaving the board editor.
    EditDoneTitle,
    EditDoneLead,
    EditDonePlay,
    EditDoneHint,
    EditDoneSave,
    EditDoneCopy,
    EditDoneBack,

    // The status panel.
    MoveNumber, // the number, as digits
    BlackToMove,
    WhiteToMove,
    StateHumanTurn,
    StateHintSearching,
    StateHumanPass,
    StateComputerTurn,
    StateReplay,
    EditorTitle,
    EditorClickHint,
    OpeningPrefix,
    RecordOpening, // record line, opening name
    WithOpening,   // text, opening name
    ResultDraw,
    ResultBlackWins,
    ResultWhiteWins,
    ResultGameOver,
    StoneCountTitle,
    BlackCountLine, // player name, count
    WhiteCountLine, // player name, count
    UnnamedPlayer,
    HumanPlayer,
    ComputerPlayer, // level number, persona name

    // The keyboard's cell cursor, as accessibility tools read it: the cell.
    CursorBlack,
    CursorWhite,
    CursorEmptyLegal,
    CursorEmpty,
    EditorCursorBlack, // ... in the board editor, where any cell takes a stone
    EditorCursorWhite,
    EditorCursorEmpty,

    // The record list.
    RecordMoveLine, // colour mark, move number, column letter, row digits
    RecordPassLine, // colour mark, move number
    RecordStartLine,

    // The trial's banners.
    TrialBanner,
    TrialStageLine, // stage number as digits, the computer's name
    TrialPersonBlack,
    TrialPersonWhite,
    TrialLost,
    TrialLostLine,
    TrialCleared,
    TrialClearedLine,
    TrialWon,
    TrialWonLine,

    // Game files: opening, saving, copying.
    OpenRecordCaption,
    SaveRecordCaption,
    EndGameCaption,
    EndGameForPaste,
    EndGameForFile, // file name
    CannotOpenCaption,
    CannotSaveCaption,
    RecordTooLong,
    NotATranscript,
    NamedProblem, // file name, problem
    FilterRecords,
    FilterAllFiles,
    FilterGgf,
    FilterTranscript,
    SaveNoPermission,
    SaveDiskFull,
    SaveTooLarge,
    SaveReadOnly,
    SaveNoFolder,
    SaveNotRegular,
    SaveFailed,
    SaveFailure, // file name, problem, error number
    Saved,       // file name

    // Resignation and the game kept from an earlier run.
    ResignQuestion,
    ResignCaption,
    ResumeCaption,
    ResumeQuestion, // move number, Black's name, White's name

    // Problems of a game file or text.
    RecordEmpty,
    UnknownFormat,
    TextTooLarge,
    FileTooLarge,
    BinaryData,
    NotUtf8,
    BadUtf16,
    NotRegularFile,
    FileNotFound,
    NoReadPermission,
    FileUnreadable,
    GgfTruncated,
    GgfNotOthello,
    GgfBadBoard,
    GgfMissingBoard,
    GgfSyntax,          // line number
    PositionUnreadable, // what is wrong
    PositionTooManyCells,
    PositionTooFewCells, // cells read
    PositionMissingSide,
    PositionBadSide,
    PositionDead,
    EditorHelp,
    EditorCopied,
    EditorDeadPosition, // what is wrong
    HintLine,           // cell, estimate mark or nothing, value
    ReviewCaption,
    ReviewWorking,
    ReviewFailed,
    ReviewLostMoveShown, // move number
    ReviewLegend,        // search depth
    ReviewLegendExact,
    ReviewNoLoss,
    ReviewLossCount,        // count
    ReviewSummaryExact,     // the count
    ReviewSummaryEstimated, // the count, search depth
    ReviewSummaryPartly,    // the count, search depth, move number
    ReviewLostLine,         // move number, colour mark, cell, value, best cell, its value
    ReviewAxis,
    ReviewAxisGap,    // the room between the axis title and the legend
    PositionTrailing, // line number
    ColourBlack,
    ColourWhite,
    PassMove,
    TurnIllegal,      // move number, cell
    TurnCannotPass,   // move number, colour that can move
    TurnAfterEnd,     // move number, cell
    TurnWrongSide,    // move number, cell, its colour, the side to move
    TurnUnreadable,   // move number
    TurnUnreadableAs, // move number, the text read

    // The help menu's windows.
    HowToPlayTitle,
    HowToPlayText,
    AboutTitle,
    AboutText, // version, settings folder, kept game
    NoFolder,  // why there is none

    // The command line.
    HelpText,

    // Families: the first of each, then one id for each member.
    SpeechWin, // the trial opponent of stage 1..6 wins
    LastSpeechWin = SpeechWin + TrialStages - 1,
    SpeechLose, // ... loses
    LastSpeechLose = SpeechLose + TrialStages - 1,
    SpeechOpen, // ... opens the stage
    LastSpeechOpen = SpeechOpen + TrialStages - 1,
    Proverb,
    LastProverb = Proverb + ProverbCount - 1,
    Persona, // lv0..lv7's short names
    LastPersona = Persona + PersonaCount - 1,
    LevelLabel, // lv0..lv7's strength, after the name in the level lists
    LastLevelLabel = LevelLabel + PersonaCount - 1,
    Verse, // the same in every language
    LastVerse = Verse + VerseCount - 1,

    Count
};
constexpr int TextCount = static_cast<int>(TextId::Count);

// The member index of a family: TextId::Proverb + 3.
constexpr TextId operator+(TextId first, int index)
{
    return static_cast<TextId>(static_cast<int>(first) + index);
}

constexpr bool isVerse(TextId id)
{
    return id >= TextId::Verse && id <= TextId::LastVerse;
}

struct TextEntry {
    TextId id;
    const char* text;
};

// Whether entries give every id but the verses exactly one text; each table
// checks itself with it when it is compiled.
template <std::size_t N> consteval bool coversEveryText(const TextEntry (&entries)[N])
{
    bool seen[TextCount] = {};
    for (const TextEntry& entry : entries) {
        const int i = static_cast<int>(entry.id);
        if (i < 0 || i >= TextCount || isVerse(entry.id) || seen[i] || entry.text == nullptr)
            return false;
        seen[i] = true;
    }
    for (int i = 0; i < TextCount; ++i)
        if (!seen[i] && !isVerse(static_cast<TextId>(i)))
            return false;
    return true;
}

// The language of the interface; Japanese until setLanguage.
Language currentLanguage();
void setLanguage(Language language);

// The text of id in the interface's language, or in the one given.
const char* uiText(TextId id);
const char* uiTextIn(Language language, TextId id);
// The format of id with its values filled in.
std::string formatUiText(TextId id, ...);

// "ja" or "en", as --lang takes them; false for any other.
bool languageFromCode(std::string_view code, Language& language);
const char* languageCode(Language language);
// The language of the locale, read as the C library reads it: the first of
// LANGUAGE, LC_ALL, LC_MESSAGES and LANG that is set and not empty decides
// (LANGUAGE, a list, by its first entry). Japanese for a Japanese locale
// ("ja", "ja_JP.UTF-8"), for the C or POSIX locale and when none is set;
// English for every other language. Any argument may be nullptr.
Language languageOfLocale(const char* language, const char* lcAll, const char* lcMessages, const char* lang);
Language languageOfEnvironment();
