#include "modes/record.h"

#include <algorithm>
#include <cstring>

#include "board/moves.h"
#include "modes/preferences.h"
#include "platform/platform.h"
#include "records/game.h"
#include "ui/boardview.h"
#include "ui/gdi.h"
#include "ui/playflow.h"

Board boardBeforeLast{};
Board boardBeforePrevious{};
int replayRunning = 0;

namespace {

constexpr int LineBufferSize = 100;
constexpr int PlaybackOn = 100;
constexpr Move EndMarker{-1, -1};
constexpr const char* StartLineText = "開始局面";

void appendText(char* buffer, const char* text)
{
    const size_t used = strlen(buffer);
    const size_t room = LineBufferSize - 1 - used;
    strncat(buffer, text, room);
}

bool isMove(Move e)
{
    return e.column != 0 && e.row != 0;
}

// Past the room of gameRecord counts as the end too, so a replay can never
// run off the record.
bool isRecordEnd(int n)
{
    return n < 1 || n > GameRecordSize || recordEntry(n) == EndMarker;
}

// The turns played at the list's line index, the inverse of recordLineOf;
// with no start line, no selection (-1) stands for the start.
int turnsAtLine(int index)
{
    return std::max(0, index + 1 - (recordHasStartLine() ? 1 : 0));
}

void resetReplayStart()
{
    liveBoard = recordStart;
    currentSide = opponentOf(recordFirstSide);
    gameState = Replay;
    moveNumber = 1;
    undoReady = -1;
    replayRunning = 0;
}

void selectLine(int index)
{
    if (recordList && index >= 0 && index < listBoxCount(recordList))
        listBoxSetSelection(recordList, index);
}

void showPlaybackIcon(bool running)
{
    if (playButton)
        setButtonIcon(playButton, running ? stopIcon : playIcon);
}

} // namespace

char* recordLineText(char* buffer, int column, int row, int n, int colour)
{
    char digits[8];
    buffer[0] = '\0';
    appendText(buffer, colour == Black ? "●　" : "○　");
    appendText(buffer, numberText(digits, n));
    appendText(buffer, "手目：　　");
    if (column != 0 && row != 0) {
        const char letter[2] = {static_cast<char>('a' + column - 1), '\0'};
        appendText(buffer, letter);
        appendText(buffer, ",");
        appendText(buffer, numberText(digits, row));
    } else {
        appendText(buffer, "パス");
    }
    return buffer;
}

std::string recordListText(int column, int row, int n, int colour)
{
    char text[LineBufferSize];
    std::string line = recordLineText(text, column, row, n, colour);
    if (showOpeningNames) {
        const OpeningName name = recordOpening(n);
        if (name.opening && name.turn == n)
            line += std::string("　") + name.opening->japanese;
    }
    return line;
}

// Called before the move is applied, so liveBoard is the position before
// this turn: the snapshot that undo goes back to two turns later. The entry
// is stored first, as the line names the opening it reaches.
void appendRecordLine(Window* list, int column, int row, int n, int colour)
{
    setRecordEntry(n, {column, row});
    if (list)
        listBoxSetSelection(list, listBoxAddString(list, recordListText(column, row, n, colour).c_str()));
    if (undoReady < 1)
        ++undoReady;
    boardBeforePrevious = boardBeforeLast;
    boardBeforeLast = liveBoard;
}

// The record line of a move is made between the move's trial and its copy
// into liveBoard: the trial board is kept through the openings' replay.
OpeningName recordOpening(int turns)
{
    if (recordHasStartLine())
        return {};
    Game game = standardGame();
    for (int n = 1; n <= turns && !isRecordEnd(n); ++n)
        game.turns.push_back(recordEntry(n));
    const Board trial = trialBoard;
    const OpeningName name = openingName(game, turns);
    trialBoard = trial;
    return name;
}

std::string openingLabel(const Opening& opening)
{
    return std::string(opening.japanese) + "（" + opening.english + "）";
}

std::string withOpeningName(const std::string& text, const Game& game)
{
    const OpeningName name = openingName(game, static_cast<int>(game.turns.size()));
    return showOpeningNames && name.opening ? text + "　定石：" + openingLabel(*name.opening) : text;
}

