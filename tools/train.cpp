// reverse-train: the games, the fit and the accuracy of the evaluation in
// src/eval. See the README's evaluation section for the whole procedure
// (scripts/train-eval runs it).
//
//   reverse-train play FOLDER --seed S --chunks FIRST LAST [--games G]
//                 [--weights FILE] [--depth D] [--exact E] [--random LOW HIGH]
//                 [--threads T]
//       plays the chunks FIRST..LAST-1 that FOLDER lacks, G games each
//       (default 100), chunk k from seed S + k, and writes each as FOLDER/ckkkkk.gz
//       as soon as it is complete. The moves between the random opening
//       and the solver come from a D-ply search (default 6) of the weights
//       in FILE, or of the solver's own estimate without it; the solver plays
//       from E empty cells (default 22).
//
//   reverse-train fit OUT FOLDER... [--stage-width W] [--margin M] [--lambda L]
//                 [--stage-lambda L] [--iterations N] [--pooled] [--validate K]
//                 [--cache DIR] [--threads T]
//       fits weights to the games of the FOLDERs and writes them to OUT (see
//       src/eval/weights.h). With --validate K every K-th chunk is left out
//       of the fit and the accuracy on its games is shown. With --cache DIR
//       each finished stage is kept in DIR, so a stopped fit goes on where
//       it was.
//       --pooled fits all stages together first and each stage then from there;
//       --stage-lambda sets the ridge term of the stages' own weights (default
//       the same as --lambda).
//
//   reverse-train accuracy WEIGHTS FOLDER...
//       the mean absolute error of the weights in WEIGHTS on the games of the
//       FOLDERs: against the exact values at 20 to 24 empty cells, and by
//       stage against the games' results. With --search SECONDS [N], also
//       the midgame search over those weights, every move valued within
//       SECONDS on two threads with the hint's limits, on N (default 100) of the
//       positions at 20 to 24 empty cells: the error of its best value
//       against the exact value, and how often its best move is an exact best.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "analysis/analysis.h"
#include "engine/midgame.h"
#include "engine/patterns.h"
#include "engine/solver.h"
#include "eval/eval.h"
#include "eval/features.h"
#include "eval/weights.h"
#include "train.h"
#include "train_fit.h"

namespace {

[[noreturn]] void usage(const char* message)
{
    std::fprintf(stderr, "reverse-train: %s\n", message);
    std::fprintf(
        stderr,
        "usage: reverse-train play FOLDER --seed S --chunks FIRST LAST [--games G] [--weights FILE]\n"
        "                     [--depth D] [--exact E] [--random LOW HIGH] [--threads T]\n"
        "       reverse-train fit OUT FOLDER... [--stage-width W] [--margin M] [--lambda L]\n"
        "                     [--stage-lambda L] [--iterations N] [--pooled] [--validate K] [--cache DIR]\n"
        "                     [--threads T]\n"
        "       reverse-train accuracy WEIGHTS FOLDER... [--search SECONDS [N]]\n");
    std::exit(2);
}

// Options as `--name value...`, after the positional arguments.
struct Arguments {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::vector<std::string>>> named;

