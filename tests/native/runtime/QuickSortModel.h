// The sort from the cursor as a model for the tests: the quicksort written out plainly,
// recursing on both parts, left part first; and the texts of "key|index" lines that tell
// its moves apart. The runtime's sort must leave equal keys exactly where this leaves them.
#pragma once

#include "runtime/ArraySort.h"

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

// Sorts a[lo..hi] by key and answers the key comparisons made.
inline std::int64_t ModelQuickSort(std::vector<DynString>& a, std::int64_t lo, std::int64_t hi,
                                   const SortKey& key) {
    const auto at = [&](std::int64_t k) { return key.Of(a[static_cast<std::size_t>(k)]); };
    std::int64_t comparisons = 0;
    const auto less = [&](std::string_view x, std::string_view y) {
        ++comparisons;
        return key.Less(x, y);
    };
    const DynString pivot = a[static_cast<std::size_t>(lo + (hi - lo) / 2)];
    std::int64_t i = lo;
    std::int64_t j = hi;
    while (i <= j) {
        while (less(at(i), key.Of(pivot)) && i < hi) {
            ++i;
        }
        while (less(key.Of(pivot), at(j)) && j > lo) {
            --j;
        }
        if (i <= j) {
            if (i < j) {
                a[static_cast<std::size_t>(i)].Swap(a[static_cast<std::size_t>(j)]);
            }
            ++i;
            --j;
        }
    }
    if (lo < j) {
        comparisons += ModelQuickSort(a, lo, j, key);
    }
    if (i < hi) {
        comparisons += ModelQuickSort(a, i, hi, key);
    }
    return comparisons;
}

// How the keys of a text are drawn from its distinct keys.
enum class KeyShape {
    kUniform,   // any key, as often as any other
    kSkewed,    // the first keys far more often than the last
    kRuns,      // runs of up to 50 lines with one key
    kNearTwins, // keys that differ in their last byte only
};

// count lines "key|index": 12-byte keys, `distinct` of them, repeating, then the line's
// number, which no key comparison sees.
inline std::vector<DynString> KeyIndexLines(std::int64_t count, std::uint32_t distinct,
                                            KeyShape shape, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<DynString> lines;
    lines.reserve(static_cast<std::size_t>(count));
    std::uint32_t value = 0;
    std::uint32_t runLeft = 0;
    for (std::int64_t i = 0; i < count; ++i) {
        switch (shape) {
        case KeyShape::kUniform:
        case KeyShape::kNearTwins:
            value = random() % distinct;
            break;
        case KeyShape::kSkewed:
            value = static_cast<std::uint32_t>(std::uint64_t{random() % distinct} *
                                               (random() % distinct) / distinct);
            break;
        case KeyShape::kRuns:
            if (runLeft == 0) {
                value = random() % distinct;
                runLeft = 1 + random() % 50;
            }
            --runLeft;
            break;
        }
        char line[40];
        const auto index = static_cast<long long>(i);
        int length = 0;
        if (shape == KeyShape::kNearTwins) {
            // Eleven bytes shared by up to 256 keys, then a last byte of any value, NUL too.
            length = std::snprintf(line, sizeof line, "%011u?|%lld", value / 256, index);
            line[11] = static_cast<char>(value % 256);
        } else {
            // Scattered over the key space rather than in the order of value.
            length = std::snprintf(line, sizeof line, "K%011u|%lld", value * 2654435761u, index);
        }
        lines.emplace_back(std::string_view(line, static_cast<std::size_t>(length)));
    }
    return lines;
}
