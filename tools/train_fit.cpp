// The fit of reverse-train: least squares per stage, by conjugate gradients.
//
// Every position of a stage gives one equation: the sum of the weights its
// features read equals its final result. Arrangements that mirror each
// other share one unknown (features.h's mirrorIndex), so the weights come
// out the same in all eight orientations of the board, and a ridge term
// keeps the weights of rare arrangements near zero.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "engine/patterns.h"
#include "eval/eval.h"
#include "eval/features.h"
#include "train_fit.h"

namespace {

// The positions of one stage as rows of feature indices into that stage's
// unknowns (the arrangements that occur there, mirrors merged).
struct StageProblem {
    std::vector<int> rows;     // Features per position
    std::vector<float> target; // per position
    std::vector<int> weightOf; // unknown -> weight index (the lower of a mirror pair)
};

// The positions with `low` to `high` empty cells; with a prior (weights in
// discs for every index) what is left of each result after it.
StageProblem problemOf(const std::vector<Sample>& samples, int low, int high,
                       const std::vector<double>* prior)
{
    static const std::vector<int> canonical = [] {
        std::vector<int> c(eval::WeightsPerStage);
        for (int i = 0; i < eval::WeightsPerStage; ++i)
            c[i] = std::min(i, eval::mirrorIndex(i));
        return c;
    }();
    StageProblem p;
    std::vector<int> unknownOf(eval::WeightsPerStage, -1);
    int features[eval::Features];
    for (const Sample& s : samples) {
        const int empties = 64 - stoneCount(s.own | s.opp);
        if (empties < low || empties > high)
            continue;
        eval::featureIndices(s.own, s.opp, features);
        double target = s.score;
        for (int f : features) {
            if (prior)
                target -= (*prior)[f];
            int& u = unknownOf[canonical[f]];
            if (u < 0) {
                u = static_cast<int>(p.weightOf.size());
                p.weightOf.push_back(canonical[f]);
            }
            p.rows.push_back(u);
        }
        p.target.push_back(static_cast<float>(target));
    }
    return p;
}

// Solves (X'X + lambda I) w = X'y by conjugate gradients from w = 0, with
// each unknown scaled by its diagonal (how often its arrangement occurs):
// rare and common arrangements then converge together.
std::vector<double> solve(const StageProblem& p, double lambda, int iterations)
{
    const size_t n = p.weightOf.size(), m = p.target.size();
    std::vector<double> w(n, 0.0), r(n, 0.0), diagonal(n, lambda), z(n), d(n), q(n), xd(m);
    for (size_t i = 0; i < m; ++i)
        for (int f = 0; f < eval::Features; ++f) {
            const int u = p.rows[i * eval::Features + f];
            r[u] += p.target[i];
            diagonal[u] += 1;
        }
    for (size_t j = 0; j < n; ++j)
        d[j] = z[j] = r[j] / diagonal[j];
    auto dot = [](const std::vector<double>& a, const std::vector<double>& b) {
        double s = 0;
        for (size_t i = 0; i < a.size(); ++i)
            s += a[i] * b[i];
        return s;
    };
    double rz = dot(r, z);
    for (int it = 0; it < iterations && rz > 1e-12; ++it) {
        for (size_t i = 0; i < m; ++i) {
            double s = 0;
            for (int f = 0; f < eval::Features; ++f)
                s += d[p.rows[i * eval::Features + f]];
            xd[i] = s;
        }
        for (size_t j = 0; j < n; ++j)
            q[j] = lambda * d[j];
        for (size_t i = 0; i < m; ++i)
            for (int f = 0; f < eval::Features; ++f)
                q[p.rows[i * eval::Features + f]] += xd[i];
        const double alpha = rz / dot(d, q);
        for (size_t j = 0; j < n; ++j) {
            w[j] += alpha * d[j];
            r[j] -= alpha * q[j];
            z[j] = r[j] / diagonal[j];
        }
        const double next = dot(r, z);
        for (size_t j = 0; j < n; ++j)
            d[j] = z[j] + next / rz * d[j];
        rz = next;
    }
    return w;
}

} // namespace

namespace {

std::string stageFile(const FitSettings& s, int stage)
{
    char name[32];
    std::snprintf(name, sizeof name, "/stage-%02d.bin", stage);
    return s.cacheFolder + name;
}

// A stage kept by an earlier run of the same fit, into `out`.
bool loadStage(const FitSettings& s, int stage, int16_t* out)
{
    std::ifstream in(stageFile(s, stage), std::ios::binary);
    uint64_t key = 0;
    in.read(reinterpret_cast<char*>(&key), sizeof key);
    in.read(reinterpret_cast<char*>(out), eval::WeightsPerStage * sizeof *out);
    return in && key == s.key;
}

void keepStage(const FitSettings& s, int stage, const int16_t* weights)
{
    const std::string path = stageFile(s, stage), temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(&s.key), sizeof s.key);
        out.write(reinterpret_cast<const char*>(weights), eval::WeightsPerStage * sizeof *weights);
        if (!out.flush())
            return;
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
}

