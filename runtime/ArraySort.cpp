#include "runtime/ArraySort.h"

#include "platform/Platform.h"
#include "runtime/StringArray.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace {

// A range this small stays with the quicksort even when the budget is spent: its worst case
// is cheap.
constexpr std::int64_t kSmallRange = 64;
// The quicksort sorts keys in random order with about 1.4 n log2 n comparisons, give or
// take some 0.7 n, and sorted, reversed or much repeated keys with fewer. Only an order
// that costs it three times what random keys cost, such as one built against its middle
// pivot, spends the budget; and below some tens of milliseconds of comparisons even that
// one is let run.
constexpr std::int64_t kBudgetFactor = 4;
constexpr std::int64_t kLeastBudget = std::int64_t{1} << 24;

struct SortBudget {
    std::int64_t limit;
    std::int64_t spent; // comparisons made so far
};

// Key bytes kept beside each reference while sorting.
constexpr std::size_t kHeadBytes = kShortSortKeyBytes;

unsigned char FoldByte(char byte) noexcept {
    const auto value = static_cast<unsigned char>(byte);
    return value >= 'a' && value <= 'z' ? static_cast<unsigned char>(value - 0x20) : value;
}

bool Ascending(std::string_view a, std::string_view b, bool foldCase) noexcept {
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    if (!foldCase) {
        const int order = common > 0 ? std::memcmp(a.data(), b.data(), common) : 0;
        if (order != 0) {
            return order < 0;
        }
    } else {
        for (std::size_t i = 0; i < common; ++i) {
            const unsigned char x = FoldByte(a[i]);
            const unsigned char y = FoldByte(b[i]);
            if (x != y) {
                return x < y;
            }
        }
    }
    return a.size() < b.size();
}

// The sort's view of a string in 16 bytes: the first key bytes (folded when the sort folds),
// zero-padded and read as big-endian numbers so that comparing the numbers compares the
// bytes, the key's length and where the string stood. Keys no longer than that are ordered
// by these alone; the strings' own bytes, scattered through memory, are read only to tell
// longer keys with equal beginnings apart.
struct CachedKey {
    std::uint64_t head;  // key bytes 1 to 8
    std::uint32_t tail;  // the key's further bytes up to kHeadBytes
    std::uint32_t place; // kSourceBits of where the string stood, above them its length class
};

constexpr int kSourceBits = 28;
constexpr std::uint32_t kSourceMask = (1u << kSourceBits) - 1;
constexpr std::uint32_t kLongKey = kHeadBytes + 1; // length class of keys beyond the head

std::uint32_t SourceOf(const CachedKey& k) noexcept {
    return k.place & kSourceMask;
}

std::uint32_t LengthClassOf(const CachedKey& k) noexcept {
    return k.place >> kSourceBits;
}

// Orders strings by their keys, read from the strings at every comparison.
struct ByString {
    const SortKey& key;
    std::string_view Of(const DynString& s) const noexcept { return key.Of(s); }
    bool Less(std::string_view a, std::string_view b) const noexcept { return key.Less(a, b); }
    static void Swap(DynString& a, DynString& b) noexcept { a.Swap(b); }
};

// Orders cached keys, reaching the strings only for long keys with equal heads.
struct ByCachedKey {
    const SortKey& key;
    const DynString* strings; // the range being sorted, unmoved while the keys are sorted

    const CachedKey& Of(const CachedKey& k) const noexcept { return k; }
    bool Less(const CachedKey& a, const CachedKey& b) const noexcept {
        return key.descending ? Before(b, a) : Before(a, b);
    }
    bool Before(const CachedKey& a, const CachedKey& b) const noexcept {
        if (a.head != b.head) {
            return a.head < b.head;
        }
        if (a.tail != b.tail) {
            return a.tail < b.tail;
        }
        // Equal heads: a short key is a beginning of the other key, so it sorts first.
        const std::uint32_t lengthA = LengthClassOf(a);
        const std::uint32_t lengthB = LengthClassOf(b);
        if (lengthA != lengthB || lengthA != kLongKey) {
            return lengthA < lengthB;
        }
        return Ascending(key.Of(strings[SourceOf(a)]), key.Of(strings[SourceOf(b)]), key.foldCase);
    }
    static void Swap(CachedKey& a, CachedKey& b) noexcept { std::swap(a, b); }
};

// Restores the heap order below root in the count items of heap, the largest key on top.
// The root's item first sinks to a leaf along the larger children, one comparison a level,
// then climbs back to its place (bottom-up heapsort: about half the comparisons of sifting
// down).
template <class Item, class Order>
void SiftDown(Item* heap, std::int64_t root, std::int64_t count, const Order& order) noexcept {
    std::int64_t at = root;
    while (2 * at + 2 < count) {
        const std::int64_t left = 2 * at + 1;
        // Added rather than branched on: which child is larger is a coin toss.
        at = left +
             static_cast<std::int64_t>(order.Less(order.Of(heap[left]), order.Of(heap[left + 1])));
    }
    if (2 * at + 1 < count) {
        at = 2 * at + 1;
    }
    const auto sinking = order.Of(heap[root]);
    while (at > root && order.Less(order.Of(heap[at]), sinking)) {
        at = (at - 1) / 2;
    }
    // The root's item goes to at; each item on the path above moves up one level.
    Item carried{};
    Order::Swap(carried, heap[root]);
    while (at > root) {
        Order::Swap(carried, heap[at]);
        at = (at - 1) / 2;
    }
    Order::Swap(carried, heap[root]);
}

