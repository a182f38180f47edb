#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iconv.h>
#include <random>
#include <sys/stat.h>

#include "board_text.h"
#include "records/formats.h"
#include "records_check.h"

namespace fs = std::filesystem;

namespace {

// A game played at random with the board procedures alone, and what it
// should read back as.
struct PlayedGame {
    Game game;
    std::vector<int> colours; // of each turn
    Board final{};
    bool ended = false;
};

// The move that leaves the mover the most stones.
Move greedyMove(const std::vector<Move>& moves, int side, const Board& board)
{
    Move best = moves[0];
    int most = -1;
    for (Move m : moves) {
        applyMove(board, m.column, m.row, side);
        if (countStones(side, trialBoard) > most)
            best = m, most = countStones(side, trialBoard);
    }
    return best;
}

// Random play; in a lopsided game Black takes the most stones each turn,
// which often ends the game early with a wipe-out.
PlayedGame playRandomGame(std::mt19937& rng, const Board& start, int firstSide, size_t stopAfter,
                          bool lopsided = false)
{
    PlayedGame played;
    played.game.start = start;
    played.game.firstSide = firstSide;
    Board board = start;
    int side = firstSide;
    for (;;) {
        listMoves(0, side, board);
        std::vector<Move> moves = movesIn(moveLists[0]);
        listMoves(0, opponentOf(side), board);
        played.ended = moves.empty() && moveCount(moveLists[0]) == 0;
        if (played.ended || played.game.turns.size() >= stopAfter)
            break;
        Move m{0, 0};
        if (!moves.empty()) {
            m = lopsided && side == Black ? greedyMove(moves, side, board) : moves[rng() % moves.size()];
            applyMove(board, m.column, m.row, side);
            board = trialBoard;
        }
        played.game.turns.push_back(m);
        played.colours.push_back(side);
        side = opponentOf(side);
    }
    played.final = board;
    return played;
}

void expectReadsAs(const GameRead& read, const PlayedGame& played, const std::vector<Move>& turns)
{
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.game.turns, turns);
    EXPECT_EQ(finalPosition(read.game), played.final);
    EXPECT_EQ(gameEnded(read.game), played.ended);
    const std::vector<RecordLine> lines = recordLines(read.game);
    ASSERT_EQ(lines.size(), turns.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].number, static_cast<int>(i) + 1);
        EXPECT_EQ(lines[i].colour, played.colours[i]);
        EXPECT_EQ(lines[i].move, turns[i]);
    }
}

// text (UTF-8) in another encoding, such as "UTF-16LE".
std::string encoded(const std::string& text, const char* encoding)
{
    iconv_t cd = iconv_open(encoding, "UTF-8");
    std::string out(4 * text.size() + 4, '\0');
    char* in = const_cast<char*>(text.data());
    char* dst = out.data();
    size_t inLeft = text.size();
    size_t outLeft = out.size();
    const bool ok = cd != iconv_t(-1) && iconv(cd, &in, &inLeft, &dst, &outLeft) != size_t(-1);
    if (cd != iconv_t(-1))
        iconv_close(cd);
    out.resize(ok ? out.size() - outLeft : 0);
    return out;
}

bool encodesInCp932(const std::string& text)
{
    iconv_t cd = iconv_open("CP932", "UTF-8");
    char out[512];
    char* in = const_cast<char*>(text.data());
    char* dst = out;
    size_t inLeft = text.size();
    size_t outLeft = sizeof out;
    const bool ok = cd != iconv_t(-1) && iconv(cd, &in, &inLeft, &dst, &outLeft) != size_t(-1) && inLeft == 0;
    if (cd != iconv_t(-1))
        iconv_close(cd);
    return ok;
}

const char* const StandardBoard = "BO[8 ---------------------------O*------*O--------------------------- *]";
// Black has no move here, White has two.
const char* const PassStart = "*-O----- -OO----- O-*----- --***--- ---**--- ----*--- -------- --------";

} // namespace

