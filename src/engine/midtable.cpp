#include "engine/midtable.h"

#include <new>
#include <sys/mman.h>

namespace {

// 2^18 buckets of four entries: 16 MB, touched as used.
constexpr int TableBits = 18;

// The data word: lower and upper bound (16 bits each), depth, move + 1, date.
uint64_t pack(const MidEntry& e, unsigned date)
{
    return uint64_t{static_cast<uint16_t>(e.lower)} | uint64_t{static_cast<uint16_t>(e.upper)} << 16 |
           uint64_t(e.depth & 0xFF) << 32 | uint64_t((e.move + 1) & 0xFF) << 40 | uint64_t(date & 0xFF) << 48;
}

MidEntry unpack(uint64_t d)
{
    return {static_cast<int16_t>(d & 0xFFFF), static_cast<int16_t>(d >> 16 & 0xFFFF),
            static_cast<int>(d >> 32 & 0xFF), static_cast<int>(d >> 40 & 0xFF) - 1};
}

unsigned dateOf(uint64_t d)
{
    return d >> 48 & 0xFF;
}

} // namespace

MidgameTable& MidgameTable::shared()
{
    static MidgameTable* table = [] {
        auto* t = new MidgameTable;
        for (int bits = TableBits; bits >= 10; --bits) {
            const std::size_t bytes = (std::size_t{1} << bits) * sizeof(Bucket);
            void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (p == MAP_FAILED)
                continue;
            madvise(p, bytes, MADV_HUGEPAGE);
            t->buckets_ = static_cast<Bucket*>(p); // zero pages: every slot empty
            t->bytes_ = bytes;
            t->shift_ = 64 - bits;
            return t;
        }
        throw std::bad_alloc();
    }();
    return *table;
}

void MidgameTable::clear()
{
    // Back to untouched zero pages, as after the first allocation.
    madvise(buckets_, bytes_, MADV_DONTNEED);
}

bool MidgameTable::find(Bits own, Bits opp, MidEntry& out) const
{
    const uint64_t hash = hashOf(own, opp);
    const Bucket& b = bucketOf(hash);
    for (const Slot& s : b.slot) {
        const uint64_t data = s.data.load(std::memory_order_relaxed);
        if (data != 0 && (s.check.load(std::memory_order_relaxed) ^ data) == hash) {
            out = unpack(data);
            return true;
        }
    }
    return false;
}

void MidgameTable::store(Bits own, Bits opp, const MidEntry& entry)
{
    const uint64_t hash = hashOf(own, opp);
    Bucket& b = bucketOf(hash);
    const unsigned date = date_.load(std::memory_order_relaxed) & 0xFF;
    MidEntry e = entry;
    Slot* target = nullptr;
    for (Slot& s : b.slot) {
        const uint64_t data = s.data.load(std::memory_order_relaxed);
        if (data != 0 && (s.check.load(std::memory_order_relaxed) ^ data) == hash) {
            const MidEntry old = unpack(data);
            if (old.depth == e.depth) { // both bound the same value
                e.lower = old.lower > e.lower ? old.lower : e.lower;
                e.upper = old.upper < e.upper ? old.upper : e.upper;
                e.move = e.move < 0 ? old.move : e.move;
            }
            target = &s;
            break;
        }
    }
    if (!target) {
        // Room of an older search first, then of the shallowest entry.
        auto keep = [&](const Slot& s) {
            const uint64_t data = s.data.load(std::memory_order_relaxed);
            if (data == 0)
                return -1; // unused
            return (dateOf(data) == date ? 256 : 0) + static_cast<int>(data >> 32 & 0xFF);
        };
        target = &b.slot[0];
        for (Slot& s : b.slot)
            if (keep(s) < keep(*target))
                target = &s;
    }
    const uint64_t data = pack(e, date);
    target->data.store(data, std::memory_order_relaxed);
    target->check.store(hash ^ data, std::memory_order_relaxed);
}
