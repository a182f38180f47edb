#include "modes/record_commands.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <string_view>
#include <strings.h>
#include <vector>

#include "files/safe_save.h"
#include "modes/commands.h"
#include "modes/dialogs.h"
#include "modes/editor.h"
#include "modes/message.h"
#include "modes/record.h"
#include "modes/record_game.h"
#include "modes/resume.h"
#include "platform/platform.h"
#include "records/board_text.h"
#include "records/formats.h"
#include "res/resources.h"
#include "ui/computer.h"
#include "ui/playflow.h"

namespace {

const char* const OpenCaption = "棋譜を開く";
const char* const SaveCaption = "棋譜を保存";
const char* const EndGameCaption = "対局終了確認";
const char* const PasteQuestion = "対局中のゲームを終えて、貼り付けた棋譜を開きますか？";
const char* const CannotOpenCaption = "棋譜を開けません";
const char* const CannotSaveCaption = "棋譜を保存できません";
const char* const TooLongMessage = "棋譜が長すぎます";
const char* const NotATranscriptMessage =
    "標準の開始局面から始まらない棋譜は、手順の文字列では保存できません。GGF で保存してください。";

const FileFilter openFilters[] = {{"棋譜", "*.ggf *.txt"}, {"すべてのファイル", "*"}};
// The order of these two is the order of the dialog's types: GGF first.
const FileFilter saveFilters[] = {{"GGF", "*.ggf"}, {"手順の文字列", "*.txt"}};
constexpr int TranscriptFilter = 1;

// A message box, with the game held still behind it as behind any dialog.
void warn(Window* window, const std::string& text, const char* caption)
{
    const int was = modalOpen;
    modalOpen = 1;
    messageBoxWarning(window, text.c_str(), caption);
    modalOpen = was;
}

// A name as a message shows it: control characters (a file name may hold a
// line break) as "?", and a very long name cut in its middle, so the box
// stays readable. Cuts fall between UTF-8 characters.
std::string shownName(std::string_view name)
{
    constexpr size_t MaxCharacters = 48;
    std::vector<std::string_view> characters;
    for (size_t i = 0; i < name.size();) {
        size_t n = 1;
        while (i + n < name.size() && (static_cast<unsigned char>(name[i + n]) & 0xC0) == 0x80)
            ++n;
        const unsigned char c = static_cast<unsigned char>(name[i]);
        characters.push_back(c < 0x20 || c == 0x7F ? std::string_view("?") : name.substr(i, n));
        i += n;
    }
    std::string out;
    const size_t keep = MaxCharacters / 2;
    for (size_t i = 0; i < characters.size(); ++i) {
        if (characters.size() > MaxCharacters && i == keep) {
            out += "…";
            i = characters.size() - keep;
        }
        out += characters[i];
    }
    return out;
}

// The last part of a path; a path ending in "/" names itself.
std::string baseName(const std::string& path)
{
    const std::string name = path.substr(path.find_last_of('/') + 1);
    return name.empty() ? path : name;
}

// A game in progress ends only when the player says so; then a move the
// computer is making lands first (the question was the pause to see the
// board), and the game is not offered back at the next start.
bool endGameInProgress(Window* window, const std::string& question)
{
    if (gameState < 0)
        return true;
    const int was = modalOpen;
    modalOpen = 1;
    const int answer = messageBoxYesNo(window, question.c_str(), EndGameCaption);
    modalOpen = was;
    if (answer != IDYES)
        return false;
    if (gameState >= 0) { // it may have ended behind the question
        if (gameState == ComputerTurn)
            waitForComputer(window);
        forgetGameInProgress();
    }
    return true;
}

// Shows a game read from a file (name: the file as the player named it) or
// from the clipboard (name empty). A text that cannot be read is reported,
// and a game in progress is replaced only after the player agrees: either
// way nothing has changed when this returns false.
bool showReadGame(Window* window, const GameRead& read, const std::string& name)
{
    if (!read.ok || read.game.turns.size() >= GameRecordSize) {
        const std::string problem = read.ok ? TooLongMessage : read.error;
        warn(window, name.empty() ? problem : "「" + shownName(name) + "」：" + problem, CannotOpenCaption);
        return false;
    }
    // A position alone opens in the editor over the game, which goes on
    // untouched unless play starts from the position.
    if (read.format == RecordFormat::Position) {
        openEditorWith(window, read.game.start, read.game.firstSide);
        return true;
    }
    const std::string question =
        name.empty() ? PasteQuestion : "対局中のゲームを終えて、「" + shownName(name) + "」を開きますか？";
    if (!endGameInProgress(window, question))
        return false;
    showGameInRecordMode(window, read.game);
    return true;
}

bool openFileNamed(Window* window, const std::string& path, const std::string& name)
{
    return showReadGame(window, openGameFile(path), name);
}

bool endsWithNoCase(const std::string& text, const char* suffix)
{
    const size_t n = std::strlen(suffix);
    return text.size() >= n && strncasecmp(text.c_str() + text.size() - n, suffix, n) == 0;
}

// A name's own suffix says the format; the type chosen decides otherwise.
bool savedAsTranscript(const std::string& path, int filter)
{
    if (endsWithNoCase(path, ".ggf"))
        return false;
    return endsWithNoCase(path, ".txt") || filter == TranscriptFilter;
}

const char* saveProblem(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return "書き込む権限がありません。";
    case ENOSPC:
    case EDQUOT:
        return "ディスクの空きが足りません。";
    case EFBIG:
        return "ファイルの大きさの上限を超えます。";
    case EROFS:
        return "読み取り専用の場所です。";
    case ENOENT:
    case ENOTDIR:
        return "保存先のフォルダーがありません。";
    case EISDIR:
    case EINVAL:
        return "通常のファイルではありません。";
    default:
        return "書き込めませんでした。";
    }
}

