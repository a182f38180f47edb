// Self-play for reverse-train: the search, one game, and the chunk files.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <zlib.h>

#include "engine/engine.h"
#include "engine/solver.h"
#include "train.h"

namespace {

constexpr int Infinity = 1 << 28;

struct Child {
    Bits own, opp; // the opponent to move
    int bit;
    int key;
};

int childrenOf(Bits own, Bits opp, Child* out)
{
    int n = 0;
    for (Bits m = legalMoves(own, opp); m; m &= m - 1) {
        const int bit = lowestBit(m);
        const Bits flips = flipsOf(bit, own, opp);
        out[n++] = {opp & ~flips, own | flips | Bits{1} << bit, bit, 0};
    }
    return n;
}

void play(Bits& own, Bits& opp, int bit)
{
    const Bits flips = flipsOf(bit, own, opp);
    const Bits next = opp & ~flips;
    opp = own | flips | Bits{1} << bit;
    own = next;
}

int randomMove(Bits moves, std::mt19937_64& rng)
{
    for (int n = static_cast<int>(rng() % static_cast<unsigned>(stoneCount(moves))); n > 0; --n)
        moves &= moves - 1;
    return lowestBit(moves);
}

// A move reaching the exact value: the table's after a whole-window solve,
// which spares solving the other moves, checked by solveBest.
int exactMove(Bits own, Bits opp)
{
    solveWindow(own, opp, Scoring::EmptiesToWinner, -64, 64);
    const int known = tableMove(own, opp, Scoring::EmptiesToWinner);
    return solveBest(own, opp, Scoring::EmptiesToWinner, nullptr, known).bestBit;
}

} // namespace

int Searcher::value(Bits own, Bits opp, int depth, int alpha, int beta)
{
    ++nodes_;
    if (depth == 0)
        return e_.value(own, opp);
    Child children[32];
    const int n = childrenOf(own, opp, children);
    if (n == 0) {
        if (legalMoves(opp, own) == 0)
            return finalScore(own, opp, Scoring::EmptiesToWinner) * e_.perDisc;
        return -value(opp, own, depth, -beta, -alpha);
    }
    // Above the last two plies the opponent's likeliest replies go first:
    // the estimate's order is worth its cost there.
    if (depth >= 3) {
        for (int i = 0; i < n; ++i)
            children[i].key = e_.value(children[i].own, children[i].opp);
        std::sort(children, children + n, [](const Child& a, const Child& b) { return a.key < b.key; });
    }
    int best = -Infinity;
    for (int i = 0; i < n; ++i) {
        const int v = -value(children[i].own, children[i].opp, depth - 1, -beta, -std::max(alpha, best));
        if (v > best) {
            best = v;
            if (best >= beta)
                break;
        }
    }
    return best;
}

int Searcher::bestMove(Bits own, Bits opp, int depth)
{
    Child children[32];
    const int n = childrenOf(own, opp, children);
    for (int i = 0; i < n; ++i)
        children[i].key = e_.value(children[i].own, children[i].opp);
    std::stable_sort(children, children + n, [](const Child& a, const Child& b) { return a.key < b.key; });
    int best = -Infinity, bestBit = children[0].bit;
    for (int i = 0; i < n; ++i) {
        const int v = -value(children[i].own, children[i].opp, depth - 1, -Infinity, -best);
        if (v > best) {
            best = v;
            bestBit = children[i].bit;
        }
    }
    return bestBit;
}

Game playGame(std::mt19937_64& rng, const Estimator& estimator, const PlaySettings& s)
{
    Game game;
    game.randomPlies =
        s.randomLow + static_cast<int>(rng() % static_cast<unsigned>(s.randomHigh - s.randomLow + 1));
    game.exactPly = -1;
    Searcher searcher(estimator);
    // Which of several best moves the table holds depends on what it held
    // before: each game starts from an empty one, so a chunk's games depend
    // on its seed alone.
    clearSolverTable();
    Bits own = Bits{1} << bitOf(4, 5) | Bits{1} << bitOf(5, 4); // Black
    Bits opp = Bits{1} << bitOf(4, 4) | Bits{1} << bitOf(5, 5);
    bool blackToMove = true;
    for (;;) {
        Bits moves = legalMoves(own, opp);
        if (moves == 0) {
            if (legalMoves(opp, own) == 0)
                break;
            std::swap(own, opp);
            blackToMove = !blackToMove;
            moves = legalMoves(own, opp);
        }
        const int ply = static_cast<int>(game.moves.size());
        const int empties = 64 - stoneCount(own | opp);
        int bit;
        if (ply < game.randomPlies) {
            bit = randomMove(moves, rng);
        } else if (empties <= s.exactFrom) {
            if (game.exactPly < 0)
                game.exactPly = ply;
            bit = exactMove(own, opp);
        } else {
            bit = searcher.bestMove(own, opp, s.depth);
        }
        game.moves.push_back(static_cast<uint8_t>(bit));
        play(own, opp, bit);
        blackToMove = !blackToMove;
    }
    if (game.exactPly < 0)
        game.exactPly = static_cast<int>(game.moves.size());
    const int score = finalScore(own, opp, Scoring::EmptiesToWinner);
    game.score = blackToMove ? score : -score;
    return game;
}

