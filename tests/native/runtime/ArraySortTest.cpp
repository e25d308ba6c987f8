#include "runtime/ArraySort.h"
#include "runtime/StringArray.h"
#include "tests/native/runtime/FailAllocations.h"
#include "tests/native/runtime/QuickSortModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<const char*> Blocks(const std::vector<DynString>& a) {
    std::vector<const char*> blocks;
    for (const DynString& s : a) {
        blocks.push_back(s.Bytes());
    }
    return blocks;
}

void ExpectSortedPermutation(const std::vector<DynString>& sorted,
                             const std::vector<const char*>& before, const SortKey& key) {
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        ASSERT_FALSE(key.Less(key.Of(sorted[i]), key.Of(sorted[i - 1]))) << "at " << i;
    }
    std::vector<const char*> after = Blocks(sorted);
    std::vector<const char*> original = before;
    std::sort(after.begin(), after.end());
    std::sort(original.begin(), original.end());
    EXPECT_EQ(after, original);
}

std::vector<DynString> Numbered(const std::vector<int>& values) {
    std::vector<DynString> lines;
    for (std::size_t i = 0; i < values.size(); ++i) {
        char line[40];
        std::snprintf(line, sizeof line, "%09d line %zu", values[i], i);
        lines.emplace_back(line);
    }
    return lines;
}

// Orders that drive a middle-pivot quicksort towards n² comparisons.
std::vector<std::vector<int>> HostileOrders(int n) {
    std::vector<int> organPipe, interleaved, sawtooth, killer(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        organPipe.push_back(i < n / 2 ? i : n - i);
        interleaved.push_back(i % 2 == 0 ? i / 2 : n / 2 + i / 2);
        sawtooth.push_back(i % 1000);
    }
    // The median-of-three killer: for k = n / 2, positions 1..k hold i and k + i at odd i,
    // positions k + 1..2k hold the even numbers.
    const int k = n / 2;
    for (int i = 1; i <= k; ++i) {
        if (i % 2 == 1) {
            killer[static_cast<std::size_t>(i - 1)] = i;
            killer[static_cast<std::size_t>(i)] = k + i;
        }
        killer[static_cast<std::size_t>(k + i - 1)] = 2 * i;
    }
    return {organPipe, interleaved, sawtooth, killer};
}

} // namespace

TEST(ArraySort, BalancedInputsKeepTheQuicksortsMovesExactly) {
    // Few distinct bytes, so that equal keys abound: their final order shows every move.
    std::mt19937 random(7130);
    for (int round = 0; round < 60; ++round) {
        const auto n = static_cast<std::size_t>(1 + random() % 3000);
        // Short keys, and whole strings that share long beginnings.
        const bool whole = round % 3 == 0;
        const auto from = static_cast<std::int64_t>(whole ? 0 : 1 + random() % 3);
        const SortKey key{from, whole ? 0 : from + static_cast<std::int64_t>(random() % 4),
                          random() % 2 == 0, random() % 3 == 0};
        std::vector<DynString> model;
        for (std::size_t i = 0; i < n; ++i) {
            std::string s(whole ? random() % 20 : random() % 6, ' ');
            for (std::size_t c = 0; c < s.size(); ++c) {
                s[c] = whole && c < 12 ? "aaaaaaaaaaa\0"[c] : "aAbB\xE9 "[random() % 6];
            }
            model.emplace_back(std::string_view(s));
        }
        std::vector<DynString> sorted = model; // copies share no blocks: compare by content
        ModelQuickSort(model, 0, static_cast<std::int64_t>(n) - 1, key);
        SortReferences(sorted.data(), 0, static_cast<std::int64_t>(n) - 1, key,
                       SortComparisonBudget(static_cast<std::int64_t>(n)));
        // Equal keys with different tails tell the orders apart.
        ASSERT_TRUE(std::equal(model.begin(), model.end(), sorted.begin())) << "round " << round;
    }
}

