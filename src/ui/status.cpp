#include "ui/status.h"

#include <cstdio>
#include <string>

#include "board/board.h"
#include "modes/editor.h"
#include "modes/preferences.h"
#include "modes/record.h"
#include "platform/platform.h"
#include "records/board_text.h"
#include "res/strings.h"
#include "ui/boardview.h"
#include "ui/gdi.h"
#include "ui/hint_view.h"
#include "ui/playflow.h"

namespace {

constexpr int PanelLeft = 300;
constexpr int TextLeft = 320;
constexpr int Line1 = 20;
constexpr int Line2 = 37;
constexpr int Line3 = 54;
constexpr int OpeningLine = 69; // the free band between line 3 and the count heading
constexpr int LineHeight = 12;
constexpr int BlackCountLine = 105;
constexpr int WhiteCountLine = 125;
constexpr int LineBufferSize = 128;
constexpr int PanelRight = 520; // as far as the message line below reaches
constexpr size_t MaxShownCharacters = 64;

// Lines are cleared by overwriting them with spaces on an opaque background.
constexpr char spaces38[] = "                                      ";
// 30 ideographic spaces, for lines that hold full-width text.
constexpr char wideSpaces30[] = "　　　　　　　　　　　　　　　　　　　　　　　　　　　　　　";

void drawDisc(DeviceContext* dc, int colour, int top)
{
    selectBrush(dc, stockBrush(colour == Black ? StockBrush::Black : StockBrush::White));
    ellipse(dc, PanelLeft, top, PanelLeft + 10, top + 10);
}

// Whose turn it is: the disc and text of the side opposite currentSide.
void drawTurn(DeviceContext* dc)
{
    if (currentSide == White) {
        drawDisc(dc, Black, Line2);
        textOut(dc, TextLeft, Line2, "黒番です");
    } else if (currentSide == Black) {
        drawDisc(dc, White, Line2);
        textOut(dc, TextLeft, Line2, "白番です");
    }
}

const char* stateMessage()
{
    switch (gameState) {
    case HumanTurn:
        return hintSearching() ? "ヒントを読んでいます。。。" : "光っている部分に石が打てます";
    case HumanPass:
        return "打てる所がありません、パスします";
    case ComputerTurn:
        return "COM思考中。。。。。。。。";
    case Replay:
        return "棋譜再生中。。。。。。。。";
    default:
        return "";
    }
}

void drawResult(DeviceContext* dc)
{
    int winner = Empty;
    if (gameState == Resigned) {
        winner = resignationWinner(currentSide, blackPlayer, whitePlayer);
    } else {
        const int b = countStones(Black, liveBoard);
        const int w = countStones(White, liveBoard);
        winner = b > w ? Black : b < w ? White : Empty;
    }
    if (winner == Empty) {
        textOut(dc, TextLeft, Line2, "引き分け。。。。");
    } else {
        drawDisc(dc, winner, Line2);
        textOut(dc, TextLeft, Line2, winner == Black ? "黒勝ち！" : "白勝ち！");
    }
    textOut(dc, PanelLeft, Line1, wideSpaces30);
    textOut(dc, PanelLeft, Line1, "終局です。");
}

// An opened game's own players while it is only shown; the player settings
// otherwise. A name the file leaves out shows as "？".
std::string shownPlayerName(int colour)
{
    if (recordOpened && gameState < 0) {
        const std::string& name = colour == Black ? recordHeader.black : recordHeader.white;
        if (name.empty())
            return "？";
        std::string shown = name;
        for (char& c : shown) // a line break in a file's name must not break the line
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                c = ' ';
        return shown;
    }
    char name[PlayerNameSize];
    return playerName(name, playerOf(colour));
}

// Cuts name after at most count UTF-8 characters.
void keepCharacters(std::string& name, size_t count)
{
    size_t i = 0;
    for (size_t kept = 0; i < name.size() && kept < count; ++kept) {
        ++i;
        while (i < name.size() && (static_cast<unsigned char>(name[i]) & 0xC0) == 0x80)
            ++i;
    }
    name.resize(i);
}

// "黒（name）：12", the name cut short with "…" where the line would run past
// the panel. No more characters than the panel could ever show are measured.
std::string countLine(DeviceContext* dc, int colour, std::string name, const char* count)
{
    const auto line = [&](const std::string& n) {
        return (colour == Black ? "黒（" : "白（") + n + "）：" + count;
    };
    if (textWidth(dc, line(name).c_str()) <= PanelRight - TextLeft)
        return line(name);
    keepCharacters(name, MaxShownCharacters);
    for (size_t n = MaxShownCharacters; n > 0; --n) {
        keepCharacters(name, n);
        if (textWidth(dc, line(name + "…").c_str()) <= PanelRight - TextLeft)
            break;
    }
    return line(name + "…");
}

void drawCountLine(DeviceContext* dc, int colour, int top)
{
    char count[8];
    numberText(count, countStones(colour, liveBoard));
    textOut(dc, TextLeft, top, spaces38);
    textOut(dc, TextLeft, top, countLine(dc, colour, shownPlayerName(colour), count).c_str());
}

// "定石：虎（Tiger）", or the Japanese name alone where both do not fit, cut
// short with "…" where even that does not.
std::string openingText(DeviceContext* dc, const Opening& opening)
{
    const std::string prefix = "定石：";
    const auto fits = [dc](const std::string& text) {
        return textWidth(dc, text.c_str()) <= PanelRight - PanelLeft;
    };
    if (fits(prefix + openingLabel(opening)))
        return prefix + openingLabel(opening);
    std::string name = opening.japanese;
    if (fits(prefix + name))
        return prefix + name;
    for (size_t n = MaxShownCharacters; n > 0; --n) {
        keepCharacters(name, n);
        if (fits(prefix + name + "…"))
            break;
    }
    return prefix + name + "…";
}

// The band is blank in every other state, so clearing it there changes no pixel.
void drawOpeningName(DeviceContext* dc)
{
    fillRect(dc, {PanelLeft, OpeningLine, PanelRight, OpeningLine + LineHeight},
             stockBrush(StockBrush::White));
    if (!showOpeningNames || editorOpen())
        return;
    const OpeningName name = recordOpening(moveNumber - 1);
    if (name.opening)
        textOut(dc, PanelLeft, OpeningLine, openingText(dc, *name.opening).c_str());
}

// The editor's lines: what the window is doing, the side to move chosen, and
// whether play could start from the position.
void drawEditorStatus(DeviceContext* dc)
{
    textOut(dc, PanelLeft, Line1, "局面編集");
    const int side = editorSide();
    drawDisc(dc, side, Line2);
    textOut(dc, TextLeft, Line2, side == Black ? "黒番です" : "白番です");
    const std::string problem = positionProblem(liveBoard);
    textOut(dc, TextLeft, Line3, problem.empty() ? "クリックで石を置きます" : problem.c_str());
}

} // namespace

