#include "soak_checks.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "../config_home.h"
#include "board/board.h"
#include "modes/editor.h"
#include "modes/record.h"
#include "platform/platform.h"
#include "rules_oracle.h"
#include "ui/computer.h"
#include "ui/gdi.h"
#include "ui/hint_view.h"
#include "ui/playflow.h"

namespace {

constexpr Move EndMarker{-1, -1};

std::string format(const char* pattern, int a, int b = 0, int c = 0, int d = 0)
{
    char text[256];
    std::snprintf(text, sizeof text, pattern, a, b, c, d);
    return text;
}

bool knownState(int state)
{
    return state == HumanTurn || state == HumanPass || state == ComputerTurn || state == GameOver ||
           state == Resigned || state == Replay;
}

// Entries before the end marker: the length of the last game's record.
int recordLength()
{
    int n = 1;
    while (n <= GameRecordSize && !(recordEntry(n) == EndMarker))
        ++n;
    return n - 1;
}

// Every turn, a pass included, alternates from the record's first side.
int colourOfEntry(int n)
{
    return n % 2 == 1 ? recordFirstSide : opponentOf(recordFirstSide);
}

std::string checkBoardCells()
{
    int black = 0, white = 0, empty = 0;
    for (int index = 0; index < 100; ++index) {
        const int cell = liveBoard[index];
        if (!oracle::onBoard(index)) {
            if (cell != Empty)
                return format("ring cell %d holds %d", index, cell);
            continue;
        }
        if (cell == Black)
            ++black;
        else if (cell == White)
            ++white;
        else if (cell == Empty)
            ++empty;
        else
            return format("cell %d holds %d", index, cell);
    }
    if (black + white + empty != 64 || countStones(Black, liveBoard) != black ||
        countStones(White, liveBoard) != white)
        return format("stone counts: black %d white %d empty %d, counted by the game %d", black, white, empty,
                      countStones(Black, liveBoard));
    return "";
}

// Replays entries 1..count by the rules, each by the side whose turn it is;
// a pass is only right for a side without a legal move.
std::string replayRecord(int count, oracle::Cells& cells)
{
    cells = recordStart; // the standard start, or one set up in the editor
    for (int n = 1; n <= count; ++n) {
        const Move e = recordEntry(n);
        const int colour = colourOfEntry(n);
        if (e == EndMarker)
            return format("end marker at entry %d inside a record of %d entries", n, count);
        if (e.column == 0 && e.row == 0) {
            if (oracle::hasMove(cells, colour))
                return format("entry %d is a pass of colour %d, which had a legal move", n, colour);
            continue;
        }
        if (!oracle::isLegal(cells, e.column, e.row, colour))
            return format("entry %d (%d,%d) is not a legal move of colour %d", n, e.column, e.row, colour);
        oracle::play(cells, e.column, e.row, colour);
    }
    return "";
}

std::string describeDifference(const oracle::Cells& expected)
{
    for (int index = 0; index < 100; ++index)
        if (liveBoard[index] != expected[index])
            return format(
                "liveBoard differs from the record (moveNumber %d) first at cell %d: %d, expected %d",
                moveNumber, index, liveBoard[index], expected[index]);
    return "";
}

std::string checkBoardAgainstRecord()
{
    if (moveNumber < 1 || moveNumber > GameRecordSize)
        return format("moveNumber %d out of range", moveNumber);
    oracle::Cells expected;
    std::string problem = replayRecord(moveNumber - 1, expected);
    if (problem.empty())
        problem = describeDifference(expected);
    if (!problem.empty())
        return problem;
    // A running worker has begun its side's turn; otherwise the side whose
    // turn began last made the last entry.
    const int lastColour = moveNumber == 1 ? opponentOf(recordFirstSide) : colourOfEntry(moveNumber - 1);
    const int expectedSide = workerThread != nullptr ? opponentOf(lastColour) : lastColour;
    if (currentSide != expectedSide)
        return format("currentSide %d after %d entries (worker %d)", currentSide, moveNumber - 1,
                      workerThread != nullptr);
    return "";
}

std::string checkRecordList(bool boardInUse)
{
    const int count = listBoxCount(recordList);
    if (!boardInUse)
        return count == 0 ? "" : format("record list has %d lines before any game", count);
    // In play the list has a line per entry made; after a game (and in
    // record mode) it lists the whole record, after a start line of its own
    // when it starts elsewhere than the standard start.
    const int start = recordHasStartLine() ? 1 : 0;
    const int expected = (gameState >= 0 ? moveNumber - 1 : recordLength()) + start;
    if (count != expected)
        return format("record list has %d lines, expected %d (gameState %d, moveNumber %d)", count, expected,
                      gameState, moveNumber);
    for (int i = start; i < count; ++i) {
        const int n = i + 1 - start;
        const Move e = recordEntry(n);
        char have[200] = "";
        listBoxText(recordList, i, have, sizeof have);
        if (recordListText(e.column, e.row, n, colourOfEntry(n)) != have)
            return format("record list line %d does not show entry %d", i, n);
    }
    return "";
}

bool anyAnimationPending(Window* window)
{
    for (uintptr_t slot = 0; slot < 4; ++slot)
        if (timerPending(window, slot))
            return true;
    return false;
}

// A state that waits for something must have it coming, or the game stalls.
std::string checkSomethingPending(Window* window)
{
    const bool waitOrAnimation = timerPending(window, WaitTimer) || anyAnimationPending(window);
    if (gameState == ComputerTurn && workerThread == nullptr && !waitOrAnimation &&
        !timerPending(window, BannerTimer))
        return "ComputerTurn with no worker and no timer to start one";
    if (gameState == HumanPass && !timerPending(window, PassTimer))
        return "HumanPass without the automatic pass pending";
    if (bannerUp != 0 && !timerPending(window, BannerTimer))
        return "banner up without its timer";
    if (gameState == Replay && replayRunning == 100 && !waitOrAnimation)
        return "playback running with no timer to take the next step";
    return "";
}

// What a cell shows below its centre, clear of the last move's mark: a dark
// stone, a light stone or the green of the board (plain or highlighted).
int shownAt(Window* window, int column, int row)
{
    const Colour c = windowPixel(window, 30 * column + 5, 30 * row + 12);
    const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    if (g > r + 60 && g > b + 40)
        return Empty;
    if (r + g + b < 3 * 90)
        return Black;
    if (r + g + b > 3 * 170)
        return White;
    return -1;
}

// Once the turned stones have settled and no banner covers the board, the
// picture shows the position; the paint the event loop would deliver is
// delivered first.
std::string checkBoardPicture(Window* window)
{
    if (bannerUp != 0 || anyAnimationPending(window))
        return "";
    updateWindow(window);
    // A hint's marks cover the middle of its legal cells.
    const bool marks = hintShown();
    for (int column = 1; column <= 8; ++column)
        for (int row = 1; row <= 8; ++row)
            if (!(marks && liveBoard[cellIndex(column, row)] == Empty) &&
                shownAt(window, column, row) != liveBoard[cellIndex(column, row)])
                return format("cell %d,%d shows %d, the board holds %d", column, row,
                              shownAt(window, column, row), liveBoard[cellIndex(column, row)]);
    return "";
}

// Playback belongs to record mode; a trial game is one person against the
// stage's level.
std::string checkModes()
{
    // Record mode may lose the button (a cancelled new game disables it
    // there), but no other state may have it.
    if (isWindowEnabled(playButton) && gameState != Replay)
        return format("play button enabled %d in gameState %d", isWindowEnabled(playButton), gameState);
    if (replayRunning != 0 && (replayRunning != 100 || gameState != Replay))
        return format("replayRunning %d in gameState %d", replayRunning, gameState);
    if (trialStage != -1 && (trialStage < 1 || trialStage > 6))
        return format("trialStage %d", trialStage);
    if (trialStage > 0 && gameState >= 0) {
        const int computer = blackPlayer == 0 ? whitePlayer : blackPlayer;
        if ((blackPlayer == 0) == (whitePlayer == 0) || computer != trialStage + 1)
            return format("trial stage %d with players %d and %d", trialStage, blackPlayer, whitePlayer);
    }
    return "";
}

std::string checkCounters()
{
    if (!knownState(gameState))
        return format("unknown gameState %d", gameState);
    if (workerThread != nullptr && gameState != ComputerTurn)
        return format("a worker runs in gameState %d", gameState);
    if (undoReady < -1 || undoReady > 1 || (gameState < 0 && undoReady != -1))
        return format("undoReady %d in gameState %d", undoReady, gameState);
    if (waitTime < 0 || waitTime > 60000)
        return format("waitTime %d", waitTime);
    if (modalOpen != 0)
        return "modalOpen set with no dialog up";
    return "";
}

} // namespace

