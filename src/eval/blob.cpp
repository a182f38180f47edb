// The built-in weights: the assembler copies the file named by
// REVERSE_EVAL_WEIGHTS (src/eval/weights.bin) into the program as it is, so
// several megabytes cost the build nothing, unlike a C++ array of bytes.
#include "eval/weights.h"

#ifndef REVERSE_EVAL_WEIGHTS
#error "REVERSE_EVAL_WEIGHTS names the weights file"
#endif

asm(".section .rodata\n"
    ".balign 64\n"
    "reverseEvalBlob:\n"
    ".incbin \"" REVERSE_EVAL_WEIGHTS "\"\n"
    "reverseEvalBlobEnd:\n"
    ".previous\n");

extern "C" const unsigned char reverseEvalBlob[], reverseEvalBlobEnd[];

namespace eval {

const unsigned char* builtinBlob()
{
    return reverseEvalBlob;
}

size_t builtinBlobSize()
{
    return static_cast<size_t>(reverseEvalBlobEnd - reverseEvalBlob);
}

} // namespace eval
