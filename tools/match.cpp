// reverse-match: plays computer levels against each other without a window
// and reports the results and each level's thinking time per move.
//
//   reverse-match [--games N] [--positions FILE] [--clock SECOND] [--record FILE]
//                 [--plain] [--verify] BLACK WHITE
//   reverse-match --ladder [--games N] [--clock SECOND] [--plot FILE]
//   reverse-match --paired [--games N] [--clock SECOND] FIRST SECOND
//
// BLACK and WHITE are lv0..lv7 (or the player settings 1..8). lv7 thinks for
// a second on the clock on the wall, so its games never repeat exactly, and
// it always plays through the fast engine (it has no plain procedure).
// --games N        number of games (default 1, or one per position of FILE)
// --positions FILE start game i from position i modulo the count, in the
//                  format below; without it every game starts from the
//                  opening position with Black to move
// --clock SECOND   first second of the levels' clock (default: now). The
//                  clock moves one second per move, so the games of one run
//                  differ and a run with the same SECOND repeats exactly.
// --record FILE    append every position a level moves from to FILE
// --plain          play with the plain level procedures instead of the fast
//                  engine (the two make the same moves; the plain ones are slow)
// --verify         compute every move with both and stop at the first
//                  difference
// --ladder         round robin of adjacent levels, lv0-lv1 to lv6-lv7, N games
//                  a pair (default 40): each opening is played twice with the
//                  colours swapped. Prints wins, draws and losses per pair and
//                  an Elo estimate per level (lv0 = 0); --plot writes the Elo
//                  table for gnuplot.
// --paired         FIRST against SECOND from N/2 different openings (default
//                  N = 80), each played twice with the colours swapped;
//                  prints FIRST's wins, draws, losses, share of the points and
//                  mean disc difference. The openings are 4 to 9 random plies
//                  from the start, none twice.
//
// Position format, one a line: 64 cells, row 1 to row 8, each row from
// column a to h, '-' empty, 'X' Black, 'O' White; a space; the side to
// move, 'X' or 'O'. Anything after that is ignored, as are empty lines and
// lines starting with '#'.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "ai/levels.h"
#include "ai/random.h"
#include "engine/engine.h"

namespace {

struct StartPosition {
    Board board;
    int side;
};

struct Options {
    int games = 0;
    std::string positionsFile;
    std::string recordFile;
    std::string plotFile;
    long long clockStart = -1;
    bool plain = false;
    bool verify = false;
    bool ladder = false;
    bool paired = false;
    bool quiet = false;
    int players[3] = {0, 0, 0}; // indexed by colour
};

// Per level, per group of empty cells: the thinking time of every move.
std::map<int, std::map<int, std::vector<double>>> thinkingTimes;

long long clockNow = 0;
long long steppingClock()
{
    return clockNow;
}

[[noreturn]] void usage(const char* message)
{
    std::fprintf(stderr, "reverse-match: %s\n", message);
    std::fprintf(stderr, "usage: reverse-match [--games N] [--positions FILE] [--clock SECOND] "
                         "[--record FILE] [--plain] [--verify] BLACK WHITE  (players lv0..lv7 or 1..8)\n"
                         "       reverse-match --ladder [--games N] [--clock SECOND] [--plot FILE]\n"
                         "       reverse-match --paired [--games N] [--clock SECOND] FIRST SECOND\n");
    std::exit(2);
}

int parsePlayer(const std::string& text)
{
    if (text.size() == 3 && text.compare(0, 2, "lv") == 0 && text[2] >= '0' && text[2] <= '7')
        return text[2] - '0' + 1;
    if (text.size() == 1 && text[0] >= '1' && text[0] <= '8')
        return text[0] - '0';
    usage(("unknown player " + text).c_str());
}

Options parseOptions(int argc, char** argv)
{
    Options o;
    std::vector<std::string> players;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--games" && hasValue)
            o.games = std::atoi(argv[++i]);
        else if (arg == "--positions" && hasValue)
            o.positionsFile = argv[++i];
        else if (arg == "--record" && hasValue)
            o.recordFile = argv[++i];
        else if (arg == "--clock" && hasValue)
            o.clockStart = std::atoll(argv[++i]);
        else if (arg == "--plot" && hasValue)
            o.plotFile = argv[++i];
        else if (arg == "--plain")
            o.plain = true;
        else if (arg == "--verify")
            o.verify = true;
        else if (arg == "--ladder")
            o.ladder = true;
        else if (arg == "--paired")
            o.paired = true;
        else if (arg.rfind("--", 0) == 0)
            usage(("bad option " + arg).c_str());
        else
            players.push_back(arg);
    }
    if (o.ladder) {
        if (!players.empty())
            usage("the ladder takes no players");
        return o;
    }
    if (players.size() != 2)
        usage("need two players");
    o.players[Black] = parsePlayer(players[0]);
    o.players[White] = parsePlayer(players[1]);
    return o;
}

