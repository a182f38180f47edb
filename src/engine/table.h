// The endgame solver's transposition table: proven bounds on the exact value
// of positions, one table per thread that solves.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/bits.h"

// Proven bounds on the exact value of one position under one scoring. Every
// entry stays true forever; only the room is reused.
struct alignas(32) TableEntry { // two to a bucket: one cache line
    Bits own, opp;
    signed char lower, upper;
    signed char move;   // best or refuting move, -1 when unknown
    unsigned char cost; // log2 of the nodes the bounds took: dearer entries stay
    unsigned char tag;  // 1 + the scoring (3 + it: a narrowed search's); 0 marks an unused entry
    unsigned char date; // the solve that last wrote it
};

// Buckets of two neighbouring entries. Zeroed pages come from the system on
// first touch, so a short search on a fresh thread pays only for what it
// uses; huge pages, where the system grants them, spare the random accesses
// most of their address-translation misses. Where memory is short the table
// is smaller, never absent.
class SolverTable {
  public:
    SolverTable() = default;
    SolverTable(const SolverTable&) = delete;
    SolverTable& operator=(const SolverTable&) = delete;
    ~SolverTable() { release(); }

    // The calling thread's table, allocated on first use.
    static SolverTable& ofThisThread();
    // Frees the calling thread's table; the next solve starts cold.
    static void releaseThisThread();

    // A new solve: entries of older ones give way first.
    void startSolve() { ++date_; }

    const TableEntry* find(Bits own, Bits opp, unsigned char tag) const
    {
        const TableEntry* e = bucketOf(own, opp);
        if (e[0].own == own && e[0].opp == opp && e[0].tag == tag)
            return &e[0];
        if (e[1].own == own && e[1].opp == opp && e[1].tag == tag)
            return &e[1];
        return nullptr;
    }

    // Starts loading the bucket of a position about to be looked up.
    void prefetch(Bits own, Bits opp) const { __builtin_prefetch(bucketOf(own, opp)); }

    // Adds bounds, keeping the tighter of old and new when the position is
    // already held.
    void store(Bits own, Bits opp, unsigned char tag, int lower, int upper, int move, uint64_t nodes);

  private:
    TableEntry* entries_ = nullptr;
    std::size_t bytes_ = 0;
    int shift_ = 64; // 64 - log2 of the entry count
    unsigned char date_ = 0;

    void allocate();
    void release();

    TableEntry* bucketOf(Bits own, Bits opp) const
    {
        const Bits h = own * 0x9E3779B97F4A7C15ull + opp * 0xC2B2AE3D27D4EB4Full;
        return &entries_[((h ^ (h >> 29)) >> shift_) & ~Bits{1}];
    }
};
