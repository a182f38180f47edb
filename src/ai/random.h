// The computer's chance: the classic C library generator, one state per
// thread, seeded from an injectable clock so tests can fix the second.
#pragma once

#include <cstdint>

// srand: the calling thread's seed becomes x.
void seedRandom(uint32_t x);
// rand: seed = seed * 1103515245 + 12345 (mod 2^32); returns (seed >> 16) & 0x7FFF.
int drawRandom();

using ClockFunction = long long (*)();
// Replaces the calendar clock for every thread; nullptr restores the real one.
void setClock(ClockFunction clock);
// The current calendar time in whole seconds, through the injected clock.
long long currentSeconds();
