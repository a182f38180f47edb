// fit-patterns: makes the weights of the solver's pattern estimate.
//
//   fit-patterns solve GAMES SEED LOW HIGH FILE
//                                         play GAMES games on two threads and
//                                         append the positions they pass from
//                                         HIGH to LOW empty cells, solved
//                                         exactly, to FILE
//   fit-patterns fit OUT FILE...         fit the weights to the solved
//                                         positions of the FILEs and write
//                                         them to OUT (pattern-weights.bin)
//
// The games open with random moves, then mix the best move of the levels'
// evaluation one ply deep with random ones, so the positions vary the way
// the solver's own positions do.
//
// Position lines: own and opponent stones as 16 hex digits each (the side to
// move first), then the exact final difference for the side to move,
// empty cells to the winner.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/bits.h"
#include "engine/engine.h"
#include "engine/patterns.h"
#include "engine/shapes.h"
#include "engine/solver.h"

namespace {

struct Sample {
    Bits own, opp;
    int score;
};

int randomBit(Bits moves, std::mt19937_64& rng)
{
    int n = static_cast<int>(rng() % static_cast<unsigned>(stoneCount(moves)));
    for (; n > 0; --n)
        moves &= moves - 1;
    return lowestBit(moves);
}

// The move whose position is worst for the opponent by the levels' evaluation.
int greedyBit(Bits own, Bits opp, Bits moves)
{
    int best = 1 << 30, bestBit = lowestBit(moves);
    for (; moves; moves &= moves - 1) {
        const int bit = lowestBit(moves);
        const Bits flips = flipsOf(bit, own, opp);
        const int v = evaluateBits(opp & ~flips, own | flips | Bits{1} << bit);
        if (v < best) {
            best = v;
            bestBit = bit;
        }
    }
    return bestBit;
}

// Plays one game down to `low` empty cells; the positions from `high` empty
// cells on, each with a side to move, go to `positions`.
void play(int low, int high, std::mt19937_64& rng, std::vector<Sample>& positions)
{
    Bits own = Bits{1} << bitOf(4, 5) | Bits{1} << bitOf(5, 4);
    Bits opp = Bits{1} << bitOf(4, 4) | Bits{1} << bitOf(5, 5);
    const int openingMoves = static_cast<int>(rng() % 16);
    const double randomShare = 0.1 + 0.4 * static_cast<double>(rng() % 1000) / 1000;
    for (int ply = 0;; ++ply) {
        const int empties = 64 - stoneCount(own | opp);
        const Bits moves = legalMoves(own, opp);
        if (moves == 0) {
            if (legalMoves(opp, own) == 0)
                return;
            std::swap(own, opp);
            continue;
        }
        if (empties <= high)
            positions.push_back({own, opp, 0});
        if (empties <= low)
            return;
        const bool random = ply < openingMoves || static_cast<double>(rng() % 1000) / 1000 < randomShare;
        const int bit = random ? randomBit(moves, rng) : greedyBit(own, opp, moves);
        const Bits flips = flipsOf(bit, own, opp);
        const Bits next = opp & ~flips;
        opp = own | flips | Bits{1} << bit;
        own = next;
    }
}

int solveGames(int games, unsigned seed, int low, int high, const char* file)
{
    std::ofstream out(file, std::ios::app);
    if (!out) {
        std::fprintf(stderr, "fit-patterns: cannot write %s\n", file);
        return 1;
    }
    std::mutex lock;
    auto worker = [&](int first) {
        std::mt19937_64 rng(seed * 2 + static_cast<unsigned>(first));
        for (int g = first; g < games; g += 2) {
            std::vector<Sample> positions;
            play(low, high, rng, positions);
            std::string lines;
            for (const Sample& p : positions) {
                const int score = solveWindow(p.own, p.opp, Scoring::EmptiesToWinner, -64, 64);
                char line[64];
                std::snprintf(line, sizeof line, "%016llx %016llx %d\n",
                              static_cast<unsigned long long>(p.own), static_cast<unsigned long long>(p.opp),
                              score);
                lines += line;
            }
            std::lock_guard<std::mutex> guard(lock);
            out << lines;
        }
    };
    std::thread second(worker, 1);
    worker(0);
    second.join();
    return 0;
}

std::vector<Sample> readSamples(int count, char** files)
{
    std::vector<Sample> samples;
    for (int i = 0; i < count; ++i) {
        std::ifstream in(files[i]);
        if (!in)
            std::fprintf(stderr, "fit-patterns: cannot read %s\n", files[i]);
        unsigned long long own, opp;
        int score;
        std::string line;
        while (std::getline(in, line))
            if (std::sscanf(line.c_str(), "%llx %llx %d", &own, &opp, &score) == 3)
                samples.push_back({own, opp, score});
    }
    // The threads append in whatever order they finish: sorted, the same
    // files always give the same weights.
    std::sort(samples.begin(), samples.end(), [](const Sample& a, const Sample& b) {
        return a.own != b.own ? a.own < b.own : a.opp < b.opp;
    });
    return samples;
}

// Stochastic gradient descent on the squared error, the last tenth held out
// to show how well the weights carry over to positions they were not fitted on.
int fit(const char* outFile, int count, char** files)
{
    std::vector<Sample> samples = readSamples(count, files);
    if (samples.size() < 10) {
        std::fprintf(stderr, "fit-patterns: too few solved positions to fit (%zu)\n", samples.size());
        return 1;
    }
    std::mt19937_64 rng(1);
    std::shuffle(samples.begin(), samples.end(), rng);
    // Each position in all eight orientations, so that every reading of a
    // shape learns from every place the shape occurs.
    std::vector<Sample> turned;
    for (const Sample& s : samples) {
        const auto owns = orientations(s.own), opps = orientations(s.opp);
        for (int k = 0; k < Orientations; ++k)
            turned.push_back({owns[k], opps[k], s.score});
    }
    samples.swap(turned);
    const size_t n = samples.size(), trained = n - n / 10 / Orientations * Orientations;
    std::vector<int> indices(n * PatternFeatures);
    for (size_t i = 0; i < n; ++i)
        patternIndices(samples[i].own, samples[i].opp, &indices[i * PatternFeatures]);
    std::vector<float> w(ShapeWeights, 0.0f);
    auto predict = [&](size_t i) {
        float p = 0;
        for (int f = 0; f < PatternFeatures; ++f)
            p += w[indices[i * PatternFeatures + f]];
        return p;
    };
    auto rms = [&](size_t from, size_t to) {
        double sum = 0;
        for (size_t i = from; i < to; ++i)
            sum += std::pow(samples[i].score - predict(i), 2);
        return std::sqrt(sum / static_cast<double>(to - from));
    };
    std::vector<size_t> order(trained);
    for (size_t i = 0; i < trained; ++i)
        order[i] = i;
    constexpr int Epochs = 20;
    for (int epoch = 0; epoch < Epochs; ++epoch) {
        const float rate = 0.002f * (1.0f - 0.9f * static_cast<float>(epoch) / Epochs);
        std::shuffle(order.begin(), order.end(), rng);
        for (size_t i : order) {
            const float step = rate * (static_cast<float>(samples[i].score) - predict(i));
            for (int f = 0; f < PatternFeatures; ++f) {
                float& x = w[indices[i * PatternFeatures + f]];
                x += step - rate * 0.001f * x;
            }
        }
        if (epoch % 5 == 4 || epoch == Epochs - 1)
            std::printf("epoch %2d: rms error %.2f fitted, %.2f held out (%zu positions)\n", epoch + 1,
                        rms(0, trained), rms(trained, n), n / Orientations);
    }
    std::vector<int16_t> out(ShapeWeights);
    for (int i = 0; i < ShapeWeights; ++i)
        out[i] = static_cast<int16_t>(std::clamp(std::lround(w[i] * PatternScale), -32767L, 32767L));
    std::ofstream file(outFile, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size() * 2));
    if (!file.flush()) {
        std::fprintf(stderr, "fit-patterns: cannot write %s\n", outFile);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 7 && std::strcmp(argv[1], "solve") == 0)
        return solveGames(std::atoi(argv[2]), static_cast<unsigned>(std::atoi(argv[3])), std::atoi(argv[4]),
                          std::atoi(argv[5]), argv[6]);
    if (argc >= 4 && std::strcmp(argv[1], "fit") == 0)
        return fit(argv[2], argc - 3, argv + 3);
    std::fprintf(stderr, "usage: fit-patterns solve GAMES SEED LOW HIGH FILE | fit OUT FILE...\n");
    return 2;
}
