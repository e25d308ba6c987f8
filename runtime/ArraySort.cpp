#include "runtime/ArraySort.h"

#include <cstring>

namespace {

// Below the depth limit a range this small stays with the quicksort: its worst case is
// cheap, and balanced sorts of random keys reach such depths in small ranges now and then.
constexpr std::int64_t kSmallRange = 64;

unsigned char FoldByte(char byte) noexcept {
    const auto value = static_cast<unsigned char>(byte);
    return value >= 'a' && value <= 'z' ? static_cast<unsigned char>(value - 0x20) : value;
}

bool Ascending(std::string_view a, std::string_view b, bool foldCase) noexcept {
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    if (!foldCase) {
        const int order = common > 0 ? std::memcmp(a.data(), b.data(), common) : 0;
        if (order != 0)
            return order < 0;
    } else {
        for (std::size_t i = 0; i < common; ++i) {
            const unsigned char x = FoldByte(a[i]);
            const unsigned char y = FoldByte(b[i]);
            if (x != y)
                return x < y;
        }
    }
    return a.size() < b.size();
}

// Restores the heap order below root in the count elements of heap, the largest key on
// top. The root's string first sinks to a leaf along the larger children, one comparison
// a level, then climbs back to its place (bottom-up heapsort: about half the comparisons
// of sifting down, which matters when every key is a pointer chase).
void SiftDown(DynString* heap, std::int64_t root, std::int64_t count, const SortKey& key) noexcept {
    std::int64_t at = root;
    while (2 * at + 2 < count) {
        const std::int64_t left = 2 * at + 1;
        at = key.Less(key.Of(heap[left]), key.Of(heap[left + 1])) ? left + 1 : left;
    }
    if (2 * at + 1 < count)
        at = 2 * at + 1;
    const std::string_view sinking = key.Of(heap[root]);
    while (at > root && key.Less(key.Of(heap[at]), sinking))
        at = (at - 1) / 2;
    // The root's string goes to at; each string on the path above moves up one level.
    DynString carried;
    carried.Swap(heap[root]);
    while (at > root) {
        carried.Swap(heap[at]);
        at = (at - 1) / 2;
    }
    carried.Swap(heap[root]);
}

void HeapSort(DynString* elements, std::int64_t lo, std::int64_t hi, const SortKey& key) noexcept {
    DynString* heap = elements + lo;
    const std::int64_t count = hi - lo + 1;
    for (std::int64_t root = count / 2 - 1; root >= 0; --root)
        SiftDown(heap, root, count, key);
    for (std::int64_t end = count - 1; end > 0; --end) {
        heap[0].Swap(heap[end]);
        SiftDown(heap, 0, end, key);
    }
}

} // namespace

std::string_view SortKey::Of(const DynString& s) const noexcept {
    const std::string_view bytes = s.View();
    if (from == 0)
        return bytes;
    if (from > static_cast<std::int64_t>(bytes.size()) || to < from)
        return {};
    const std::int64_t last = to < static_cast<std::int64_t>(bytes.size()) ? to : bytes.size();
    return bytes.substr(static_cast<std::size_t>(from - 1),
                        static_cast<std::size_t>(last - from + 1));
}

bool SortKey::Less(std::string_view a, std::string_view b) const noexcept {
    return descending ? Ascending(b, a, foldCase) : Ascending(a, b, foldCase);
}

int SortDepthLimit(std::int64_t count) noexcept {
    int log2 = 0;
    while (count > 1) {
        count >>= 1;
        ++log2;
    }
    return 2 * log2;
}

// The two parts that a partition leaves are independent, so the smaller is sorted by
// recursion and the larger by the loop: the same moves as sorting the left part first,
// with a stack depth that stays logarithmic. Every partition, looped or recursed, counts
// as one level.
void SortReferences(DynString* elements, std::int64_t lo, std::int64_t hi, const SortKey& key,
                    int depthLimit) noexcept {
    while (lo < hi) {
        if (depthLimit <= 0 && hi - lo >= kSmallRange) {
            HeapSort(elements, lo, hi, key);
            return;
        }
        --depthLimit;
        // The pivot is a copy of the reference: its bytes stay put while references move.
        const std::string_view pivot = key.Of(elements[lo + (hi - lo) / 2]);
        std::int64_t i = lo;
        std::int64_t j = hi;
        while (i <= j) {
            while (key.Less(key.Of(elements[i]), pivot) && i < hi)
                ++i;
            while (key.Less(pivot, key.Of(elements[j])) && j > lo)
                --j;
            if (i <= j) {
                if (i < j)
                    elements[i].Swap(elements[j]);
                ++i;
                --j;
            }
        }
        const bool sortLeft = lo < j;
        const bool sortRight = i < hi;
        if (sortLeft && sortRight) {
            if (j - lo < hi - i) {
                SortReferences(elements, lo, j, key, depthLimit);
                lo = i;
            } else {
                SortReferences(elements, i, hi, key, depthLimit);
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
