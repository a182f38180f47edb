// The midgame search's table: bounds on the value of positions searched to a
// given depth, shared by every thread that searches. Entries are written
// without locks; each one is two words, the second the first's check, so a
// torn read shows up as a different position and is ignored.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "engine/bits.h"

struct MidEntry {
    int lower, upper; // bounds on the value searched `depth` moves deep
    int depth;
    int move; // best or refuting move, -1 when unknown
};

class MidgameTable {
  public:
    MidgameTable(const MidgameTable&) = delete;
    MidgameTable& operator=(const MidgameTable&) = delete;

    // The process's table, allocated on first use.
    static MidgameTable& shared();

    // Forgets every entry; no search may be running.
    void clear();

    // A new root search: entries of older ones give way first.
    void newSearch() { date_.fetch_add(1, std::memory_order_relaxed); }

    bool find(Bits own, Bits opp, MidEntry& out) const;
    void prefetch(Bits own, Bits opp) const { __builtin_prefetch(&bucketOf(hashOf(own, opp))); }
    // Adds bounds; bounds for the same depth already held are merged.
    void store(Bits own, Bits opp, const MidEntry& entry);

  private:
    static constexpr int Ways = 4;
    struct Slot {
        std::atomic<uint64_t> check; // the key xor the data
        std::atomic<uint64_t> data;
    };
    struct alignas(64) Bucket {
        Slot slot[Ways];
    };
    static_assert(sizeof(Bucket) == 64);

    MidgameTable() = default;
    Bucket* buckets_ = nullptr;
    std::size_t bytes_ = 0;
    int shift_ = 64;
    std::atomic<unsigned> date_{0};

    static uint64_t hashOf(Bits own, Bits opp)
    {
        auto mix = [](uint64_t x) {
            x ^= x >> 33;
            x *= 0xFF51AFD7ED558CCDull;
            x ^= x >> 33;
            x *= 0xC4CEB9FE1A85EC53ull;
            return x ^ (x >> 33);
        };
        return mix(own ^ mix(opp + 0x9E3779B97F4A7C15ull));
    }
    Bucket& bucketOf(uint64_t hash) const { return buckets_[hash >> shift_]; }
};
