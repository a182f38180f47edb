// Shared parts of reverse-train: the self-play games, their files, and the
// positions they teach the evaluation.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/bits.h"

// How a player values positions: an estimate of the final disc difference
// for `own` to move, in 1/perDisc discs.
struct Estimator {
    int (*value)(Bits own, Bits opp);
    int perDisc;
    uint32_t id; // the weights' checksum, kept in the games' files (0: the solver's own estimate)
};

// Fixed-depth alpha-beta over an estimator; finished games count exactly.
class Searcher {
  public:
    explicit Searcher(const Estimator& estimator) : e_(estimator) {}
    // The best move for `own` (which must have one), `depth` plies deep.
    int bestMove(Bits own, Bits opp, int depth);
    // The value for `own` to move, in the estimator's units.
    int value(Bits own, Bits opp, int depth, int alpha, int beta);
    uint64_t nodes() const { return nodes_; }

  private:
    Estimator e_;
    uint64_t nodes_ = 0;
};

// One game from the opening position: `randomPlies` random moves, then the
// search's moves, then from move `exactPly` on the solver's best moves, so
// every position from there is worth exactly the final result. Passes are
// not stored (a side without a move passes by itself).
struct Game {
    int randomPlies = 0;
    int exactPly = 0;
    std::vector<uint8_t> moves; // bit index of each move
    int score = 0;              // Black's final disc difference, empty cells to the winner
};

// How a batch of games is played.
struct PlaySettings {
    int depth = 6;       // plies of the search between the random and the exact moves
    int exactFrom = 22;  // empty cells where the solver takes over
    int randomLow = 4;   // the number of random opening moves is drawn
    int randomHigh = 44; // uniformly from randomLow..randomHigh
};

Game playGame(std::mt19937_64& rng, const Estimator& estimator, const PlaySettings& settings);

// A chunk of games: the settings they were played with and the games.
struct Chunk {
    uint32_t seed = 0;
    uint32_t playerId = 0;
    PlaySettings settings;
    std::vector<Game> games;
};

// Chunk files are gzip streams. Layout (integers little-endian):
//   "RVG1", u32 seed, u32 player id, u8 depth, u8 exactFrom, u8 randomLow,
//   u8 randomHigh, u32 game count, then per game: u8 random plies, u8 exact
//   ply, u8 move count, that many u8 bit indices (bit = (column-1)*8 + row-1),
//   i8 Black's final score.
// Writing goes through a temporary file and a rename, so a chunk is whole or
// absent. Reading replays every game and refuses a file whose moves are not
// legal or whose score does not match.
bool writeChunk(const std::string& path, const Chunk& chunk);
bool readChunk(const std::string& path, Chunk& chunk, std::string& error);

// A position of a game and what it is worth to the side to move.
struct Sample {
    Bits own, opp;
    int8_t score; // final disc difference for the side to move
    bool exact;   // from the solver's moves: the score is the position's exact value
};

// The positions of a game after its random moves (those were not played
// for their value), each with the side to move.
void samplesOf(const Game& game, std::vector<Sample>& out);

// The chunk files of a folder, sorted (c00000.gz, c00001.gz, ...).
std::vector<std::string> chunkFiles(const std::string& folder);
std::string chunkPath(const std::string& folder, int index);