void relabelRecordList()
{
    if (!recordList)
        return;
    const int selected = listBoxSelection(recordList);
    const int start = recordHasStartLine() ? 1 : 0;
    const int lines = listBoxCount(recordList) - start;
    listBoxReset(recordList);
    if (start)
        listBoxAddString(recordList, StartLineText);
    for (int n = 1; n <= lines; ++n) {
        const Move e = recordEntry(n);
        const int colour = n % 2 == 1 ? recordFirstSide : opponentOf(recordFirstSide);
        listBoxAddString(recordList, recordListText(e.column, e.row, n, colour).c_str());
    }
    listBoxSetSelection(recordList, selected);
}

bool recordHasStartLine()
{
    static const Board standardStart = standardGame().start;
    return recordFirstSide != Black || recordStart != standardStart;
}

int recordLineOf(int turns)
{
    return turns - 1 + (recordHasStartLine() ? 1 : 0);
}

// The record's start must be set before: a game from another start begins
// its list with the start line.
void clearRecordList(Window*)
{
    if (!recordList)
        return;
    listBoxReset(recordList);
    if (recordHasStartLine())
        listBoxAddString(recordList, StartLineText);
    listBoxSetSelection(recordList, recordLineOf(0)); // the start line, or none
}

// Every turn, a pass included, is an entry, so the colours alternate strictly
// from the record's first side.
void rebuildRecordList(Window*, int n)
{
    for (int m = 1; m < n; ++m) {
        const Move e = recordEntry(m);
        appendRecordLine(recordList, e.column, e.row, m,
                         m % 2 == 1 ? recordFirstSide : opponentOf(recordFirstSide));
    }
}

void stopPlayback()
{
    replayRunning = 0;
    showPlaybackIcon(false);
}

void enterRecordMode(Window* window)
{
    if (gameState != GameOver && gameState != Resigned)
        return;
    resetReplayStart();
    showPlaybackIcon(false);
    selectLine(0);
    invalidateWindow(window);
    showRecordPosition(window, 0);
}

// Replays from the start without animation up to line k; k = -1, or the
// start line, shows the starting position. Ignored while playback runs.
void showRecordPosition(Window* window, int k)
{
    if (replayRunning == PlaybackOn)
        return;
    resetReplayStart();
    const int turns = turnsAtLine(k);
    while (moveNumber <= turns && !isRecordEnd(moveNumber)) {
        currentSide = opponentOf(currentSide);
        const Move e = recordEntry(moveNumber);
        if (isMove(e)) {
            applyMove(liveBoard, e.column, e.row, currentSide);
            liveBoard = trialBoard;
        }
        ++moveNumber;
    }
    invalidateWindow(window);
}

// Playback starts from the position after the selected line, set up afresh
// so the board and the list can never disagree. Stopping keeps the position
// reached and selects its line again: a line clicked during playback did not
// move the board, and must not become the next start.
void togglePlayback(Window* window, int k)
{
    if (replayRunning == PlaybackOn) {
        stopPlayback();
        killTimer(window, WaitTimer);
        selectLine(recordLineOf(moveNumber - 1));
        return;
    }
    showRecordPosition(window, k);
    if (isRecordEnd(moveNumber))
        return;
    setTimer(window, WaitTimer, waitTime);
    showPlaybackIcon(true);
    replayRunning = PlaybackOn;
}

// One turn of playback. A move animates like a move in play and the end of
// its animation starts the next step; a pass changes nothing on the board
// (trialBoard may hold the cursor's trial moves, so it is not copied).
void replayStep(Window* window)
{
    if (replayRunning != PlaybackOn)
        return;
    if (isRecordEnd(moveNumber)) {
        stopPlayback();
        return;
    }
    currentSide = opponentOf(currentSide);
    const Move e = recordEntry(moveNumber);
    if (isMove(e)) {
        applyMove(liveBoard, e.column, e.row, currentSide);
        listFlips(liveBoard);
        startFlipAnimation(window, currentSide);
        liveBoard = trialBoard;
    }
    ++moveNumber;
    selectLine(recordLineOf(moveNumber - 1));
    gameState = Replay;
    undoReady = -1;
    if (isRecordEnd(moveNumber))
        stopPlayback();
    if (!isMove(e)) {
        invalidateWindow(window);
        setTimer(window, WaitTimer, waitTime);
    }
}
