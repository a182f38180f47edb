#include "modes/resume.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "files/paths.h"
#include "files/safe_save.h"
#include "modes/record.h"
#include "modes/record_game.h"
#include "modes/settings.h"
#include "platform/platform.h"
#include "records/formats.h"
#include "res/strings.h"
#include "ui/playflow.h"
#include "ui/status.h"

namespace {

constexpr const char* FileName = "current.ggf";
constexpr const char* Question = "前回の対局が途中です。再開しますか？";
constexpr const char* Caption = "対局の再開";

// Each problem is told once a run: it would otherwise repeat after every turn.
bool folderProblemTold = false;
bool writeProblemTold = false;

struct KeptGame {
    Game game;
    int black = 0;
    int white = 0;
};

// The setting whose status panel name is name, or -1.
int playerFromName(const std::string& name)
{
    char buffer[PlayerNameSize];
    for (int setting = 0; setting <= ComputerLevels; ++setting)
        if (name == playerName(buffer, setting))
            return setting;
    return -1;
}

// "" when read is a game to play on, with its players; else why not.
std::string checkKeptGame(const GameRead& read, KeptGame& kept)
{
    if (!read.ok)
        return read.error;
    if (read.format != RecordFormat::Ggf)
        return "not a GGF game";
    kept.game = read.game;
    if (gameEnded(kept.game) || kept.game.resignedBy != Empty || !kept.game.header.result.empty())
        return "the game has ended";
    if (kept.game.turns.size() >= GameRecordSize)
        return "too many turns";
    kept.black = playerFromName(kept.game.header.black);
    kept.white = playerFromName(kept.game.header.white);
    if (kept.black < 0 || kept.white < 0)
        return "unknown players";
    return "";
}

void moveAside(const std::string& path, const std::string& why)
{
    const std::string bad = path + ".bad";
    if (rename(path.c_str(), bad.c_str()) == 0)
        std::fprintf(stderr, "reverse: %s cannot be resumed (%s); moved to %s\n", path.c_str(), why.c_str(),
                     bad.c_str());
    else
        std::fprintf(stderr, "reverse: %s cannot be resumed (%s) nor moved aside: %s\n", path.c_str(),
                     why.c_str(), std::strerror(errno));
}

void resume(Window* window, const KeptGame& kept)
{
    const Game& game = kept.game;
    startGameFrom(window, game, kept.black, kept.white);
    // As after the new-game dialog's OK: the restored players are the settings.
    saveSettings(window);
    // Undo works as if the turns had been played in this run.
    const int count = static_cast<int>(game.turns.size());
    if (count >= 1 && gameState >= 0) {
        boardBeforeLast = positionAfter(game, count - 1);
        boardBeforePrevious = positionAfter(game, count >= 2 ? count - 2 : 0);
        undoReady = count >= 2 ? 1 : 0;
    }
}

} // namespace

std::string gameInProgressPath()
{
    const AppFolder folder = stateFolder();
    if (folder.path.empty()) {
        if (!folderProblemTold)
            std::fprintf(stderr, "reverse: the game in progress will not be kept: %s\n",
                         folder.problem.c_str());
        folderProblemTold = true;
        return "";
    }
    return folder.path + "/" + FileName;
}

void keepGameInProgress()
{
    if (trialStage > 0)
        return;
    if (gameState < 0) {
        forgetGameInProgress();
        return;
    }
    const std::string path = gameInProgressPath();
    if (path.empty())
        return;
    const int error = saveFileAtomically(path, writeGgf(recordedGame()));
    if (error != 0 && !writeProblemTold)
        std::fprintf(stderr, "reverse: cannot keep the game in progress in %s: %s\n", path.c_str(),
                     std::strerror(error));
    writeProblemTold = writeProblemTold || error != 0;
}

void forgetGameInProgress()
{
    const std::string path = gameInProgressPath();
    if (!path.empty())
        unlink(path.c_str());
}

bool offerInterruptedGame(Window* window)
{
    const std::string path = gameInProgressPath();
    struct stat info;
    if (path.empty() || lstat(path.c_str(), &info) != 0)
        return false;
    KeptGame kept;
    const std::string problem = checkKeptGame(openGameFile(path), kept);
    if (!problem.empty()) {
        moveAside(path, problem);
        return false;
    }
    const int answer = messageBoxYesNo(window, Question, Caption);
    if (answer == IDNO)
        forgetGameInProgress();
    if (answer != IDYES)
        return false;
    resume(window, kept);
    return true;
}