// Games from the standard start go through both formats; games from other
// starts (some with White to move, some opening with a pass) through GGF.
TEST(RecordRoundTrip, GeneratedGamesReadBackAsTheSameGame)
{
    std::mt19937 rng(20240131);
    int withPass = 0, endedEarly = 0, unfinished = 0, otherStart = 0, endingInPass = 0, named = 0;
    for (int i = 0; i < 400; ++i) {
        Board start = standardGame().start;
        int firstSide = Black;
        if (i % 4 == 3) {
            const PlayedGame opening = playRandomGame(rng, start, Black, 4 + rng() % 20);
            start = opening.final;
            firstSide = rng() % 2 ? Black : White;
            ++otherStart;
        }
        const size_t stopAfter = i % 3 == 0 ? rng() % 70 : 200;
        PlayedGame played = playRandomGame(rng, start, firstSide, stopAfter, i % 5 == 1);
        played.game.header = {"人", "lv3 " + std::to_string(i), "2024.01.31_23:59:07", "Tavixリバーシ", ""};
        const std::vector<Move>& turns = played.game.turns;
        const bool hasPass = std::count(turns.begin(), turns.end(), Move{0, 0}) > 0;
        withPass += hasPass;
        endedEarly += played.ended && countStones(Empty, played.final) > 36;
        unfinished += !played.ended;

        const std::string written = writeGgf(played.game);
        named += written.find("ON[") != std::string::npos; // the opening's name, skipped when read
        const GameRead ggf = readGame(written);
        EXPECT_EQ(ggf.format, RecordFormat::Ggf);
        expectReadsAs(ggf, played, turns);
        EXPECT_EQ(ggf.game.start, start);
        EXPECT_EQ(ggf.game.firstSide, firstSide);
        EXPECT_EQ(ggf.game.header.white, "lv3 " + std::to_string(i));
        EXPECT_EQ(ggf.game.header.result.empty(), !played.ended);
        if (played.ended) {
            // The empty cells go to the winner.
            const int b = countStones(Black, played.final), w = countStones(White, played.final);
            const int empty = 64 - b - w;
            const int score = b > w ? b - w + empty : b < w ? b - w - empty : 0;
            char result[16];
            std::snprintf(result, sizeof result, score == 0 ? "%d.00" : "%+d.00", score);
            EXPECT_EQ(ggf.game.header.result, result);
        }

        if (i % 4 == 3 || turns.empty())
            continue;
        // A pass at the very end is the one thing a transcript cannot keep.
        std::vector<Move> kept = turns;
        if (kept.back() == Move{0, 0}) {
            kept.pop_back();
            ++endingInPass;
        }
        const GameRead transcript = readGame(writeTranscript(played.game));
        EXPECT_EQ(transcript.format, RecordFormat::Transcript);
        expectReadsAs(transcript, played, kept);
    }
    EXPECT_GE(withPass, 20);
    EXPECT_GE(endedEarly, 5);
    EXPECT_GE(unfinished, 100);
    EXPECT_GE(otherStart, 100);
    EXPECT_GE(endingInPass, 1);
    EXPECT_GE(named, 100);
}

