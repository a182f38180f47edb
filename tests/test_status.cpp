// The status panel and the board's labels as drawn, in every state of play.
#include "board_text.h"
#include "modes_fixture.h"

namespace {

using StatusPanel = ModesTest;

// The panel's texts in shownTexts form: line 1 at (300, 20), the turn or
// result at (320, 37), the state message at (320, 54), the count heading and
// the two count lines; "" leaves a line out.
std::string panel(const std::string& line1, const std::string& line2, const std::string& line3,
                  const std::string& black, const std::string& white, const std::string& opening = "")
{
    std::string out;
    if (!line1.empty())
        out += "300,20:" + line1 + "\n";
    if (!line2.empty())
        out += "320,37:" + line2 + "\n";
    if (!line3.empty())
        out += "320,54:" + line3 + "\n";
    if (!opening.empty())
        out += "300,69:" + opening + "\n";
    return out + "300,85:現在の石の個数\n320,105:" + black + "\n320,125:" + white + "\n";
}

constexpr int BeforeWhitesPass = 23; // shortGame: White has no move after entry 23

} // namespace

TEST_F(StatusPanel, TextsOfEveryState)
{
    liveBoard = Board{}; // as at program start: the first dialog was cancelled
    EXPECT_EQ(repaintedTexts(0, 300),
              "32,5:a\n62,5:b\n92,5:c\n122,5:d\n152,5:e\n182,5:f\n212,5:g\n242,5:h\n"
              "7,27:1\n7,57:2\n7,87:3\n7,117:4\n7,147:5\n7,177:6\n7,207:7\n7,237:8\n");
    EXPECT_EQ(repaintedTexts(300), panel("終局です。", "引き分け。。。。", "", "黒（人）：0", "白（人）：0"));

    startGame(0, 0);
    const std::string humanTurn = "光っている部分に石が打てます";
    EXPECT_EQ(repaintedTexts(300), panel("1手目", "黒番です", humanTurn, "黒（人）：2", "白（人）：2"));
    play({shortGame[0]});
    EXPECT_EQ(repaintedTexts(300), panel("2手目", "白番です", humanTurn, "黒（人）：4", "白（人）：1"));
    // c4 c3 is the Diagonal opening seen in a mirror: the name stays in the
    // free band after the game has left the line, and the list marks the
    // move that reached it. Turned off, the panel and list are as without.
    play({shortGame.begin() + 1, shortGame.begin() + BeforeWhitesPass});
    const std::string diagonal = "定石：斜め取り（Diagonal）";
    EXPECT_EQ(repaintedTexts(300), panel("24手目", "白番です", "打てる所がありません、パスします",
                                         "黒（人）：26", "白（人）：1", diagonal));
    EXPECT_EQ(line(1), "○　2手目：　　c,3　斜め取り");
    EXPECT_EQ(line(2), "●　3手目：　　c,2");
    ASSERT_TRUE(itemChecked(CmdShowOpenings));
    invokeMenuCommand(window, CmdShowOpenings);
    EXPECT_FALSE(itemChecked(CmdShowOpenings));
    EXPECT_EQ(repaintedTexts(300),
              panel("24手目", "白番です", "打てる所がありません、パスします", "黒（人）：26", "白（人）：1"));
    for (int x = 300; x < 520; ++x)
        for (int y = 69; y < 81; ++y)
            ASSERT_EQ(windowPixel(window, x, y), rgb(255, 255, 255))
                << "the band is blank again at " << x << "," << y;
    EXPECT_EQ(line(1), "○　2手目：　　c,3");
    invokeMenuCommand(window, CmdShowOpenings);
    play({shortGame.begin() + BeforeWhitesPass, shortGame.end()});
    EXPECT_EQ(repaintedTexts(300),
              panel("終局です。", "黒勝ち！", "", "黒（人）：28", "白（人）：0", diagonal));

    invokeMenuCommand(window, CmdRecordMode); // shows the position after the first move
    EXPECT_EQ(repaintedTexts(300),
              panel("2手目", "白番です", "棋譜再生中。。。。。。。。", "黒（人）：4", "白（人）：1"));

    startGame(4, 0);
    EXPECT_EQ(repaintedTexts(300),
              panel("1手目", "黒番です", "COM思考中。。。。。。。。", "黒（lv3 浪人）：2", "白（人）：2"));

    // Black resigns while ahead on stones: White is still declared the winner.
    expectMessageBox(IDOK); // the computer's game is resigned first
    startGame(0, 0);
    setPosition(
        {"XXXXX...", "O.......", "........", "........", "........", "........", "........", "........"},
        Black);
    expectMessageBox(IDOK);
    invokeMenuCommand(window, CmdResign);
    EXPECT_EQ(repaintedTexts(300), panel("終局です。", "白勝ち！", "", "黒（人）：5", "白（人）：1"));

    liveBoard = boardFromRows(
        {"XXXXXXXX", "XXXXXXXX", "XXXXXXXX", "XXXXXXXX", "OOOOOOOO", "OOOOOOOO", "OOOOOOOO", "OOOOOOOO"});
    gameState = GameOver;
    EXPECT_EQ(repaintedTexts(300),
              panel("終局です。", "引き分け。。。。", "", "黒（人）：32", "白（人）：32"));
}