bool parsePosition(const std::string& line, StartPosition& out)
{
    if (line.size() < 66 || line[64] != ' ' || (line[65] != 'X' && line[65] != 'O'))
        return false;
    out.board.fill(Empty);
    for (int i = 0; i < 64; ++i) {
        const char ch = line[i];
        if (ch != '-' && ch != 'X' && ch != 'O')
            return false;
        const int row = i / 8 + 1, column = i % 8 + 1;
        out.board[cellIndex(column, row)] = ch == 'X' ? Black : ch == 'O' ? White : Empty;
    }
    out.side = line[65] == 'X' ? Black : White;
    return true;
}

std::string formatPosition(const Board& board, int side)
{
    std::string line;
    for (int row = 1; row <= 8; ++row)
        for (int column = 1; column <= 8; ++column) {
            const int cell = board[cellIndex(column, row)];
            line += cell == Black ? 'X' : cell == White ? 'O' : '-';
        }
    return line + (side == Black ? " X" : " O");
}

std::vector<StartPosition> readPositions(const std::string& file)
{
    std::ifstream in(file);
    if (!in)
        usage(("cannot read " + file).c_str());
    std::vector<StartPosition> positions;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#')
            continue;
        StartPosition p;
        if (!parsePosition(line, p)) {
            std::fprintf(stderr, "reverse-match: %s:%d: not a position\n", file.c_str(), number);
            std::exit(2);
        }
        positions.push_back(p);
    }
    if (positions.empty())
        usage("no positions in the file");
    return positions;
}

bool hasMove(int side, const Board& board)
{
    listMoves(0, side, board);
    return moveLists[0][0].column != 0;
}

// Groups of empty cells; the narrow ones near the end follow the switch-over
// points of lv4 and lv6.
const int groupLow[] = {50, 40, 30, 20, 16, 12, 10, 0};
const char* const groupName[] = {"60-50", "49-40", "39-30", "29-20", "19-16", "15-12", "11-10", "9-1"};

int groupOf(int emptyCount)
{
    int g = 0;
    while (emptyCount < groupLow[g])
        ++g;
    return g;
}

constexpr int MasterPlayer = 8;

void thinkOnce(const Options& o, int player, int side, const Board& board)
{
    if (player == MasterPlayer) {
        masterLevel(side, board);
        return;
    }
    if (!o.verify) {
        (o.plain ? runLevel : runLevelFast)(player, side, board);
        return;
    }
    if (!verifyMove(player, side, board)) {
        std::fprintf(stderr, "reverse-match: the fast engine differs from the plain lv%d on %s\n", player - 1,
                     formatPosition(board, side).c_str());
        std::exit(1);
    }
}

// One computer move, timed; returns false if the level failed to move.
bool playOneMove(const Options& o, int player, int side, Board& board, std::ofstream& record)
{
    if (record)
        record << formatPosition(board, side) << '\n';
    const auto begin = std::chrono::steady_clock::now();
    thinkOnce(o, player, side, board);
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - begin;
    ++clockNow;
    thinkingTimes[player][groupOf(countEmpty(board))].push_back(spent.count());
    const Move m = chosenMove;
    if (m.column < 1 || m.column > 8 || m.row < 1 || m.row > 8 || !isLegalMove(side, m.column, m.row, board))
        return false;
    applyMove(board, m.column, m.row, side);
    board = trialBoard;
    return true;
}

