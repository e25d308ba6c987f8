// The sort behind ArraySortFrom: the key of a string, its comparison, and the quicksort
// that moves string references only.
#pragma once

#include "runtime/DynString.h"

#include <cstdint>
#include <string_view>

// The key range of a sort and its comparison.
struct SortKey {
    std::int64_t from; // 1-based first column, 0 for the whole string
    std::int64_t to;   // 1-based last column
    bool descending;
    bool foldCase;

    std::string_view Of(const DynString& s) const noexcept;
    // True when key a sorts before key b.
    bool Less(std::string_view a, std::string_view b) const noexcept;
};

// The comparisons the quicksort may make over count elements before the ranges it has not
// sorted yet are finished otherwise: three times what keys in random order cost.
std::int64_t SortComparisonBudget(std::int64_t count) noexcept;

// Sorts elements[lo..hi] by key with the quicksort, move for move, for as long as its
// comparisons stay within budget; the ranges still unsorted when the budget is spent are
// finished by a merge of their natural runs, or by a heapsort where no memory is left for
// the merge, so orders built against the quicksort cost n log n and not n². Only the order
// of equal keys can tell the two apart. The stack stays logarithmic in either case. The
// moves are made on a copy of each key's first bytes beside its reference, where memory
// allows, and then carried over to the references.
void SortReferences(DynString* elements, std::int64_t lo, std::int64_t hi, const SortKey& key,
                    std::int64_t budget) noexcept;
