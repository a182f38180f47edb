#include "ai/random.h"

#include <atomic>
#include <ctime>

namespace {
thread_local uint32_t seed = 1;

long long realClock()
{
    return static_cast<long long>(std::time(nullptr));
}

std::atomic<ClockFunction> clockFunction{realClock};
} // namespace

void seedRandom(uint32_t x)
{
    seed = x;
}

int drawRandom()
{
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 16) & 0x7FFF);
}

void setClock(ClockFunction clock)
{
    clockFunction = clock ? clock : realClock;
}

long long currentSeconds()
{
    return clockFunction.load()();
}
