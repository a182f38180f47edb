// The endgame solver's transposition table: proven bounds on the exact value
// of positions, one table per thread that solves.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "engine/bits.h"

// Proven bounds on the exact value of one position under one scoring. Every
// entry stays true forever; only the room is reused.
struct alignas(4) TableEntry {
    signed char lower, upper;
    signed char move; // best or refuting move, -1 when unknown
    // The tag (low 3 bits): 1 + the scoring (3 + it: a narrowed search's), 0
    // marks an unused entry. Above it, log2 of the nodes the bounds took:
    // dearer entries stay.
    unsigned char tagAndCost;
    int tag() const { return tagAndCost & 7; }
    int cost() const { return tagAndCost >> 3; }
};

// Buckets of three entries, one cache line each. Zeroed pages come from the
// system on first touch, so a short search on a fresh thread pays only for
// what it uses; huge pages, where the system grants them, spare the random
// accesses most of their address-translation misses. Where memory is short
// the table is smaller, never absent.
//
// A table may be shared by the threads of one solve (share()): then a bucket
// being written reads as holding nothing, and a store that finds its bucket
// being written is dropped, which costs only the time to find the bounds
// again. Every access is atomic, so the threads never race.
class SolverTable {
  public:
    SolverTable() = default;
    SolverTable(const SolverTable&) = delete;
    SolverTable& operator=(const SolverTable&) = delete;
    ~SolverTable() { release(); }

    // The calling thread's tables, allocated on first use: the main one, and
    // a small one for positions near the end (NearEndCells empty cells or
    // fewer). Those are the most numerous and the cheapest to redo; kept
    // apart they stay in the core's own cache, and they no longer push
    // dearer entries out of the main table.
    static constexpr int NearEndCells = 7;
    static SolverTable& ofThisThread();
    static SolverTable& nearEndOfThisThread();
    // The one of the two that holds positions with `empties` empty cells.
    static SolverTable& ofThisThreadFor(int empties)
    {
        return empties <= NearEndCells ? nearEndOfThisThread() : ofThisThread();
    }
    // Frees the calling thread's tables; the next solve starts cold.
    static void releaseThisThread();

    // A new solve: entries of older ones give way first.
    void startSolve() { ++date_; }

    // Whether other threads use the table too. Set only while no other
    // thread uses it.
    void share(bool shared) { shared_ = shared; }

    [[gnu::always_inline]] std::optional<TableEntry> find(Bits own, Bits opp, unsigned char tag) const
    {
        const Bucket& b = bucketOf(own, opp);
        if (!shared_) {
            const int i = slotOf<false>(b, own, opp, tag);
            return i < 0 ? std::nullopt : std::optional(b.entry[i]);
        }
        const unsigned char version = b.beginRead();
        const int i = version & 1 ? -1 : slotOf<true>(b, own, opp, tag);
        if (i < 0)
            return std::nullopt;
        const TableEntry e = read<true>(b.entry[i]);
        return b.endRead(version) ? std::optional(e) : std::nullopt;
    }

    // Starts loading the bucket of a position about to be looked up.
    void prefetch(Bits own, Bits opp) const { __builtin_prefetch(&bucketOf(own, opp)); }

    // Adds bounds, keeping the tighter of old and new when the position is
    // already held.
    void store(Bits own, Bits opp, unsigned char tag, int lower, int upper, int move, uint64_t nodes)
    {
        if (shared_)
            storeIn<true>(own, opp, tag, lower, upper, move, nodes);
        else
            storeIn<false>(own, opp, tag, lower, upper, move, nodes);
    }

  private:
    static constexpr int Ways = 3;
    // The positions apart from their bounds, so that three fit one line.
    struct alignas(64) Bucket {
        Bits own[Ways], opp[Ways];
        TableEntry entry[Ways];
        unsigned char date[Ways]; // the solve that last wrote each entry
        // Odd while a thread writes the bucket of a shared table.
        unsigned char version;

        unsigned char beginRead() const
        {
            return std::atomic_ref(const_cast<unsigned char&>(version)).load(std::memory_order_acquire);
        }
        // Whether nothing was written since beginRead returned `version`.
        bool endRead(unsigned char version) const
        {
            std::atomic_thread_fence(std::memory_order_acquire);
            return std::atomic_ref(const_cast<unsigned char&>(this->version))
                       .load(std::memory_order_relaxed) == version;
        }
    };
    static_assert(sizeof(Bucket) == 64);

    Bucket* buckets_ = nullptr;
    std::size_t bytes_ = 0;
    int shift_ = 64; // 64 - log2 of the bucket count
    unsigned char date_ = 0;
    bool shared_ = false;

    void allocate(int topBits);
    void release();
    template <bool Shared>
    void storeIn(Bits own, Bits opp, unsigned char tag, int lower, int upper, int move, uint64_t nodes);

    // A field of a bucket, atomically when other threads may use it too.
    template <bool Shared, class T> static T read(const T& field)
    {
        if constexpr (Shared)
            return std::atomic_ref(const_cast<T&>(field)).load(std::memory_order_relaxed);
        return field;
    }
    template <bool Shared, class T> static void write(T& field, T value)
    {
        if constexpr (Shared)
            std::atomic_ref(field).store(value, std::memory_order_relaxed);
        else
            field = value;
    }

    // Where the bucket holds the position under `tag`, or -1.
    template <bool Shared>
    [[gnu::always_inline]] static int slotOf(const Bucket& b, Bits own, Bits opp, unsigned char tag)
    {
        for (int i = 0; i < Ways; ++i)
            if (read<Shared>(b.own[i]) == own && read<Shared>(b.opp[i]) == opp &&
                read<Shared>(b.entry[i]).tag() == tag)
                return i;
        return -1;
    }

    Bucket& bucketOf(Bits own, Bits opp) const
    {
        const Bits h = own * 0x9E3779B97F4A7C15ull + opp * 0xC2B2AE3D27D4EB4Full;
        return buckets_[(h ^ (h >> 29)) >> shift_];
    }
};
