#include "eval/weights.h"

#include <cstring>

#include "eval/eval.h"
#include "eval/features.h"

namespace eval {

namespace {

constexpr char Magic[8] = {'R', 'V', 'E', 'V', 'A', 'L', '1', '\0'};

uint32_t u32At(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint64_t u64At(const unsigned char* p)
{
    return static_cast<uint64_t>(u32At(p)) | static_cast<uint64_t>(u32At(p + 4)) << 32;
}

void put32(std::vector<unsigned char>& out, size_t at, uint64_t v, int bytes = 4)
{
    for (int i = 0; i < bytes; ++i)
        out[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

} // namespace

// FNV-1a over 64-bit words (then the odd bytes): a few milliseconds for the
// whole blob, and any changed byte changes it.
uint64_t weightsChecksum(const unsigned char* bytes, size_t size)
{
    uint64_t h = 0xCBF29CE484222325ull;
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t w;
        std::memcpy(&w, bytes + i, 8);
        h = (h ^ w) * 0x100000001B3ull;
        h ^= h >> 29;
    }
    for (; i < size; ++i)
        h = (h ^ bytes[i]) * 0x100000001B3ull;
    return h;
}

const char* blobProblem(const unsigned char* blob, size_t size)
{
    if (blob == nullptr || size == 0)
        return "評価関数の重みがありません";
    if (size < BlobHeaderSize || std::memcmp(blob, Magic, sizeof Magic) != 0)
        return "評価関数の重みの形式が違います";
    const uint32_t width = u32At(blob + 8), stages = u32At(blob + 12);
    if (width < 1 || width > MaxEmpties ||
        stages != static_cast<uint32_t>(stageCount(static_cast<int>(width))) ||
        u32At(blob + 16) != WeightsPerStage || u32At(blob + 20) != EvalScale)
        return "評価関数の重みの形式が違います";
    if (size != BlobHeaderSize + static_cast<size_t>(stages) * WeightsPerStage * sizeof(int16_t))
        return "評価関数の重みの大きさが合いません";
    if (weightsChecksum(blob + BlobHeaderSize, size - BlobHeaderSize) != u64At(blob + 24))
        return "評価関数の重みが壊れています（検査値が一致しません）";
    return "";
}

std::vector<unsigned char> makeBlob(int stageWidth, const std::vector<int16_t>& weights)
{
    std::vector<unsigned char> blob(BlobHeaderSize + weights.size() * sizeof(int16_t));
    std::memcpy(blob.data(), Magic, sizeof Magic);
    put32(blob, 8, static_cast<uint32_t>(stageWidth));
    put32(blob, 12, static_cast<uint32_t>(stageCount(stageWidth)));
    put32(blob, 16, WeightsPerStage);
    put32(blob, 20, EvalScale);
    for (size_t i = 0; i < weights.size(); ++i)
        put32(blob, BlobHeaderSize + 2 * i, static_cast<uint16_t>(weights[i]), 2);
    put32(blob, 24, weightsChecksum(blob.data() + BlobHeaderSize, blob.size() - BlobHeaderSize), 8);
    return blob;
}

} // namespace eval
