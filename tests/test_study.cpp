// Positions as text.
#include <gtest/gtest.h>

#include <algorithm>
#include <iconv.h>

#include "board_text.h"
#include "records/board_text.h"

namespace {

bool encodesInCp932(const std::string& text)
{
    iconv_t cd = iconv_open("CP932", "UTF-8");
    std::string in = text;
    char out[512];
    char* src = in.data();
    char* dst = out;
    size_t inLeft = in.size(), outLeft = sizeof out;
    const bool ok =
        cd != iconv_t(-1) && iconv(cd, &src, &inLeft, &dst, &outLeft) != size_t(-1) && inLeft == 0;
    if (cd != iconv_t(-1))
        iconv_close(cd);
    return ok;
}

// Endgame test position 40 as the test files write it: cells, side, score, number.
const std::string Cells40 = "O--OOOOX-OOOOOOXOOXXOOOXOOXOOOXXOOOOOOXX---OOOOX----O--X--------";
const std::string StandardCells = std::string(27, '-') + "OX------XO" + std::string(27, '-');

} // namespace

// The test files' form and the other common ones read as the same
// position; the position writes back in the test files' form.
TEST(BoardText, ReadsTheCommonFormsAndWritesTheTestFilesOne)
{
    const Board board40 = boardFromRows(
        {"O--OOOOX", "-OOOOOOX", "OOXXOOOX", "OOXOOOXX", "OOOOOOXX", "---OOOOX", "----O--X", "--------"});
    GameRead read = readGame(Cells40 + " X +38 40\n");
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.format, RecordFormat::Position);
    EXPECT_EQ(read.game.start, board40);
    EXPECT_EQ(read.game.firstSide, Black);
    EXPECT_TRUE(read.game.turns.empty());
    EXPECT_EQ(writeBoardText(read.game.start, Black), Cells40 + " X");

    std::string rows, starred = Cells40, lower = Cells40;
    for (int row = 0; row < 8; ++row)
        rows += Cells40.substr(row * 8, 8) + "\n";
    std::replace(starred.begin(), starred.end(), 'X', '*');
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
    const std::vector<std::pair<std::string, int>> forms = {
        {rows + "O\n", White},       {starred + " *; e6:+38", Black},
        {lower + "\u3000白", White}, {"\n  " + Cells40 + "  Black to move\n\n", Black},
        {Cells40 + "黒番", Black},   {Cells40 + "O", White},
    };
    for (const auto& [text, side] : forms) {
        read = readGame(text);
        ASSERT_TRUE(read.ok) << text << ": " << read.error;
        EXPECT_EQ(read.game.start, board40) << text;
        EXPECT_EQ(read.game.firstSide, side) << text;
    }

    // The standard start is a start like any other, and goes out as a transcript can.
    read = readGame(writeBoardText(standardGame().start, Black));
    EXPECT_EQ(writeBoardText(standardGame().start, Black), StandardCells + " X");
    EXPECT_TRUE(read.ok && hasStandardStart(read.game));
}

// Refused with the board's own message, no part of a game returned, and the
// message shown in code page 932; other formats keep theirs.
TEST(BoardText, BadTextIsRefusedWithItsMessage)
{
    const std::string prefix = "局面の文字列が読めません：";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {Cells40.substr(0, 40) + " X", prefix + "マスが41個しかありません（64個必要です）"},
        {Cells40.substr(0, 40) + "#" + Cells40.substr(40) + " X",
         prefix + "マスが40個しかありません（64個必要です）"},
        {Cells40 + "\n", prefix + "手番（X か O）がありません"},
        {Cells40 + "- X", prefix + "マスが64個より多くあります"},
        {Cells40 + " XO", prefix + "マスが64個より多くあります"},
        {Cells40 + " Z", prefix + "手番がわかりません（X か O で書きます）"},
        {Cells40 + " Xavier", prefix + "手番がわかりません（X か O で書きます）"},
        {Cells40 + " X\n" + Cells40 + " O", prefix + "局面の後に続きがあります（2行目）"},
        {std::string(64, 'X') + " O", "黒も白も打てる所がない局面です"},
        {std::string(64, '-') + " X", "黒も白も打てる所がない局面です"},
        {std::string(32, 'X') + std::string(32, 'O') + " X", "黒も白も打てる所がない局面です"},
        {"-- f5", "1手目 パス：黒には打てる所があります"},
        {"XO-X", "棋譜の形式がわかりません（GGF でも手順の文字列でもありません）"},
    };
    for (const auto& [text, message] : cases) {
        const GameRead read = readGame(text);
        EXPECT_FALSE(read.ok) << text;
        EXPECT_EQ(read.error, message) << text;
        EXPECT_TRUE(read.format == RecordFormat::None && read.game.start == Board{}) << text;
        EXPECT_TRUE(encodesInCp932(read.error)) << read.error;
    }
}