TEST(RecordReading, HandWrittenGgfWithItsOwnStartPassesAndSuffixes)
{
    // Black is to move in BO but has no move: its pass is put in first. The
    // cells spread over lines and mixed case are the same position.
    const std::string text =
        "\n(;GM[othello]PC[GGS/os]DT[2003.12.15_13:24:05.MST]\n"
        "PB[Taro \\] Jr]PW[花子]RB[1800.5]RE[-12.00]TI[05:00//02:00]TY[8]\n"
        "BO[8 *-O----- -OO----- O-*-----\n --***--- ---xx--- ----*--- -------- -------- *]\n"
        "W[F6//0.01] B[d3/-1.50/2.31]\r\n\tw[c5]  ;)(;GM[Othello];)";
    const GameRead read = readGame("\xEF\xBB\xBF " + text);
    ASSERT_TRUE(read.ok) << read.error;
    // The same text in UTF-16, in either byte order, after its mark.
    for (const char* encoding : {"UTF-16LE", "UTF-16BE"}) {
        const std::string mark = encoding[6] == 'L' ? "\xFF\xFE" : "\xFE\xFF";
        const GameRead utf16 = readGame(mark + encoded(text, encoding));
        ASSERT_TRUE(utf16.ok) << encoding << ": " << utf16.error;
        EXPECT_EQ(writeGgf(utf16.game), writeGgf(read.game)) << encoding;
    }
    EXPECT_EQ(read.format, RecordFormat::Ggf);
    EXPECT_EQ(read.game.start, boardFromRows({"X.O.....", ".OO.....", "O.X.....", "..XXX...", "...XX...",
                                              "....X...", "........", "........"}));
    EXPECT_EQ(read.game.firstSide, Black);
    EXPECT_EQ(read.game.turns, (std::vector<Move>{{0, 0}, {6, 6}, {4, 3}, {3, 5}}));
    EXPECT_EQ(finalPosition(read.game), boardFromRows({"X.O.....", ".OO.....", "O.OX....", "..OXX...",
                                                       "..OOO...", "....XO..", "........", "........"}));
    EXPECT_EQ(read.game.header.black, "Taro ] Jr");
    EXPECT_EQ(read.game.header.white, "花子");
    EXPECT_EQ(read.game.header.date, "2003.12.15_13:24:05.MST");
    EXPECT_EQ(read.game.header.place, "GGS/os");
    EXPECT_EQ(read.game.header.result, "-12.00");
    EXPECT_EQ(read.game.resignedBy, Empty);
    EXPECT_FALSE(gameEnded(read.game));

    // The same turns with the pass written out, and a resignation.
    const GameRead resigned =
        readGame(std::string("(;GM[Othello]RE[+64.00:r]BO[8 ") + PassStart + " *]B[PaSs]W[f6]B[D3];)");
    ASSERT_TRUE(resigned.ok) << resigned.error;
    EXPECT_EQ(resigned.game.turns, (std::vector<Move>{{0, 0}, {6, 6}, {4, 3}}));
    EXPECT_EQ(resigned.game.resignedBy, White);
}

TEST(RecordReading, HandWrittenTranscriptsWithCaseSpacesAndPasses)
{
    // After a3 Black has no move: the pass is implied, or written either way.
    const std::vector<Move> expected{{3, 4}, {3, 3}, {3, 2}, {2, 2}, {5, 6}, {3, 1},
                                     {1, 1}, {1, 3}, {0, 0}, {6, 6}, {4, 3}};
    for (const char* text : {"C4c3\tc2  B2\ne6c1\r\na1A3f6D3", "c4 c3 c2 b2 e6 c1 a1 a3 -- f6 d3\n",
                             "c4c3c2b2e6c1a1a3PAf6d3", "c4c3c2b2e6c1a1a3 pass\u3000f6 d3"}) {
        const GameRead read = readGame(text);
        ASSERT_TRUE(read.ok) << text << ": " << read.error;
        EXPECT_EQ(read.format, RecordFormat::Transcript);
        EXPECT_EQ(read.game.turns, expected) << text;
        EXPECT_EQ(recordLines(read.game)[8].colour, Black);
        EXPECT_EQ(recordLines(read.game)[9].colour, White);
    }
    const GameRead read = readGame("c4c3c2b2e6c1a1a3f6d3");
    EXPECT_EQ(finalPosition(read.game), boardFromRows({"X.O.....", ".OO.....", "O.OX....", "..XXX...",
                                                       "...XO...", "....XO..", "........", "........"}));
    EXPECT_EQ(writeTranscript(read.game), "c4c3c2b2e6c1a1a3f6d3");
}