// Plays to the end; a side without a move passes. Returns Black minus White.
int playGame(const Options& o, int number, const StartPosition& start, std::ofstream& record)
{
    Board board = start.board;
    int side = start.side;
    for (;;) {
        if (!hasMove(side, board)) {
            if (!hasMove(opponentOf(side), board))
                break;
            side = opponentOf(side);
            continue;
        }
        if (!playOneMove(o, o.players[side], side, board, record)) {
            std::fprintf(stderr, "reverse-match: lv%d chose an illegal move (%d,%d)\n", o.players[side] - 1,
                         chosenMove.column, chosenMove.row);
            std::exit(1);
        }
        side = opponentOf(side);
    }
    const int blacks = countStones(Black, board), whites = countStones(White, board);
    if (!o.quiet)
        std::printf("game %d: Black lv%d %d - %d White lv%d\n", number, o.players[Black] - 1, blacks, whites,
                    o.players[White] - 1);
    return blacks - whites;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void printTimes()
{
    std::printf("\nthinking time per move (ms)\n%-6s %-7s %6s %10s %10s\n", "level", "empty", "moves",
                "median", "max");
    for (const auto& [player, groups] : thinkingTimes)
        for (const auto& [group, times] : groups)
            std::printf("lv%-4d %-7s %6zu %10.3f %10.3f\n", player - 1, groupName[group], times.size(),
                        median(times), *std::max_element(times.begin(), times.end()));
}

// `plies` random moves from the start with the generator seeded by `seed`;
// a side without a move passes.
StartPosition randomOpening(uint32_t seed, int plies)
{
    setupBoard();
    Board board = liveBoard;
    int side = Black;
    seedRandom(seed);
    for (int ply = 0; ply < plies; ++ply) {
        listMoves(0, side, board);
        const int n = moveCount(moveLists[0]);
        if (n == 0) {
            side = opponentOf(side);
            continue;
        }
        const Move m = moveLists[0][drawRandom() % n];
        applyMove(board, m.column, m.row, side);
        board = trialBoard;
        side = opponentOf(side);
    }
    return {board, side};
}

// Openings for the ladder: four random plies from the start, one generator
// seed per opening, so every pair meets the same varied set.
std::vector<StartPosition> ladderOpenings(int count)
{
    std::vector<StartPosition> openings;
    for (int seed = 1; static_cast<int>(openings.size()) < count; ++seed)
        openings.push_back(randomOpening(static_cast<uint32_t>(seed), 4));
    return openings;
}

// Openings for --paired: 4 to 9 random plies, each position once.
std::vector<StartPosition> pairedOpenings(int count)
{
    std::vector<StartPosition> openings;
    for (int seed = 1; static_cast<int>(openings.size()) < count; ++seed) {
        const StartPosition p = randomOpening(static_cast<uint32_t>(seed), 4 + seed % 6);
        if (std::none_of(openings.begin(), openings.end(),
                         [&](const StartPosition& q) { return q.board == p.board && q.side == p.side; }))
            openings.push_back(p);
    }
    return openings;
}

struct PairResult {
    int wins = 0, draws = 0, losses = 0; // of the first player
    long long discs = 0;                 // the first player's disc differences, summed
};

// Each opening twice, `first` with Black and then with White.
PairResult playPair(Options o, int first, int second, const std::vector<StartPosition>& openings)
{
    PairResult r;
    std::ofstream noRecord;
    for (size_t g = 0; g < 2 * openings.size(); ++g) {
        const int firstColour = g % 2 ? White : Black;
        o.players[firstColour] = first;
        o.players[opponentOf(firstColour)] = second;
        const int diff = playGame(o, static_cast<int>(g + 1), openings[g / 2], noRecord);
        const int firstDiff = firstColour == Black ? diff : -diff;
        r.wins += firstDiff > 0;
        r.draws += firstDiff == 0;
        r.losses += firstDiff < 0;
        r.discs += firstDiff;
    }
    return r;
}

int runPaired(const Options& o)
{
    const int first = o.players[Black], second = o.players[White];
    const PairResult r =
        playPair(o, first, second, pairedOpenings(std::max(1, (o.games > 0 ? o.games : 80) / 2)));
    const int games = r.wins + r.draws + r.losses;
    std::printf("\nlv%d against lv%d, %d games (each opening with both colours): lv%d %d wins, %d draws, %d "
                "losses, %.1f%% of the points, %+.1f discs a game\n",
                first - 1, second - 1, games, first - 1, r.wins, r.draws, r.losses,
                100.0 * (r.wins + 0.5 * r.draws) / games, static_cast<double>(r.discs) / games);
    printTimes();
    return 0;
}

// Elo difference for a score fraction, kept finite for a clean sweep.
double eloDifference(const PairResult& r)
{
    const double games = r.wins + r.draws + r.losses;
    const double score = std::clamp((r.wins + 0.5 * r.draws) / games, 0.5 / games, 1 - 0.5 / games);
    return -400.0 * std::log10(1.0 / score - 1.0);
}

int runLadder(const Options& o)
{
    const int games = o.games > 0 ? o.games : 40;
    const std::vector<StartPosition> openings = ladderOpenings((games + 1) / 2);
    std::FILE* plot = o.plotFile.empty() ? nullptr : std::fopen(o.plotFile.c_str(), "w");
    std::printf("%-9s %6s %6s %6s %8s   %-5s %6s\n", "pair", "wins", "draws", "losses", "elo diff", "level",
                "elo");
    std::printf("%-9s %6s %6s %6s %8s   lv0   %6.0f\n", "", "", "", "", "", 0.0);
    if (plot)
        std::fprintf(plot, "# level elo\n0 0\n");
    double elo = 0;
    for (int weaker = 1; weaker < MasterPlayer; ++weaker) {
        Options quiet = o;
        quiet.quiet = true;
        const PairResult r = playPair(quiet, weaker + 1, weaker, openings);
        const double diff = eloDifference(r);
        elo += diff;
        std::printf("lv%d-lv%d   %6d %6d %6d %8.0f   lv%d   %6.0f\n", weaker - 1, weaker, r.wins, r.draws,
                    r.losses, diff, weaker, elo);
        std::fflush(stdout);
        if (plot)
            std::fprintf(plot, "%d %.0f\n", weaker, elo);
    }
    if (plot)
        std::fclose(plot);
    std::printf("(wins, draws and losses of the stronger level of each pair, %d games a pair)\n",
                2 * static_cast<int>(openings.size()));
    printTimes();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const Options o = parseOptions(argc, argv);
    if (o.ladder) {
        clockNow = o.clockStart >= 0 ? o.clockStart : currentSeconds();
        setClock(steppingClock);
        return runLadder(o);
    }
    std::vector<StartPosition> starts;
    if (!o.positionsFile.empty())
        starts = readPositions(o.positionsFile);
    else {
        setupBoard();
        starts.push_back({liveBoard, Black});
    }
    const int games = o.games > 0 ? o.games : o.positionsFile.empty() ? 1 : static_cast<int>(starts.size());
    clockNow = o.clockStart >= 0 ? o.clockStart : currentSeconds();
    setClock(steppingClock);
    if (o.paired)
        return runPaired(o);
    std::ofstream record;
    if (!o.recordFile.empty())
        record.open(o.recordFile, std::ios::app);

    int wins = 0, draws = 0, losses = 0;
    for (int g = 0; g < games; ++g) {
        const int diff = playGame(o, g + 1, starts[g % starts.size()], record);
        wins += diff > 0;
        draws += diff == 0;
        losses += diff < 0;
    }
    std::printf("\nBlack lv%d against White lv%d: Black %d wins, %d draws, %d losses\n", o.players[Black] - 1,
                o.players[White] - 1, wins, draws, losses);
    printTimes();
    return 0;
}