TEST(ArraySort, RepeatingKeysEndWhereTheQuicksortLeavesThem) {
    // Texts of "key|index" lines: where each index ends shows every move of the sort.
    const SortKey key{1, 12, false, false};
    std::uint32_t seed = 1;
    for (const std::uint32_t distinct : {3u, 200u, 5000u}) {
        for (const KeyShape shape :
             {KeyShape::kUniform, KeyShape::kSkewed, KeyShape::kRuns, KeyShape::kNearTwins}) {
            std::vector<DynString> model = KeyIndexLines(20000, distinct, shape, ++seed);
            const auto n = static_cast<std::int32_t>(model.size());
            StringArray lines;
            ArrayRedim(lines, 0, n);
            for (std::int32_t i = 1; i <= n; ++i) {
                lines[i] = model[static_cast<std::size_t>(i - 1)];
            }
            ModelQuickSort(model, 0, n - 1, key);
            ArraySortFrom(lines, 1, 1, 12, 0);
            for (std::int32_t i = 1; i <= n; ++i) {
                ASSERT_EQ(lines[i].View(), model[static_cast<std::size_t>(i - 1)].View())
                    << distinct << " keys, seed " << seed << ", line " << i;
            }
        }
    }
}

TEST(ArraySort, HostileOrdersKeepTheQuicksortsMovesUntilTheBudgetIsSpent) {
    const SortKey key{1, 9, false, false};
    for (int n : {2, 65, 3000}) {
        for (const std::vector<int>& order : HostileOrders(n)) {
            std::vector<DynString> model = Numbered(order);
            const std::int64_t cost = ModelQuickSort(model, 0, n - 1, key);
            // A budget of exactly what the quicksort spends lets it finish alone.
            std::vector<DynString> lines = Numbered(order);
            SortReferences(lines.data(), 0, n - 1, key, cost);
            ASSERT_TRUE(std::equal(model.begin(), model.end(), lines.begin())) << n;
            // Cut short, it still sorts, every line kept.
            lines = Numbered(order);
            const std::vector<const char*> before = Blocks(lines);
            SortReferences(lines.data(), 0, n - 1, key, cost / 8);
            ExpectSortedPermutation(lines, before, key);
        }
    }
    // With the program's budget, orders that cost the quicksort n² finish otherwise.
    const int n = 20000;
    for (const std::vector<int>& order : HostileOrders(n)) {
        std::vector<DynString> lines = Numbered(order);
        const std::vector<const char*> before = Blocks(lines);
        SortReferences(lines.data(), 0, n - 1, key, SortComparisonBudget(n));
        ExpectSortedPermutation(lines, before, key);
    }
}

TEST(ArraySort, MergeOrHeapsortAloneSortsEveryRange) {
    // Budget 0 hands every range of 65 or more straight to the merge of natural runs,
    // or to the heapsort when the merge finds no memory.
    std::mt19937 random(4242);
    for (const bool refused : {false, true}) {
        if (refused && !kAllocationsCanFail) {
            continue;
        }
        for (const SortKey key : {SortKey{7, 9, false, false}, SortKey{0, 0, true, true}}) {
            for (int n : {64, 65, 200, 5001}) {
                // Runs up, runs strictly down and plateaus, of every length.
                std::vector<int> values;
                while (static_cast<int>(values.size()) < n) {
                    const int step = static_cast<int>(random() % 3) - 1;
                    int value = static_cast<int>(random() % 300);
                    for (int k = static_cast<int>(random() % 90); k > 0; --k, value += step) {
                        values.push_back(value);
                    }
                }
                values.resize(static_cast<std::size_t>(n));
                std::vector<DynString> lines = Numbered(values);
                const std::vector<const char*> before = Blocks(lines);
                {
                    const FailAllocations failing(refused ? 0 : -1);
                    SortReferences(lines.data(), 0, n - 1, key, 0);
                }
                ExpectSortedPermutation(lines, before, key);
            }
        }
    }
    // Elements outside the range stay where they are.
    std::vector<int> middle(70);
    for (int i = 0; i < 70; ++i) {
        middle[static_cast<std::size_t>(i)] = 100 - i;
    }
    std::vector<DynString> wide = Numbered(middle);
    wide.insert(wide.begin(), DynString("zzz first"));
    wide.emplace_back("aaa last");
    SortReferences(wide.data(), 1, 70, SortKey{0, 0, false, false}, 0);
    EXPECT_EQ(wide.front().View(), "zzz first");
    EXPECT_EQ(wide.back().View(), "aaa last");
    EXPECT_EQ(wide[1].View().substr(0, 9), "000000031");
}