TEST(RecordWriting, GgfHoldsHeaderBoardTurnsAndResultOnceOver)
{
    GameRead read = readGame("f5d6");
    read.game.header = {"人", "lv2 [x]", "2024.01.31_23:59:07", "Tavixリバーシ", ""};
    EXPECT_EQ(writeGgf(read.game),
              std::string("(;GM[Othello]PC[Tavixリバーシ]DT[2024.01.31_23:59:07]ON[Perpendicular]PB[人]") +
                  "PW[lv2 [x\\]]TY[8]" + StandardBoard + "B[f5]W[d6];)\n");
    read.game.resignedBy = Black;
    EXPECT_NE(writeGgf(read.game).find("PW[lv2 [x\\]]RE[-64.00:r]TY[8]"), std::string::npos);

    // A wipe-out after nine moves, 13 to 0, the empty cells to the winner;
    // then a pass written out.
    EXPECT_NE(writeGgf(readGame("c4c3c2b4a5f4g4c5d6").game).find("RE[+64.00]TY[8]"), std::string::npos);
    EXPECT_NE(writeGgf(readGame("c4c3c2b2e6c1a1a3f6").game).find("W[a3]B[PA]W[f6];)"), std::string::npos);

    // A caller's cell off the board must not index outside the position.
    Game offBoard = standardGame();
    offBoard.turns = {{9, 9}, {-1, -1}};
    EXPECT_EQ(finalPosition(offBoard), standardGame().start);

    // A result read with a game stands, whatever the board says (a loss on
    // time here), until the game is changed: playing on from a position
    // keeps the turns before it and the players, not the result.
    const GameRead timeLoss =
        readGame(std::string("(;GM[Othello]RE[ -10.00:t ]") + StandardBoard + "B[f5];)");
    ASSERT_TRUE(timeLoss.ok) << timeLoss.error;
    EXPECT_EQ(timeLoss.game.resignedBy, Empty);
    EXPECT_NE(writeGgf(timeLoss.game).find("RE[ -10.00:t ]TY[8]"), std::string::npos);
    EXPECT_EQ(writeGgf(gameUpTo(timeLoss.game, 1)).find("RE["), std::string::npos);
    const Game shorter = gameUpTo(read.game, 1);
    EXPECT_EQ(shorter.turns, (std::vector<Move>{{6, 5}}));
    EXPECT_EQ(shorter.resignedBy, Empty);
    EXPECT_EQ(shorter.header.black, "人");

    std::tm time{};
    time.tm_year = 124, time.tm_mon = 0, time.tm_mday = 5, time.tm_hour = 9, time.tm_min = 7, time.tm_sec = 3;
    EXPECT_EQ(defaultRecordFileName(time), "reversi-20240105-0907.ggf");
    EXPECT_EQ(ggfDate(time), "2024.01.05_09:07:03");
}

