// The evaluation's weights as one block of bytes: the one built into the
// program, or one the fitting tool makes and tries.
//
// Layout (integers little-endian):
//   bytes  0..7   "RVEVAL1\0"
//   bytes  8..11  u32 empty cells per stage (1..60)
//   bytes 12..15  u32 stage count, MaxEmpties / width + 1
//   bytes 16..19  u32 weights per stage, WeightsPerStage of features.h
//   bytes 20..23  u32 units per disc, EvalScale
//   bytes 24..31  u64 checksum of the weights (weightsChecksum)
//   bytes 32..    i16 weights, stage by stage, each in features.h's order
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace eval {

constexpr size_t BlobHeaderSize = 32;

uint64_t weightsChecksum(const unsigned char* bytes, size_t size);

// Why `blob` cannot serve as the weights (in Japanese, as evalProblem says
// it), or "" when it can.
const char* blobProblem(const unsigned char* blob, size_t size);

// A blob holding `weights`, stage after stage.
std::vector<unsigned char> makeBlob(int stageWidth, const std::vector<int16_t>& weights);

// The evaluation from now on reads `blob`, which must outlive its use, in
// place of the built-in weights; a blob with a problem leaves the evaluation
// not ready. Returns the problem, "" when accepted. Not for use while
// another thread evaluates.
const char* useWeights(const unsigned char* blob, size_t size);

// The built-in blob.
const unsigned char* builtinBlob();
size_t builtinBlobSize();

} // namespace eval