template <class Item, class Order>
void HeapSort(Item* items, std::int64_t lo, std::int64_t hi, const Order& order) noexcept {
    Item* heap = items + lo;
    const std::int64_t count = hi - lo + 1;
    for (std::int64_t root = count / 2 - 1; root >= 0; --root) {
        SiftDown(heap, root, count, order);
    }
    for (std::int64_t end = count - 1; end > 0; --end) {
        Order::Swap(heap[0], heap[end]);
        SiftDown(heap, 0, end, order);
    }
}

// Below this many keys a run is lengthened by insertion before the merging starts.
constexpr std::int64_t kMinRun = 32;

// Sorts the count cached keys at items by merging their natural runs, through scratch
// (count keys) and runStarts (count / kMinRun + 2 places). Keys that rise, or fall
// strictly, are taken as they stand, so the orders that defeat a quicksort's pivot (organ
// pipes, interleaved runs) cost a few passes over the keys rather than a heapsort's
// scattered reads.
template <class Order>
void MergeRuns(CachedKey* items, std::int64_t count, CachedKey* scratch, std::int64_t* runStarts,
               const Order& order) noexcept {
    std::int64_t runs = 0;
    for (std::int64_t start = 0; start < count;) {
        std::int64_t end = start + 1;
        if (end < count && order.Less(items[end], items[start])) {
            while (end < count && order.Less(items[end], items[end - 1])) {
                ++end;
            }
            std::reverse(items + start, items + end);
        } else {
            while (end < count && !order.Less(items[end], items[end - 1])) {
                ++end;
            }
        }
        const std::int64_t least = std::min(count, start + kMinRun);
        for (; end < least; ++end) {
            const CachedKey moving = items[end];
            std::int64_t at = end;
            for (; at > start && order.Less(moving, items[at - 1]); --at) {
                items[at] = items[at - 1];
            }
            items[at] = moving;
        }
        runStarts[runs++] = start;
        start = end;
    }
    runStarts[runs] = count;
    // Each pass merges neighbouring runs from one block into the other.
    CachedKey* from = items;
    CachedKey* to = scratch;
    while (runs > 1) {
        std::int64_t merged = 0;
        for (std::int64_t r = 0; r < runs; r += 2) {
            const std::int64_t lo = runStarts[r];
            const std::int64_t mid = runStarts[r + 1];
            const std::int64_t hi = r + 2 <= runs ? runStarts[r + 2] : mid;
            std::int64_t a = lo;
            std::int64_t b = mid;
            std::int64_t out = lo;
            if (b < hi && a < mid && order.Less(from[b], from[mid - 1])) {
                while (a < mid && b < hi) {
                    // Equal keys take the left run's first.
                    to[out++] = order.Less(from[b], from[a]) ? from[b++] : from[a++];
                }
            }
            std::memcpy(to + out, from + a, static_cast<std::size_t>(mid - a) * sizeof *to);
            out += mid - a;
            std::memcpy(to + out, from + b, static_cast<std::size_t>(hi - b) * sizeof *to);
            runStarts[merged++] = lo;
        }
        runStarts[merged] = count;
        runs = merged;
        std::swap(from, to);
    }
    if (from != items) {
        std::memcpy(items, from, static_cast<std::size_t>(count) * sizeof *items);
    }
}

// A range left when the budget is spent: merged where memory allows, heapsorted otherwise.
template <class Item, class Order>
void FinishRange(Item* items, std::int64_t lo, std::int64_t hi, const Order& order) noexcept {
    if constexpr (std::is_same_v<Item, CachedKey>) {
        const std::int64_t count = hi - lo + 1;
        std::unique_ptr<CachedKey[]> scratch;
        std::unique_ptr<std::int64_t[]> runStarts;
        if (!PlatformRefusesAllocation()) {
            scratch.reset(new (std::nothrow) CachedKey[static_cast<std::size_t>(count)]);
            runStarts.reset(new (std::nothrow)
                                std::int64_t[static_cast<std::size_t>(count / kMinRun + 2)]);
        }
        if (scratch != nullptr && runStarts != nullptr) {
            MergeRuns(items + lo, count, scratch.get(), runStarts.get(), order);
            return;
        }
    }
    HeapSort(items, lo, hi, order);
}