// Every refusal names its problem, returns no part of a game, and can be
// shown by a message box in code page 932.
TEST(RecordReading, BadInputIsRefusedWithItsOwnMessage)
{
    const std::string g = "(;GM[Othello]";
    const std::string bo = StandardBoard;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "棋譜が空です"},
        {" \n\t\u3000", "棋譜が空です"},
        {"Hello, world", "棋譜の形式がわかりません（GGF でも手順の文字列でもありません）"},
        {"f5d6c3 z9 d3", "4手目が読めません（「z9」）"},
        {"f5 a1", "2手目 a1 には打てません"},
        {"c4c3c2b2e6c1a1a3 a1", "10手目 a1 には打てません"},
        {"c4c3c2b4a5f4g4c5d6 e3", "10手目 e3：対局はもう終わっています"},
        {"c4c3c2b4a5f4g4c5d6 --", "10手目 パス：対局はもう終わっています"},
        {"f5 --", "2手目 パス：白には打てる所があります"},
        {std::string(MaxRecordBytes + 1, ' '), "棋譜が大きすぎます（1 MiB までです）"},
        {std::string("f5d6\0c3", 7), "テキストではありません（バイナリのデータです）"},
        {"\x82\xa0 f5d6", "文字コードが UTF-8 ではありません"},
        {g + bo + "B[f5]", "GGF が途中で切れています"},
        {g + "PB[abc", "GGF が途中で切れています"},
        {g + "BO[8 ---", "GGF が途中で切れています"},
        {g + "\n" + bo + "\n $ ;)", "GGF の書き方が正しくありません（3行目）"},
        {g + bo + ";B[f5];)", "GGF の書き方が正しくありません（1行目）"},
        {"(;GM[Chess]" + bo + ";)", "GGF の対局が GM[Othello] ではありません"},
        {"(;" + bo + ";)", "GGF の対局が GM[Othello] ではありません"},
        {g + ";)", "GGF に開始局面 BO がありません"},
        {g + "BO[10 ---------------------------O*------*O--------------------------- *];)",
         "GGF の開始局面 BO が正しくありません"},
        {g + "BO[8 --------------------------O*------*O--------------------------- *];)",
         "GGF の開始局面 BO が正しくありません"},
        {g + "BO[8 ---------------------------O*------*O---------------------------];)",
         "GGF の開始局面 BO が正しくありません"},
        {g + "BO[8 ---------------------------O#------*O--------------------------- *];)",
         "GGF の開始局面 BO が正しくありません"},
        {g + bo + bo + ";)", "GGF の開始局面 BO が正しくありません"},
        {g + bo + "B[f5]W[d6]B[a1];)", "3手目 a1 には打てません"},
        {g + bo + "B[f5]B[d6];)", "2手目 d6 は黒の手ですが、白の番です"},
        {g + bo + "B[f5]W[PA];)", "2手目 パス：白には打てる所があります"},
        {g + bo + "B[f5]W[z9/1/2];)", "2手目が読めません（「W[z9/1/2]」）"},
        {g + "BO[8 " + PassStart + " *]B[pazz];)", "1手目が読めません（「B[pazz]」）"},
        {g + "BO[8 " + PassStart + " *]B[pa12];)", "1手目が読めません（「B[pa12]」）"},
        {g + "BO[8 " + PassStart + " *]B[PASZ];)", "1手目が読めません（「B[PASZ]」）"},
        {g + "BO[8 " + PassStart + " *]B[p];)", "1手目が読めません（「B[p]」）"},
        {std::string("\xFF\xFE(\0;\0\0\xDC", 8), "UTF-16 として読めない文字があります"},
        {std::string("\xFE\xFF\0(\xD8\0\0;", 8), "UTF-16 として読めない文字があります"},
        {g + "BO[8 ---------------------------O*------*O--------------------------- O]B[e6];)",
         "1手目 e6 は黒の手ですが、白の番です"},
        {g + "BO[8 " + PassStart + " O]B[PA];)", "1手目 パス は黒の手ですが、白の番です"},
        {g + "BO[8 " + PassStart + " *]B[f6];)", "1手目 f6 には打てません"},
    };
    for (const auto& [text, message] : cases) {
        const GameRead read = readGame(text);
        EXPECT_FALSE(read.ok) << text.substr(0, 80);
        EXPECT_EQ(read.error, message) << text.substr(0, 80);
        EXPECT_TRUE(read.game.turns.empty() && read.game.header.black.empty());
        EXPECT_TRUE(encodesInCp932(read.error)) << read.error;
    }

    // Files: a FIFO with no writer must not hang the reading.
    const fs::path dir = fs::temp_directory_path() / ("records-test-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "big.ggf") << std::string(MaxRecordBytes + 1, ' ');
    std::ofstream(dir / "garbage.ggf", std::ios::binary) << std::string("\x7f"
                                                                        "ELF\0\0\x01",
                                                                        7);
    std::ofstream(dir / "empty.txt");
    std::ofstream(dir / "game.txt") << "f5d6";
    std::ofstream(dir / "utf16.txt", std::ios::binary) << std::string("\xFE\xFF\0f\0005\0d\0006", 10);
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    const std::vector<std::pair<std::string, std::string>> files = {
        {"big.ggf", "ファイルが大きすぎます（1 MiB までです）"},
        {"garbage.ggf", "テキストではありません（バイナリのデータです）"},
        {"fifo", "通常のファイルではありません"},
        {".", "通常のファイルではありません"},
        {"missing.ggf", "ファイルが見つかりません"},
        {"empty.txt", "棋譜が空です"},
    };
    for (const auto& [name, message] : files) {
        const GameRead read = openGameFile((dir / name).string());
        EXPECT_EQ(read.error, message) << name;
        EXPECT_TRUE(encodesInCp932(read.error)) << read.error;
    }
    for (const char* name : {"game.txt", "utf16.txt"})
        EXPECT_EQ(openGameFile((dir / name).string()).game.turns, (std::vector<Move>{{6, 5}, {4, 6}}))
            << name;
    fs::remove_all(dir);
}

// The record fuzzer's seeds and the inputs it has caught, through its checks.
TEST(RecordReading, FuzzerInputsReadSoundly)
{
    int count = 0;
    for (const char* folder : {"corpus", "regressions"}) {
        for (const auto& entry : fs::directory_iterator(fs::path(RECORDS_FUZZ_DIR) / folder)) {
            if (!entry.is_regular_file() || entry.path().filename().string()[0] == '.')
                continue;
            std::ifstream file(entry.path(), std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(file), {}};
            EXPECT_EQ(checkRecordRoundTrip(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), "")
                << entry.path();
            ++count;
        }
    }
    EXPECT_GE(count, 8) << "the seed corpus is missing";
}
