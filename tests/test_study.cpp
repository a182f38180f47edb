// Positions as text, and the names of the openings.
#include <gtest/gtest.h>

#include <algorithm>
#include <iconv.h>
#include <set>
#include <tuple>

#include "board_text.h"
#include "records/board_text.h"
#include "records/openings.h"

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

// The game of a transcript seen in one of the four symmetries that keep the
// standard start: 0 as written, 1 the half turn, 2 and 3 the diagonal flips.
Game gameOf(const std::string& moves, int symmetry = 0)
{
    std::string text;
    for (size_t i = 0; i + 1 < moves.size(); i += 2) {
        int column = moves[i] - 'a' + 1, row = moves[i + 1] - '0';
        if (symmetry == 1)
            column = 9 - column, row = 9 - row;
        else if (symmetry >= 2)
            std::swap(column, row);
        if (symmetry == 3)
            column = 9 - column, row = 9 - row;
        text += {static_cast<char>('a' + column - 1), static_cast<char>('0' + row)};
    }
    const GameRead read = readGame(text);
    EXPECT_TRUE(read.ok) << moves << ": " << read.error;
    return read.game;
}

std::string englishName(const OpeningName& name)
{
    return name.opening ? name.opening->english : "(none)";
}

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

// Lines found in each symmetry of the start, the longest one reached winning,
// and a name that a deviation leaves as it was.
TEST(Openings, KnownLinesAreNamedInEverySymmetry)
{
    const std::vector<std::tuple<std::string, std::string, std::string>> lines = {
        {"f5d6c3d3c4", "虎", "Tiger"},
        {"f5d6c5f4e3", "兎", "Rabbit"},
        {"f5f6e6f4e3", "牛", "Cow"},
        {"f5f6e6f4c3", "バッファロー", "Buffalo"},
        {"f5f6e6f4g5", "飛び出し牛", "Heath"},
        {"f5d6c5f4e3c6d3f6e6d7", "ローズ", "Rose"},
        {"f5d6c3d3c4f4c5b3c2e3", "ニコレ", "Nicolet"},
    };
    for (const auto& [moves, japanese, english] : lines)
        for (int symmetry = 0; symmetry < 4; ++symmetry) {
            const OpeningName name = openingName(gameOf(moves, symmetry), 60);
            ASSERT_NE(name.opening, nullptr) << moves << " in symmetry " << symmetry;
            EXPECT_EQ(name.opening->japanese, japanese);
            EXPECT_EQ(name.opening->english, english) << moves << " in symmetry " << symmetry;
            EXPECT_EQ(name.turn, static_cast<int>(moves.size() / 2));
        }

    // The record up to a given turn has the name reached by then.
    const Game nicolet = gameOf("f5d6c3d3c4f4c5b3c2e3");
    EXPECT_EQ(englishName(openingName(nicolet, 9)), "Rose-bill");
    EXPECT_EQ(englishName(openingName(nicolet, 4)), "Perpendicular");
    EXPECT_EQ(openingName(nicolet, 4).turn, 2);
    EXPECT_EQ(openingName(nicolet, 0).opening, nullptr);

    // The cow's fourth move has two mirror-image cells; the other one
    // reaches the same position, so the same name.
    EXPECT_EQ(englishName(openingName(gameOf("f5f6e6d6c5"), 60)), "Cow");

    // A tournament game leaves the F.A.T. line at move 15: it keeps the last
    // name it reached, and never gets the longer one.
    const Game played = gameOf("f5d6c3d3c4f4f6f3e6e7d7g6f8f7h6c5c6d8e3b6");
    EXPECT_EQ(englishName(openingName(played, 60)), "Comp'Oth");
    EXPECT_EQ(openingName(played, 60).turn, 8);

    // Another start has no names, even for a line's moves.
    Game elsewhere = gameOf("f5d6c3d3c4");
    elsewhere.start[cellIndex(1, 1)] = Black;
    EXPECT_EQ(openingName(elsewhere, 60).opening, nullptr);
}

// Every line is legal from the standard start, carries both names, and is
// found by its own moves: two lines ending in the same position would take
// each other's names.
TEST(Openings, EveryLineIsLegalNamedAndFoundByItsMoves)
{
    EXPECT_GE(openingTable().size(), 60u);
    std::set<std::string> japaneseNames, englishNames;
    for (const Opening& line : openingTable()) {
        const std::string moves = line.moves;
        const GameRead read = readGame(moves);
        ASSERT_TRUE(read.ok && read.game.turns.size() * 2 == moves.size()) << moves << ": " << read.error;
        const OpeningName name = openingName(read.game, 60);
        EXPECT_EQ(name.opening, &line) << moves << " is named " << englishName(name);
        EXPECT_EQ(name.turn, static_cast<int>(moves.size() / 2));
        EXPECT_TRUE(japaneseNames.insert(line.japanese).second) << line.japanese;
        EXPECT_TRUE(englishNames.insert(line.english).second) << line.english;
        EXPECT_TRUE(encodesInCp932(line.japanese)) << line.japanese;
    }
}