std::string saveFailureText(const std::string& path, int error)
{
    return "「" + shownName(baseName(path)) + "」に保存できませんでした。\n" + saveProblem(error) + "（" +
           std::to_string(error) + "）";
}

bool writeRecordFile(Window* window, const Game& game, const std::string& path, bool transcript)
{
    if (transcript && !hasStandardStart(game)) {
        warn(window, NotATranscriptMessage, CannotSaveCaption);
        return false;
    }
    const std::string bytes = transcript ? writeTranscript(game) + "\n" : writeGgf(game);
    if (const int error = saveFileSafely(path, bytes, InPlace::Never)) {
        warn(window, saveFailureText(path, error), CannotSaveCaption);
        return false;
    }
    setMessageText(("保存しました：" + shownName(baseName(path))).c_str());
    return true;
}

std::string proposedFileName()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return defaultRecordFileName(local);
}

// Save and copy take the record as it stands once a running move has landed.
void finishRunningMove(Window* window)
{
    if (gameState == ComputerTurn)
        waitForComputer(window);
}

} // namespace

bool openRecordFile(Window* window, const std::string& path)
{
    return openFileNamed(window, path, path);
}

// The game in progress goes on behind the dialog, as behind the settings.
void openRecordCommand(Window* window)
{
    std::string path;
    const int was = modalOpen;
    modalOpen = 1;
    const bool chosen = openFileDialog(window, OpenCaption, documentsFolder(), openFilters, 2, path);
    modalOpen = was;
    if (chosen)
        openFileNamed(window, path, baseName(path));
}

void pasteRecordCommand(Window* window)
{
    showReadGame(window, readGame(clipboardText()), "");
}

void saveRecordCommand(Window* window)
{
    finishRunningMove(window);
    if (!recordHasMove())
        return;
    const Game game = recordedGame(); // the game as it was asked for
    std::string path;
    int filter = 0;
    const int was = modalOpen;
    modalOpen = 1;
    if (saveFileDialog(window, SaveCaption, documentsFolder(), proposedFileName(), saveFilters, 2, path,
                       filter))
        writeRecordFile(window, game, path, savedAsTranscript(path, filter));
    modalOpen = was;
}

// A position has no moves for a transcript: GGF is offered alone, whatever
// the name typed.
bool saveGameAsGgf(Window* window, const Game& game)
{
    std::string path;
    int filter = 0;
    const int was = modalOpen;
    modalOpen = 1;
    const bool saved = saveFileDialog(window, SaveCaption, documentsFolder(), proposedFileName(), saveFilters,
                                      1, path, filter) &&
                       writeRecordFile(window, game, path, false);
    modalOpen = was;
    return saved;
}

bool canCopyPosition()
{
    return countStones(Black, liveBoard) + countStones(White, liveBoard) > 0;
}

// The board as shown, with the side to move: in the editor the side chosen.
void copyPositionCommand(Window*)
{
    if (!canCopyPosition())
        return;
    const int side = editorOpen() ? editorSide() : opponentOf(currentSide);
    setClipboardText(writeBoardText(liveBoard, side));
}

// A transcript cannot say where a game started: a game from another start
// goes out as GGF, which pasting reads just as well.
void copyRecordCommand(Window* window)
{
    finishRunningMove(window);
    if (!recordHasMove())
        return;
    const Game game = recordedGame();
    setClipboardText(hasStandardStart(game) ? writeTranscript(game) : writeGgf(game));
}

bool canPlayFromHere()
{
    return gameState == Replay && replayRunning == 0 &&
           (canMove(Black, liveBoard) || canMove(White, liveBoard));
}

// The players are chosen as for a new game; Cancel leaves record mode as it is.
void playFromHereCommand(Window* window)
{
    finishComputerTurn(window);
    const Game game = gameUpTo(recordedGame(), moveNumber - 1);
    if (runDialog(window, MYDIALOG, newGameDialog) != IDOK || !canPlayFromHere())
        return;
    startGameFrom(window, game, blackPlayer, whitePlayer);
}

void onDroppedFile(Window* window, const char* path)
{
    if (!path || modalOpen != 0 || !commandEnabled(CmdOpenRecord))
        return;
    openFileNamed(window, path, baseName(path));
}