void samplesOf(const Game& game, std::vector<Sample>& out)
{
    Bits own = Bits{1} << bitOf(4, 5) | Bits{1} << bitOf(5, 4);
    Bits opp = Bits{1} << bitOf(4, 4) | Bits{1} << bitOf(5, 5);
    bool blackToMove = true;
    for (size_t ply = 0; ply < game.moves.size(); ++ply) {
        if (legalMoves(own, opp) == 0) {
            std::swap(own, opp);
            blackToMove = !blackToMove;
        }
        if (static_cast<int>(ply) >= game.randomPlies)
            out.push_back({own, opp, static_cast<int8_t>(blackToMove ? game.score : -game.score),
                           static_cast<int>(ply) >= game.exactPly});
        play(own, opp, game.moves[ply]);
        blackToMove = !blackToMove;
    }
}

// ---- chunk files ----

namespace {

void put32(std::vector<uint8_t>& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

struct Reader {
    const std::vector<uint8_t>& b;
    size_t at = 0;
    bool failed = false;
    unsigned byte()
    {
        if (at >= b.size()) {
            failed = true;
            return 0;
        }
        return b[at++];
    }
    uint32_t u32()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<uint32_t>(byte()) << (8 * i);
        return v;
    }
};

// Replays a game read from a file: every move legal, the score the board's.
bool replays(const Game& game)
{
    if (game.exactPly > static_cast<int>(game.moves.size()))
        return false;
    Bits own = Bits{1} << bitOf(4, 5) | Bits{1} << bitOf(5, 4);
    Bits opp = Bits{1} << bitOf(4, 4) | Bits{1} << bitOf(5, 5);
    bool blackToMove = true;
    for (uint8_t bit : game.moves) {
        if (legalMoves(own, opp) == 0) {
            std::swap(own, opp);
            blackToMove = !blackToMove;
        }
        if (bit > 63 || !(legalMoves(own, opp) >> bit & 1))
            return false;
        play(own, opp, bit);
        blackToMove = !blackToMove;
    }
    if (legalMoves(own, opp) != 0 || legalMoves(opp, own) != 0)
        return false;
    const int score = finalScore(own, opp, Scoring::EmptiesToWinner);
    return game.score == (blackToMove ? score : -score);
}

} // namespace

bool writeChunk(const std::string& path, const Chunk& chunk)
{
    std::vector<uint8_t> b = {'R', 'V', 'G', '1'};
    put32(b, chunk.seed);
    put32(b, chunk.playerId);
    for (int v : {chunk.settings.depth, chunk.settings.exactFrom, chunk.settings.randomLow,
                  chunk.settings.randomHigh})
        b.push_back(static_cast<uint8_t>(v));
    put32(b, static_cast<uint32_t>(chunk.games.size()));
    for (const Game& g : chunk.games) {
        b.push_back(static_cast<uint8_t>(g.randomPlies));
        b.push_back(static_cast<uint8_t>(g.exactPly));
        b.push_back(static_cast<uint8_t>(g.moves.size()));
        b.insert(b.end(), g.moves.begin(), g.moves.end());
        b.push_back(static_cast<uint8_t>(static_cast<int8_t>(g.score)));
    }
    const std::string temporary = path + ".part";
    gzFile f = gzopen(temporary.c_str(), "wb9");
    if (!f)
        return false;
    const bool written = gzwrite(f, b.data(), static_cast<unsigned>(b.size())) == static_cast<int>(b.size());
    if (gzclose(f) != Z_OK || !written)
        return false;
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    return !ec;
}

bool readChunk(const std::string& path, Chunk& chunk, std::string& error)
{
    gzFile f = gzopen(path.c_str(), "rb");
    if (!f) {
        error = "cannot open";
        return false;
    }
    std::vector<uint8_t> b;
    uint8_t buffer[1 << 16];
    int n;
    while ((n = gzread(f, buffer, sizeof buffer)) > 0)
        b.insert(b.end(), buffer, buffer + n);
    const bool readWhole = n == 0;
    gzclose(f);
    if (!readWhole || b.size() < 20 || std::memcmp(b.data(), "RVG1", 4) != 0) {
        error = "not a games file";
        return false;
    }
    Reader r{b, 4};
    chunk.seed = r.u32();
    chunk.playerId = r.u32();
    chunk.settings.depth = static_cast<int>(r.byte());
    chunk.settings.exactFrom = static_cast<int>(r.byte());
    chunk.settings.randomLow = static_cast<int>(r.byte());
    chunk.settings.randomHigh = static_cast<int>(r.byte());
    const uint32_t count = r.u32();
    chunk.games.clear();
    for (uint32_t i = 0; i < count && !r.failed; ++i) {
        Game g;
        g.randomPlies = static_cast<int>(r.byte());
        g.exactPly = static_cast<int>(r.byte());
        g.moves.resize(r.byte());
        for (uint8_t& m : g.moves)
            m = static_cast<uint8_t>(r.byte());
        g.score = static_cast<int8_t>(r.byte());
        if (!r.failed && !replays(g)) {
            error = "game " + std::to_string(i + 1) + " does not replay";
            return false;
        }
        chunk.games.push_back(std::move(g));
    }
    if (r.failed || r.at != b.size()) {
        error = "truncated or trailing bytes";
        return false;
    }
    return true;
}

std::string chunkPath(const std::string& folder, int index)
{
    char name[32];
    std::snprintf(name, sizeof name, "c%05d.gz", index);
    return folder + "/" + name;
}

std::vector<std::string> chunkFiles(const std::string& folder)
{
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == 9 && name[0] == 'c' && name.ends_with(".gz"))
            files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}
