#include "modes/resume.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "files/kept_files.h"
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
constexpr const char* Caption = "対局の再開";

// Each problem is told once a run: it would otherwise repeat after every turn.
bool folderProblemTold = false;
bool writeProblemTold = false;

// This copy's kept game, locked from the first turn it keeps until the game
// is forgotten or the program ends: no other copy offers, replaces or
// removes it meanwhile.
KeptFile ownGame;

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

// "前回の対局が途中です（23手目、黒：人、白：lv3 浪人）。再開しますか？", with the
// move number the status panel will show.
std::string question(const KeptGame& kept)
{
    const Game& game = kept.game;
    return "前回の対局が途中です（" + std::to_string(game.turns.size() + 1) + "手目、黒：" +
           game.header.black + "、白：" + game.header.white + "）。再開しますか？";
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

// The state folder, or "" (said once on stderr).
std::string keptGamesFolder()
{
    const AppFolder folder = stateFolder();
    if (folder.path.empty() && !folderProblemTold)
        std::fprintf(stderr, "reverse: the game in progress will not be kept: %s\n", folder.problem.c_str());
    folderProblemTold = folderProblemTold || folder.path.empty();
    return folder.path;
}

void tellWriteProblem(const std::string& where, const char* problem)
{
    if (!writeProblemTold)
        std::fprintf(stderr, "reverse: cannot keep the game in progress in %s: %s\n", where.c_str(), problem);
    writeProblemTold = true;
}

// Claims the newest kept game that no running copy holds and that can be
// played on. The unplayable ones met on the way are moved aside; the older
// ones stay for later starts.
bool claimInterruptedGame(const std::string& folder, KeptFile& file, KeptGame& kept)
{
    for (const std::string& path : keptFilesIn(folder, FileName)) {
        KeptFile candidate;
        if (!claimKeptFile(path, candidate))
            continue;
        const std::string problem = checkKeptGame(openGameFile(path), kept);
        if (problem.empty()) {
            file = candidate;
            return true;
        }
        moveAside(path, problem);
        releaseKeptFile(candidate);
    }
    return false;
}

} // namespace

std::string gameInProgressPath()
{
    if (ownGame.path.empty()) {
        const std::string folder = keptGamesFolder();
        if (!folder.empty())
            ownGame = claimFreeKeptFile(folder, FileName);
        if (!folder.empty() && ownGame.path.empty())
            tellWriteProblem(folder, "no file of its own can be locked there");
    }
    return ownGame.path;
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
    if (const int error = saveFileAtomically(path, writeGgf(recordedGame())))
        tellWriteProblem(path, std::strerror(error));
}

void forgetGameInProgress()
{
    if (ownGame.lock < 0)
        return;
    unlink(ownGame.path.c_str());
    releaseKeptFile(ownGame);
}

void releaseGameInProgress()
{
    releaseKeptFile(ownGame);
}

bool offerInterruptedGame(Window* window)
{
    const std::string folder = keptGamesFolder();
    KeptFile file;
    KeptGame kept;
    if (folder.empty() || !claimInterruptedGame(folder, file, kept))
        return false;
    const int answer = messageBoxYesNo(window, question(kept).c_str(), Caption);
    if (answer == IDYES) {
        ownGame = file;
        resume(window, kept);
        return true;
    }
    if (answer == IDNO)
        unlink(file.path.c_str());
    releaseKeptFile(file);
    return false;
}