// ---- The English interface -----------------------------------------------------------------

#include <QComboBox>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>

#include "analysis/analysis.h"
#include "japanese_text.h"
#include "modes/editor.h"
#include "modes/game_review.h"
#include "modes/message.h"
#include "platform/qt_window.h"
#include "res/text.h"

namespace {

class EnglishInterface : public ModesTest {
  protected:
    void SetUp() override
    {
        setLanguage(Language::English);
        windowClass = "BlantuEn";
        ModesTest::SetUp();
    }
    void TearDown() override
    {
        ModesTest::TearDown();
        setLanguage(Language::Japanese);
    }
};

// Every text a dialog or message box shows, its title and list entries included.
std::vector<std::string> modalTexts;

void readModal(Window* dialog)
{
    QWidget* top = dialog->dialog.data();
    modalTexts.push_back(top->windowTitle().toStdString());
    for (QWidget* w : top->findChildren<QWidget*>()) {
        modalTexts.push_back(widgetText(w).toStdString());
        if (auto* combo = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < combo->count(); ++i)
                modalTexts.push_back(combo->itemText(i).toStdString());
    }
    if (auto* box = qobject_cast<QMessageBox*>(top))
        modalTexts.push_back(box->text().toStdString());
}

// The width of a text in the window's font at a height, as the game draws it.
int drawnWidth(const std::string& text, int height)
{
    FontDesc desc = initUiFont();
    desc.height = height;
    Font* font = createFont(desc);
    Font* was = selectFont(windowDC, font);
    const int width = textWidth(windowDC, text.c_str());
    selectFont(windowDC, was);
    deleteFont(font);
    return width;
}

// Whether the message line shows text whole, wrapped in its width.
bool fitsMessageLine(const std::string& text)
{
    auto* edit = qobject_cast<QPlainTextEdit*>(messageLine->widget.data());
    const QRect room = edit->viewport()->rect().adjusted(4, 0, -4, 0);
    QString shown = QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return edit->fontMetrics().boundingRect(room, Qt::TextWordWrap, shown).height() <= room.height();
}

} // namespace