// The two parts that a partition leaves are independent, so the smaller is sorted by
// recursion and the larger by the loop: the same moves as sorting the left part first,
// with a stack depth that stays logarithmic. Once the comparisons made reach the budget,
// the ranges still unsorted are finished otherwise; the budget only counts, so the moves
// made before it runs out are the quicksort's own.
template <class Item, class Order>
void QuickSort(Item* items, std::int64_t lo, std::int64_t hi, const Order& order,
               SortBudget& budget) noexcept {
    while (lo < hi) {
        if (budget.spent >= budget.limit && hi - lo >= kSmallRange) {
            FinishRange(items, lo, hi, order);
            return;
        }
        // The pivot is a copy: it stays put while the items move.
        const auto pivot = order.Of(items[lo + (hi - lo) / 2]);
        std::int64_t i = lo;
        std::int64_t j = hi;
        std::int64_t comparisons = 0;
        while (i <= j) {
            while (++comparisons, order.Less(order.Of(items[i]), pivot) && i < hi) {
                ++i;
            }
            while (++comparisons, order.Less(pivot, order.Of(items[j])) && j > lo) {
                --j;
            }
            if (i <= j) {
                if (i < j) {
                    Order::Swap(items[i], items[j]);
                }
                ++i;
                --j;
            }
        }
        budget.spent += comparisons;
        const bool sortLeft = lo < j;
        const bool sortRight = i < hi;
        if (sortLeft && sortRight) {
            if (j - lo < hi - i) {
                QuickSort(items, lo, j, order, budget);
                lo = i;
            } else {
                QuickSort(items, i, hi, order, budget);
                hi = j;
            }
        } else if (sortLeft) {
            hi = j;
        } else if (sortRight) {
            lo = i;
        } else {
            return;
        }
    }
}

CachedKey CacheKey(std::string_view key, bool foldCase, std::uint32_t source) noexcept {
    unsigned char bytes[kHeadBytes] = {};
    const std::size_t kept = key.size() < kHeadBytes ? key.size() : kHeadBytes;
    for (std::size_t i = 0; i < kept; ++i) {
        bytes[i] = foldCase ? FoldByte(key[i]) : static_cast<unsigned char>(key[i]);
    }
    const std::uint32_t lengthClass =
        key.size() <= kHeadBytes ? static_cast<std::uint32_t>(key.size()) : kLongKey;
    CachedKey cached{0, 0, lengthClass << kSourceBits | source};
    for (std::size_t i = 0; i < 8; ++i) {
        cached.head = cached.head << 8 | bytes[i];
    }
    for (std::size_t i = 8; i < kHeadBytes; ++i) {
        cached.tail = cached.tail << 8 | bytes[i];
    }
    return cached;
}

} // namespace

std::string_view SortKey::Of(const DynString& s) const noexcept {
    const std::string_view bytes = s.View();
    if (from == 0) {
        return bytes;
    }
    if (from > static_cast<std::int64_t>(bytes.size()) || to < from) {
        return {};
    }
    const std::int64_t last = to < static_cast<std::int64_t>(bytes.size()) ? to : bytes.size();
    return bytes.substr(static_cast<std::size_t>(from - 1),
                        static_cast<std::size_t>(last - from + 1));
}

bool SortKey::Less(std::string_view a, std::string_view b) const noexcept {
    return descending ? Ascending(b, a, foldCase) : Ascending(a, b, foldCase);
}

std::int64_t SortComparisonBudget(std::int64_t count) noexcept {
    std::int64_t log2 = 0;
    for (std::int64_t rest = count; rest > 1; rest >>= 1) {
        ++log2;
    }
    const std::int64_t budget = kBudgetFactor * count * log2;
    return budget > kLeastBudget ? budget : kLeastBudget;
}

void SortReferences(DynString* elements, std::int64_t lo, std::int64_t hi, const SortKey& key,
                    std::int64_t budget) noexcept {
    SortBudget counted{budget, 0};
    const std::int64_t count = hi - lo + 1;
    // The cached keys take the same moves as the strings would, and the strings then go
    // where their keys went, through a block of references. Without memory for both, the
    // strings are sorted directly, only more slowly.
    std::unique_ptr<CachedKey[]> keys;
    std::unique_ptr<DynString[]> sorted;
    if (count >= kSmallRange && count <= kSourceMask) {
        keys.reset(new (std::nothrow) CachedKey[static_cast<std::size_t>(count)]);
        sorted.reset(new (std::nothrow) DynString[static_cast<std::size_t>(count)]);
    }
    if (keys == nullptr || sorted == nullptr) {
        QuickSort(elements, lo, hi, ByString{key}, counted);
        return;
    }
    DynString* strings = elements + lo;
    for (std::int64_t i = 0; i < count; ++i) {
        keys[i] = CacheKey(key.Of(strings[i]), key.foldCase, static_cast<std::uint32_t>(i));
    }
    QuickSort(keys.get(), 0, count - 1, ByCachedKey{key, strings}, counted);
    for (std::int64_t i = 0; i < count; ++i) {
        sorted[i].Swap(strings[SourceOf(keys[i])]);
    }
    for (std::int64_t i = 0; i < count; ++i) {
        strings[i].Swap(sorted[i]);
    }
}
