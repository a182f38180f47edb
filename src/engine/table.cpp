#include "engine/table.h"

#include <new>
#include <sys/mman.h>

namespace {

// 2^19 entries of 32 bytes: 16 MB at most, touched as used. Twice that size
// saves 1% of the nodes but waits longer for each line, so the solve is
// faster with the smaller table.
constexpr int TableBits = 19;

thread_local SolverTable threadTable;

} // namespace

SolverTable& SolverTable::ofThisThread()
{
    if (!threadTable.entries_)
        threadTable.allocate();
    return threadTable;
}

void SolverTable::releaseThisThread()
{
    threadTable.release();
}

void SolverTable::allocate()
{
    for (int bits = TableBits; bits >= 10; --bits) {
        bytes_ = (std::size_t{1} << bits) * sizeof(TableEntry);
        void* p = mmap(nullptr, bytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            continue;
        madvise(p, bytes_, MADV_HUGEPAGE);
        entries_ = static_cast<TableEntry*>(p);
        shift_ = 64 - bits;
        return;
    }
    throw std::bad_alloc();
}

void SolverTable::release()
{
    if (entries_)
        munmap(entries_, bytes_);
    entries_ = nullptr;
}

void SolverTable::store(Bits own, Bits opp, unsigned char tag, int lower, int upper, int move, uint64_t nodes)
{
    int cost = 63 - __builtin_clzll(nodes | 1);
    TableEntry* e = const_cast<TableEntry*>(find(own, opp, tag));
    if (e) {
        lower = lower > e->lower ? lower : e->lower;
        upper = upper < e->upper ? upper : e->upper;
        move = move < 0 ? e->move : move;
        cost = cost > e->cost ? cost : e->cost;
    } else {
        // Room of an older solve first, then of the cheaper entry.
        TableEntry* bucket = bucketOf(own, opp);
        auto keep = [&](const TableEntry& x) { return (x.date == date_ ? 64 : 0) + x.cost; };
        e = keep(bucket[0]) <= keep(bucket[1]) ? &bucket[0] : &bucket[1];
    }
    *e = TableEntry{own,
                    opp,
                    static_cast<signed char>(lower),
                    static_cast<signed char>(upper),
                    static_cast<signed char>(move),
                    static_cast<unsigned char>(cost),
                    tag,
                    date_};
}
