// libFuzzer target: any bytes as a game record text. Reading must never
// crash, and a text that reads must write and read back as the same game.
// The checks are those of the records test, so an input found here is
// replayed there once it is copied into records/regressions/.
#include <cstdio>
#include <cstdlib>

#include "records_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string problem = checkRecordRoundTrip(data, size);
    if (!problem.empty()) {
        std::fprintf(stderr, "fuzz-records: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
