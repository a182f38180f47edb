#include "modes/record_game.h"

#include <ctime>

#include "modes/message.h"
#include "modes/record.h"
#include "platform/platform.h"
#include "ui/gdi.h"
#include "ui/playflow.h"
#include "ui/status.h"

namespace {

constexpr Move EndMarker{-1, -1};
constexpr const char* PlaceName = "Tavixリバーシ";

// While a game runs, the turns made so far; otherwise the record up to its
// end marker (the replay position does not count).
int turnsOnRecord()
{
    if (gameState >= 0)
        return moveNumber - 1;
    int n = 0;
    while (n < GameRecordSize && recordEntry(n + 1) != EndMarker)
        ++n;
    return n;
}

GameHeader playedHereHeader()
{
    char name[PlayerNameSize];
    GameHeader header;
    header.black = playerName(name, blackPlayer);
    header.white = playerName(name, whitePlayer);
    header.place = PlaceName;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    header.date = ggfDate(local);
    return header;
}

// A game replaced mid-turn must leave nothing running: no automatic pass,
// no step and no flip animation of the old game drawn over the new one.
void stopGameTimers(Window* window)
{
    killTimer(window, PassTimer);
    killTimer(window, WaitTimer);
    for (uintptr_t slot = 0; slot < 4; ++slot)
        killTimer(window, slot);
}

// The record and its list from game's start and turns; the end marker follows.
void loadRecord(Window* window, const Game& game)
{
    recordStart = game.start;
    recordFirstSide = game.firstSide;
    clearRecordList(window);
    for (const RecordLine& line : recordLines(game))
        appendRecordLine(recordList, line.move.column, line.move.row, line.number, line.colour);
    setRecordEntry(static_cast<int>(game.turns.size()) + 1, EndMarker);
    undoReady = -1;
}

} // namespace

Game recordedGame()
{
    Game game;
    game.start = recordStart;
    game.firstSide = recordFirstSide;
    const int count = turnsOnRecord();
    for (int n = 1; n <= count; ++n)
        game.turns.push_back(recordEntry(n));
    game.resignedBy = recordResignedBy;
    game.header = recordOpened ? recordHeader : playedHereHeader();
    return game;
}

bool recordHasMove()
{
    const int count = turnsOnRecord();
    for (int n = 1; n <= count; ++n)
        if (recordEntry(n).column != 0)
            return true;
    return false;
}

void showGameInRecordMode(Window* window, const Game& game)
{
    stopGameTimers(window);
    stopPlayback();
    trialStage = -1;
    loadRecord(window, game);
    recordResignedBy = game.resignedBy;
    recordOpened = true;
    recordHeader = game.header;
    setMessageText("");
    if (playButton)
        enableWindow(playButton, true);
    const int last = recordLineOf(static_cast<int>(game.turns.size()));
    if (recordList)
        listBoxSetSelection(recordList, last);
    showRecordPosition(window, last);
}

void startGameFrom(Window* window, const Game& game, int black, int white)
{
    stopGameTimers(window);
    stopPlayback();
    trialStage = -1;
    blackPlayer = black;
    whitePlayer = white;
    loadRecord(window, game);
    recordResignedBy = Empty;
    recordOpened = false;
    recordHeader = {};
    setMessageText("");
    if (playButton)
        enableWindow(playButton, false);
    const int count = static_cast<int>(game.turns.size());
    liveBoard = finalPosition(game);
    moveNumber = static_cast<int16_t>(count + 1);
    currentSide = count > 0 ? sideOfEntry(game, count) : opponentOf(game.firstSide);
    // As after a move: the side to move plays, passes or hands over to the
    // computer, and a position where neither can move ends the game.
    decideNextState(window);
    invalidateWindow(window);
    updateWindow(window);
    setTimer(window, WaitTimer, waitTime);
}
