#include "engine/table.h"

#include <new>
#include <sys/mman.h>

namespace {

// 2^16 buckets of 64 bytes: 4 MB at most, touched as used. A table twice
// the size saves 1.5% of the nodes, but its lines come from further away,
// the more so while other programs share the processor's cache, and the
// solve is slower.
constexpr int TableBits = 16;
// 2^13 buckets, 512 KB, for the positions near the end: about half the nodes
// that use a table, so their lines are worth keeping close to the core.
constexpr int NearEndBits = 13;

thread_local SolverTable threadTable;
thread_local SolverTable nearEndTable;

} // namespace

SolverTable& SolverTable::ofThisThread()
{
    if (!threadTable.buckets_)
        threadTable.allocate(TableBits);
    return threadTable;
}

SolverTable& SolverTable::nearEndOfThisThread()
{
    if (!nearEndTable.buckets_)
        nearEndTable.allocate(NearEndBits);
    return nearEndTable;
}

void SolverTable::releaseThisThread()
{
    threadTable.release();
    nearEndTable.release();
}

void SolverTable::allocate(int topBits)
{
    for (int bits = topBits; bits >= 10; --bits) {
        bytes_ = (std::size_t{1} << bits) * sizeof(Bucket);
        void* p = mmap(nullptr, bytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            continue;
        madvise(p, bytes_, MADV_HUGEPAGE);
        buckets_ = static_cast<Bucket*>(p);
        shift_ = 64 - bits;
        return;
    }
    throw std::bad_alloc();
}

void SolverTable::release()
{
    if (buckets_)
        munmap(buckets_, bytes_);
    buckets_ = nullptr;
}

template <bool Shared>
void SolverTable::storeIn(Bits own, Bits opp, unsigned char tag, int lower, int upper, int move,
                          uint64_t nodes)
{
    int cost = 63 - __builtin_clzll(nodes | 1);
    Bucket& b = bucketOf(own, opp);
    unsigned char v = 0;
    if constexpr (Shared) {
        // Another thread writing the bucket keeps it: these bounds are only
        // a saving, and it is cheaper to drop them than to wait.
        std::atomic_ref version(b.version);
        v = version.load(std::memory_order_relaxed);
        if ((v & 1) || !version.compare_exchange_strong(v, v + 1, std::memory_order_acquire))
            return;
    }
    int slot = slotOf<Shared>(b, own, opp, tag);
    if (slot >= 0) {
        const TableEntry e = read<Shared>(b.entry[slot]);
        lower = lower > e.lower ? lower : e.lower;
        upper = upper < e.upper ? upper : e.upper;
        move = move < 0 ? e.move : move;
        cost = cost > e.cost() ? cost : e.cost();
    } else {
        // Room of an older solve first, then of the cheapest entry.
        slot = 0;
        auto keep = [&](int i) {
            return (read<Shared>(b.date[i]) == date_ ? 64 : 0) + read<Shared>(b.entry[i]).cost();
        };
        for (int i = 1; i < Ways; ++i)
            if (keep(i) < keep(slot))
                slot = i;
    }
    cost = cost < 31 ? cost : 31;
    write<Shared>(b.own[slot], own);
    write<Shared>(b.opp[slot], opp);
    write<Shared>(b.entry[slot],
                  TableEntry{static_cast<signed char>(lower), static_cast<signed char>(upper),
                             static_cast<signed char>(move), static_cast<unsigned char>(tag | cost << 3)});
    write<Shared>(b.date[slot], date_);
    if constexpr (Shared)
        std::atomic_ref(b.version).store(v + 2, std::memory_order_release);
}

template void SolverTable::storeIn<false>(Bits, Bits, unsigned char, int, int, int, uint64_t);
template void SolverTable::storeIn<true>(Bits, Bits, unsigned char, int, int, int, uint64_t);