// One set of weights for every stage, in discs, for the stages to start from.
std::vector<double> pooledWeights(const std::vector<Sample>& samples, const FitSettings& s)
{
    const StageProblem p = problemOf(samples, 0, eval::MaxEmpties, nullptr);
    const std::vector<double> w = solve(p, s.lambda, s.iterations);
    std::vector<double> all(eval::WeightsPerStage, 0.0);
    for (size_t j = 0; j < w.size(); ++j)
        all[p.weightOf[j]] = w[j];
    for (int i = 0; i < eval::WeightsPerStage; ++i)
        all[i] = all[std::min(i, eval::mirrorIndex(i))];
    std::printf("all stages together: %zu positions, %zu weights\n", p.target.size(), w.size());
    return all;
}

void fitStage(const std::vector<Sample>& samples, const FitSettings& s, const std::vector<double>* prior,
              int stage, int16_t* out)
{
    const int low = stage * s.stageWidth, high = low + s.stageWidth - 1;
    const StageProblem p = problemOf(samples, low - s.margin, high + s.margin, prior);
    const std::vector<double> w = solve(p, s.stageLambda, s.iterations);
    std::vector<double> all = prior ? *prior : std::vector<double>(eval::WeightsPerStage, 0.0);
    for (size_t j = 0; j < w.size(); ++j)
        all[p.weightOf[j]] += w[j];
    for (int i = 0; i < eval::WeightsPerStage; ++i)
        out[i] = static_cast<int16_t>(
            std::clamp(std::lround(all[std::min(i, eval::mirrorIndex(i))] * EvalScale), -32767L, 32767L));
    std::printf("stage %2d (%2d-%2d empty cells): %zu positions, %zu weights\n", stage, low, high,
                p.target.size(), w.size());
    std::fflush(stdout);
}

} // namespace

std::vector<int16_t> fitWeights(const std::vector<Sample>& samples, const FitSettings& s)
{
    const int stages = eval::stageCount(s.stageWidth);
    std::vector<int16_t> weights(static_cast<size_t>(stages) * eval::WeightsPerStage, 0);
    if (!s.cacheFolder.empty())
        std::filesystem::create_directories(s.cacheFolder);
    std::vector<double> prior;
    if (s.pooled)
        prior = pooledWeights(samples, s);
    std::atomic<int> next{0};
    auto worker = [&] {
        for (int stage; (stage = next++) < stages;) {
            int16_t* out = weights.data() + static_cast<size_t>(stage) * eval::WeightsPerStage;
            if (!s.cacheFolder.empty() && loadStage(s, stage, out))
                continue;
            fitStage(samples, s, s.pooled ? &prior : nullptr, stage, out);
            if (!s.cacheFolder.empty())
                keepStage(s, stage, out);
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < s.threads; ++t)
        pool.emplace_back(worker);
    worker();
    for (auto& t : pool)
        t.join();
    return weights;
}

void printAccuracy(const std::vector<Sample>& samples)
{
    // Absolute errors per number of empty cells: of the evaluation, of the
    // solver's pattern estimate and of a guess of a draw.
    struct Errors {
        double evaluation = 0, pattern = 0, draw = 0;
        int count = 0;
        void add(const Errors& e)
        {
            evaluation += e.evaluation;
            pattern += e.pattern;
            draw += e.draw;
            count += e.count;
        }
    };
    Errors exact, byEmpties[61];
    for (const Sample& s : samples) {
        const int empties = 64 - stoneCount(s.own | s.opp);
        Errors e;
        e.evaluation = std::abs(evalEstimate(s.own, s.opp) / double(EvalScale) - s.score);
        e.pattern = std::abs(patternValue(s.own, s.opp) / double(PatternScale) - s.score);
        e.draw = std::abs(s.score);
        e.count = 1;
        if (s.exact && empties >= 20 && empties <= 24)
            exact.add(e);
        byEmpties[empties].add(e);
    }
    const double n = exact.count ? exact.count : 1;
    std::printf("exact values, 20-24 empty cells, %d positions: mean absolute error %.2f discs "
                "(solver's pattern estimate %.2f, a draw %.2f)\n",
                exact.count, exact.evaluation / n, exact.pattern / n, exact.draw / n);
    std::printf("| empty cells | positions | evaluation | solver's pattern estimate | a draw "
                "|\n|---|---|---|---|---|\n");
    for (int low = 10; low < 50; low += 5) {
        const int high = low == 45 ? 50 : low + 4;
        Errors sum;
        for (int e = low; e <= high; ++e)
            sum.add(byEmpties[e]);
        const double m = sum.count ? sum.count : 1;
        std::printf("| %d-%d | %d | %.2f | %.2f | %.2f |\n", low, high, sum.count, sum.evaluation / m,
                    sum.pattern / m, sum.draw / m);
    }
}