// A whole round of the game in English: the panel, the list, the banners,
// the sayings, every menu, dialog and message box. No text but a verse is
// Japanese, the panel's texts end inside the panel, the banners' over the
// board, and the sayings fit the message line.
TEST_F(EnglishInterface, ShowsNoJapaneseButTheVersesAndEveryTextFitsItsPlace)
{
    modalTexts.clear();
    std::vector<std::string> said;
    expectDialog(IDOK, readModal);
    onCommand(window, CmdNewGame);
    play(shortGame);
    invokeMenuCommand(window, CmdRecordMode);
    for (int i = 0; i < listBoxCount(recordList); ++i)
        said.push_back(line(i));
    EXPECT_EQ(line(0), "● 1.  c4");
    EXPECT_EQ(line(1), "○ 2.  c3  Diagonal") << "the opening by its English name";
    EXPECT_EQ(line(23), "○ 24.  pass");
    startGame(4, 0);
    expectMessageBox(IDOK, readModal); // resign the computer's game
    expectDialog(IDCANCEL, readModal);
    onCommand(window, CmdNewGame);
    expectDialog(IDCANCEL, readModal);
    onCommand(window, CmdSettings);
    setClipboardText("no game here");
    expectMessageBox(IDOK, readModal);
    onCommand(window, CmdPasteRecord);
    // The board editor: its panel and help line, the refusal of a position
    // nobody can move in, and the dialog that ends it.
    invokeMenuCommand(window, CmdEditBoard);
    said.push_back(messageText());
    invokeMenuCommand(window, CmdEditClear);
    updateWindow(window);
    expectMessageBox(IDOK, readModal);
    invokeMenuCommand(window, CmdEditBoard);
    invokeMenuCommand(window, CmdEditStart);
    updateWindow(window);
    expectDialog(IDCANCEL, readModal);
    invokeMenuCommand(window, CmdEditBoard);
    invokeMenuCommand(window, CmdCopyPosition);
    cancelEditor(window);
    onCommand(window, CmdTrial);
    said.push_back(messageText());
    for (int i = 0; i < TrialStages; ++i)
        for (TextId family : {TextId::SpeechWin, TextId::SpeechLose, TextId::SpeechOpen})
            said.push_back(uiText(family + i));
    for (int i = 0; i < ProverbCount; ++i)
        said.push_back(uiText(TextId::Proverb + i));
    showLevelSaying(window, 7);
    said.push_back(messageText());
    expectDialog(IDOK, readModal);
    onCommand(window, CmdHowToPlay);
    expectMessageBox(IDOK, readModal);
    onCommand(window, CmdAbout);
    EXPECT_EQ(modalScript.unexpected, 0);
    EXPECT_NE(modalTexts.back().find((directory / "config/tavix-reversi/config.dat").string()),
              std::string::npos)
        << modalTexts.back();
    for (const auto& popup : window->menus) {
        modalTexts.push_back(popup->menu->title().toStdString());
        for (const MenuItem& item : popup->items)
            modalTexts.push_back(item.action->text().toStdString());
    }
    for (const std::string& text : modalTexts)
        EXPECT_FALSE(hasJapanese(text)) << text;
    for (const std::string& text : said) {
        EXPECT_FALSE(hasJapanese(text)) << text;
        EXPECT_TRUE(fitsMessageLine(text)) << text;
    }
    for (const DrawnText& t : drawnLog) {
        if (t.text.find_first_not_of(" \xE3\x80") == std::string::npos)
            continue; // spaces, ideographic ones among them, clear a line
        EXPECT_FALSE(hasJapanese(t.text)) << t.text;
        if (t.x >= 300) {
            EXPECT_LE(t.x + drawnWidth(t.text, 12), 520) << t.text;
        } else if (t.x <= 21 && t.y % 40 <= 21) { // a banner line
            EXPECT_LE(t.x + drawnWidth(t.text, 24), 300) << t.text;
        }
    }
    for (int stage = 1; stage <= TrialStages; ++stage) {
        char banner[StageLineSize];
        EXPECT_LE(20 + drawnWidth(stageBannerLine(banner, stage, stage + 1), 24), 300) << banner;
    }
    // A lost move of the analysis, its values in their places.
    const TurnAnalysis lost{White, {5, 6}, true, false, 3, {3, 3}, 7, true};
    EXPECT_EQ(lostDiscsLine(12, lost), "Move 12 ○e6 ≒+3 (best c3 ≒+7)");
    showLevelSaying(window, 6);
    EXPECT_TRUE(hasJapanese(messageText())) << "lv5 recites the original";
}