    Arguments(int argc, char** argv, int from)
    {
        for (int i = from; i < argc; ++i) {
            if (std::strncmp(argv[i], "--", 2) != 0) {
                if (!named.empty())
                    named.back().second.push_back(argv[i]);
                else
                    positional.push_back(argv[i]);
            } else {
                named.push_back({argv[i] + 2, {}});
            }
        }
    }
    const std::vector<std::string>* find(const char* name) const
    {
        for (const auto& [n, values] : named)
            if (n == name)
                return &values;
        return nullptr;
    }
    int number(const char* name, int fallback, size_t at = 0) const
    {
        const auto* v = find(name);
        if (!v)
            return fallback;
        if (v->size() <= at)
            usage((std::string("--") + name + " needs a number").c_str());
        return std::atoi((*v)[at].c_str());
    }
    std::string text(const char* name) const
    {
        const auto* v = find(name);
        return v && !v->empty() ? v->front() : std::string();
    }
};

double threadSeconds()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The estimator the games are played with: the weights in `file`, or the
// solver's own pattern estimate when there is none.
Estimator estimatorOf(const std::string& file)
{
    if (file.empty())
        return {patternValue, PatternScale, 0};
    static std::vector<unsigned char> blob;
    std::ifstream in(file, std::ios::binary);
    blob.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (const char* problem = eval::useWeights(blob.data(), blob.size()); *problem) {
        std::fprintf(stderr, "reverse-train: %s: %s\n", file.c_str(), problem);
        std::exit(1);
    }
    const uint64_t sum = eval::weightsChecksum(blob.data(), blob.size());
    return {evalEstimate, EvalScale, static_cast<uint32_t>(sum ^ sum >> 32)};
}

// The positions of every game in the FOLDERs' chunks; with `every` > 0 only
// the chunks whose number modulo `every` is (or with `others`, is not) every - 1.
std::vector<Sample> samplesIn(const std::vector<std::string>& folders, int every = 0, bool others = false)
{
    std::vector<Sample> samples;
    for (const std::string& folder : folders)
        for (const std::string& file : chunkFiles(folder)) {
            const int index = std::atoi(file.c_str() + file.size() - 8);
            if (every > 0 && (index % every == every - 1) != others)
                continue;
            Chunk chunk;
            std::string error;
            if (!readChunk(file, chunk, error)) {
                std::fprintf(stderr, "reverse-train: %s: %s\n", file.c_str(), error.c_str());
                std::exit(1);
            }
            for (const Game& g : chunk.games)
                samplesOf(g, samples);
        }
    return samples;
}

uint64_t keyOf(const std::vector<Sample>& samples, const FitSettings& s)
{
    uint64_t h = 0xCBF29CE484222325ull;
    for (const Sample& x : samples)
        for (uint64_t v : {x.own, x.opp, static_cast<uint64_t>(x.score * 2 + x.exact)})
            h = (h ^ v) * 0x100000001B3ull;
    for (double v : {double(s.stageWidth), double(s.margin), s.lambda, s.stageLambda, double(s.iterations),
                     double(s.pooled)})
        h = (h ^ static_cast<uint64_t>(v * 1000)) * 0x100000001B3ull;
    return h;
}

int fit(const Arguments& a)
{
    if (a.positional.size() < 2)
        usage("fit needs OUT and at least one FOLDER");
    const std::string out = a.positional[0];
    const std::vector<std::string> folders(a.positional.begin() + 1, a.positional.end());
    FitSettings s;
    s.stageWidth = a.number("stage-width", s.stageWidth);
    s.margin = a.number("margin", s.margin);
    s.lambda = a.find("lambda") ? std::atof(a.text("lambda").c_str()) : s.lambda;
    s.stageLambda = a.find("stage-lambda") ? std::atof(a.text("stage-lambda").c_str()) : s.lambda;
    s.iterations = a.number("iterations", s.iterations);
    s.threads = a.number("threads", s.threads);
    s.pooled = a.find("pooled") != nullptr;
    const int validate = a.number("validate", 0);
    if (s.stageWidth < 1 || s.stageWidth > eval::MaxEmpties || s.margin < 0 || s.lambda < 0)
        usage("bad fit settings");
    const auto start = std::chrono::steady_clock::now();
    const std::vector<Sample> samples = samplesIn(folders, validate, false);
    std::printf("%zu positions read in %.0f s\n", samples.size(), secondsSince(start));
    s.cacheFolder = a.text("cache");
    s.key = keyOf(samples, s);
    const std::vector<unsigned char> blob = eval::makeBlob(s.stageWidth, fitWeights(samples, s));
    std::ofstream file(out, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(blob.data()), static_cast<std::streamsize>(blob.size()));
    if (!file.flush()) {
        std::fprintf(stderr, "reverse-train: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("%s written; the fit took %.0f s\n", out.c_str(), secondsSince(start));
    eval::useWeights(blob.data(), blob.size());
    std::printf("fitted positions:\n");
    printAccuracy(samples);
    if (validate > 0) {
        std::printf("left-out chunks:\n");
        printAccuracy(samplesIn(folders, validate, true));
    }
    return 0;
}

// Whether playing `bit` from a position worth `value` exactly keeps that value.
bool keepsValue(const Sample& p, int bit, int value)
{
    const Bits flips = flipsOf(bit, p.own, p.opp);
    const Bits own = p.opp & ~flips, opp = p.own | flips | Bits{1} << bit;
    return solveWindow(own, opp, Scoring::EmptiesToWinner, -value - 1, -value + 1) == -value;
}

// The hint's search against the exact values: `count` of the exact positions
// at 20 to 24 empty cells, as many at each count of empty cells and spread
// over the games (a game's positions there come five in a row, so a plain
// stride would meet one count of empty cells only).
void printSearchAccuracy(const std::vector<Sample>& samples, double seconds, int count)
{
    constexpr int Low = 20, High = 24, Counts = High - Low + 1;
    std::vector<const Sample*> byEmpties[Counts];
    for (const Sample& x : samples) {
        const int empties = 64 - stoneCount(x.own | x.opp);
        if (x.exact && empties >= Low && empties <= High && legalMoves(x.own, x.opp))
            byEmpties[empties - Low].push_back(&x);
    }
    struct Tally {
        double error = 0, worst = 0, depth = 0;
        int n = 0, bestFound = 0, exact = 0;
    } all, each[Counts];
    const auto start = std::chrono::steady_clock::now();
    for (int e = 0; e < Counts; ++e) {
        const std::vector<const Sample*>& chosen = byEmpties[e];
        const int wanted =
            std::min<int>(count / Counts + (e < count % Counts), static_cast<int>(chosen.size()));
        for (int i = 0; i < wanted; ++i) {
            const Sample& x = *chosen[i * chosen.size() / wanted];
            const MidgameValues v = midgameValues(x.own, x.opp, estimateLimits(seconds));
            const MoveValue& best =
                *std::max_element(v.moves.begin(), v.moves.end(),
                                  [](const MoveValue& l, const MoveValue& r) { return l.value < r.value; });
            const double error = std::abs(best.value / double(DiscUnits) - x.score);
            for (Tally* t : {&all, &each[e]}) {
                t->error += error;
                t->worst = std::max(t->worst, error);
                t->depth += best.depth;
                t->exact += best.exact;
                t->bestFound += keepsValue(x, best.bit, x.score);
                ++t->n;
            }
        }
    }
    auto print = [](const char* what, const Tally& t) {
        const double n = std::max(t.n, 1);
        std::printf("%s: %d positions, mean absolute error %.2f discs (worst %.1f), best move an exact best "
                    "in %.0f%%, solved %d, mean depth %.1f\n",
                    what, t.n, t.error / n, t.worst, 100.0 * t.bestFound / n, t.exact, t.depth / n);
    };
    std::printf("the search, every move within %.2f s, at 20-24 empty cells (%.0f s):\n", seconds,
                secondsSince(start));
    for (int e = 0; e < Counts; ++e)
        print(("  " + std::to_string(Low + e) + " empty cells").c_str(), each[e]);
    print("  all", all);
}

int accuracy(const Arguments& a)
{
    if (a.positional.size() < 2)
        usage("accuracy needs WEIGHTS and at least one FOLDER");
    estimatorOf(a.positional[0]);
    const std::vector<Sample> samples = samplesIn({a.positional.begin() + 1, a.positional.end()});
    printAccuracy(samples);
    if (const auto* search = a.find("search")) {
        if (search->empty())
            usage("--search needs SECONDS");
        printSearchAccuracy(samples, std::atof(search->front().c_str()),
                            search->size() > 1 ? std::atoi((*search)[1].c_str()) : 100);
    }
    return 0;
}

// Games added to a folder should be played as the ones there were: say so
// when they were not (other weights, or other settings).
void warnOfOtherPlayers(const std::string& folder, uint32_t playerId, const PlaySettings& s)
{
    int others = 0;
    const std::vector<std::string> files = chunkFiles(folder);
    for (const std::string& file : files) {
        Chunk chunk;
        std::string error;
        if (!readChunk(file, chunk, error)) {
            std::fprintf(stderr, "reverse-train: %s: %s\n", file.c_str(), error.c_str());
            continue;
        }
        const PlaySettings& c = chunk.settings;
        if (chunk.playerId != playerId || c.depth != s.depth || c.exactFrom != s.exactFrom ||
            c.randomLow != s.randomLow || c.randomHigh != s.randomHigh)
            ++others;
    }
    if (others > 0)
        std::fprintf(stderr,
                     "reverse-train: %d of the %zu chunks in %s were played by other weights or settings\n",
                     others, files.size(), folder.c_str());
}

int playChunks(const Arguments& a)
{
    if (a.positional.size() != 1 || !a.find("seed") || !a.find("chunks"))
        usage("play needs FOLDER, --seed and --chunks");
    const std::string folder = a.positional[0];
    const uint32_t seed = static_cast<uint32_t>(a.number("seed", 0));
    const int first = a.number("chunks", 0, 0), last = a.number("chunks", 0, 1);
    const int games = a.number("games", 100), threads = a.number("threads", 1);
    PlaySettings settings;
    settings.depth = a.number("depth", settings.depth);
    settings.exactFrom = a.number("exact", settings.exactFrom);
    settings.randomLow = a.number("random", settings.randomLow, 0);
    settings.randomHigh = a.number("random", settings.randomHigh, 1);
    if (settings.randomLow < 0 || settings.randomHigh < settings.randomLow || settings.depth < 1)
        usage("bad --random or --depth");
    const Estimator estimator = estimatorOf(a.text("weights"));
    std::filesystem::create_directories(folder);
    warnOfOtherPlayers(folder, estimator.id, settings);

    std::atomic<int> next{first};
    std::mutex printing;
    const auto start = std::chrono::steady_clock::now();
    auto worker = [&] {
        for (int k; (k = next++) < last;) {
            const std::string path = chunkPath(folder, k);
            if (std::filesystem::exists(path))
                continue;
            const auto chunkStart = std::chrono::steady_clock::now();
            const double cpuStart = threadSeconds();
            Chunk chunk;
            chunk.seed = seed + static_cast<uint32_t>(k);
            chunk.playerId = estimator.id;
            chunk.settings = settings;
            std::mt19937_64 rng(chunk.seed);
            for (int g = 0; g < games; ++g)
                chunk.games.push_back(playGame(rng, estimator, settings));
            const bool ok = writeChunk(path, chunk);
            std::lock_guard<std::mutex> guard(printing);
            if (!ok)
                std::fprintf(stderr, "reverse-train: cannot write %s\n", path.c_str());
            else
                std::printf("%s: %d games in %.0f s, %.0f s of processor time (%.0f s since the start)\n",
                            path.c_str(), games, secondsSince(chunkStart), threadSeconds() - cpuStart,
                            secondsSince(start));
            std::fflush(stdout);
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(worker);
    worker();
    for (auto& t : pool)
        t.join();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        usage("no command");
    const Arguments a(argc, argv, 2);
    if (std::strcmp(argv[1], "play") == 0)
        return playChunks(a);
    if (std::strcmp(argv[1], "fit") == 0)
        return fit(a);
    if (std::strcmp(argv[1], "accuracy") == 0)
        return accuracy(a);
    usage("unknown command");
}