int resignationWinner(int side, int blackSetting, int whiteSetting)
{
    // The side to move resigned, unless the computer plays it: then the game
    // was given up by the person while the computer was to move.
    if (side == White)
        return blackSetting == 0 ? White : Black;
    return whiteSetting == 0 ? Black : White;
}

char* playerName(char* buffer, int setting)
{
    if (setting == 0)
        std::snprintf(buffer, PlayerNameSize, "人");
    else if (setting >= 1 && setting <= ComputerLevels)
        std::snprintf(buffer, PlayerNameSize, "lv%d %s", setting - 1, personaNames[setting - 1]);
    else
        std::snprintf(buffer, PlayerNameSize, "lv?");
    return buffer;
}

void paintStatus(Window*, DeviceContext* dc)
{
    selectFont(dc, uiFont);
    Pen* oldPen = selectPen(dc, blackPen());
    Brush* oldBrush = selectBrush(dc, stockBrush(StockBrush::Black));
    textOut(dc, PanelLeft, Line1, spaces38);
    textOut(dc, PanelLeft, Line2, spaces38);
    drawOpeningName(dc);
    if (editorOpen()) {
        textOut(dc, PanelLeft, Line3, wideSpaces30);
        drawEditorStatus(dc);
        selectBrush(dc, oldBrush);
        selectPen(dc, oldPen);
        return;
    }
    const bool inGame = gameState >= 0 || gameState == Replay;
    if (inGame) {
        char number[8];
        char line[LineBufferSize];
        std::snprintf(line, sizeof line, "%s手目", numberText(number, moveNumber));
        textOut(dc, PanelLeft, Line1, line);
        drawTurn(dc);
    }
    textOut(dc, PanelLeft, Line3, wideSpaces30);
    if (inGame)
        textOut(dc, TextLeft, Line3, stateMessage());
    if (gameState == GameOver || gameState == Resigned)
        drawResult(dc);
    selectBrush(dc, oldBrush);
    selectPen(dc, oldPen);
}

void paintStoneCounts(Window*, DeviceContext* dc)
{
    selectFont(dc, uiFont);
    Brush* oldBrush = selectBrush(dc, stockBrush(StockBrush::Black));
    Pen* oldPen = selectPen(dc, blackPen());
    ellipse(dc, PanelLeft, BlackCountLine, PanelLeft + 10, BlackCountLine + 10);
    selectBrush(dc, stockBrush(StockBrush::White));
    ellipse(dc, PanelLeft, WhiteCountLine, PanelLeft + 10, WhiteCountLine + 10);
    textOut(dc, PanelLeft, 85, "現在の石の個数");
    drawCountLine(dc, Black, BlackCountLine);
    drawCountLine(dc, White, WhiteCountLine);
    selectBrush(dc, oldBrush);
    selectPen(dc, oldPen);
}