// While a position is set up the game behind waits: nothing of it may run.
std::string checkEditor(Window* window)
{
    for (uintptr_t id :
         {uintptr_t{PassTimer}, uintptr_t{WaitTimer}, uintptr_t{0}, uintptr_t{1}, uintptr_t{2}, uintptr_t{3}})
        if (timerPending(window, id))
            return format("timer %d pending in the editor", static_cast<int>(id));
    if (workerThread != nullptr)
        return "a worker runs in the editor";
    if (modalOpen != 0)
        return "modalOpen set with no dialog up";
    return checkBoardCells();
}

std::string checkPlayState(Window* window, bool boardInUse)
{
    if (editorOpen())
        return checkEditor(window);
    std::string problem = checkCounters();
    if (problem.empty())
        problem = checkBoardCells();
    if (problem.empty() && (boardInUse || gameState == Replay))
        problem = checkBoardAgainstRecord();
    if (problem.empty())
        problem = checkRecordList(boardInUse || gameState == Replay);
    if (problem.empty())
        problem = checkSomethingPending(window);
    if (problem.empty())
        problem = checkModes();
    if (problem.empty())
        problem = checkBoardPicture(window);
    return problem;
}

std::string checkSavedSettings(int left, int top)
{
    std::ifstream file(settingsFilePath(), std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), {}};
    if (bytes.size() != 16)
        return format("config.dat has %d bytes", static_cast<int>(bytes.size()));
    auto field = [&](int offset, int size) {
        uint32_t v = 0;
        for (int i = size - 1; i >= 0; --i)
            v = v << 8 | bytes[offset + i];
        return size == 2 ? static_cast<int>(static_cast<int16_t>(v)) : static_cast<int>(v);
    };
    if (field(0, 2) != static_cast<int16_t>(blackPlayer) || field(2, 2) != static_cast<int16_t>(whitePlayer))
        return format("saved players %d,%d, in force %d,%d", field(0, 2), field(2, 2), blackPlayer,
                      whitePlayer);
    if (field(4, 4) != waitTime)
        return format("saved wait %d, in force %d", field(4, 4), waitTime);
    if (field(8, 4) != left || field(12, 4) != top)
        return format("saved position %d,%d, window at %d,%d", field(8, 4), field(12, 4), left, top);
    return "";
}
