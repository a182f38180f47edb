#include "eval/eval.h"

#include <cstring>

#include "eval/features.h"
#include "eval/weights.h"

namespace {

static_assert(std::endian::native == std::endian::little, "the weights are stored little-endian");

// The weights in use: each number of empty cells points at its stage.
struct Installed {
    const unsigned char* byEmpties[eval::MaxEmpties + 1] = {};
    const char* problem = "";
};

void install(Installed& w, const unsigned char* blob, size_t size)
{
    w.problem = eval::blobProblem(blob, size);
    if (*w.problem)
        return;
    uint32_t width;
    std::memcpy(&width, blob + 8, sizeof width);
    const unsigned char* weights = blob + eval::BlobHeaderSize;
    for (int empties = 0; empties <= eval::MaxEmpties; ++empties)
        w.byEmpties[empties] = weights + static_cast<size_t>(empties / static_cast<int>(width)) *
                                             eval::WeightsPerStage * sizeof(int16_t);
}

// Checked on first use (a thread-safe static): a few milliseconds, once.
Installed& installed()
{
    static Installed w = [] {
        Installed first;
        install(first, eval::builtinBlob(), eval::builtinBlobSize());
        return first;
    }();
    return w;
}

// One weight, read in place (the copy compiles to a single load).
inline int weightAt(const unsigned char* stage, int index)
{
    int16_t v;
    std::memcpy(&v, stage + index * sizeof v, sizeof v);
    return v;
}

} // namespace

bool evalReady()
{
    return *installed().problem == '\0';
}

const char* evalProblem()
{
    return installed().problem;
}

int evalEstimate(Bits own, Bits opp)
{
    const Installed& w = installed();
    if (*w.problem)
        return 0;
    const int empties = 64 - stoneCount(own | opp);
    const unsigned char* stage = w.byEmpties[empties < eval::MaxEmpties ? empties : eval::MaxEmpties];
    int v = 0;
    readShapes<eval::placesOf>(own, opp, [&](int index) { v += weightAt(stage, index); });
    v += weightAt(stage, eval::mobilityIndex(eval::OwnMobilityOffset, legalMoves(own, opp)));
    v += weightAt(stage, eval::mobilityIndex(eval::OppMobilityOffset, legalMoves(opp, own)));
    constexpr int Limit = 64 * EvalScale;
    return v < -Limit ? -Limit : v > Limit ? Limit : v;
}

namespace eval {

const char* useWeights(const unsigned char* blob, size_t size)
{
    Installed& w = installed();
    w = Installed{};
    install(w, blob, size);
    return w.problem;
}

} // namespace eval
