#include "runtime/ErrorNumber.h"
#include "runtime/StringArray.h"

#include "tests/native/runtime/FailAllocations.h"
#include "tests/support/StringContents.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using Items = std::vector<std::string>;

} // namespace

TEST(StringArray, CreatedWithEmptyElementsAndErased) {
    StringArray a;
    EXPECT_EQ(ArrayUpperBound(a), -1);
    ArrayRedim(a, 0, 3);
    EXPECT_EQ(ArrayUpperBound(a), 3);
    EXPECT_EQ(Contents(a), Items(4, ""));
    ArrayErase(a);
    EXPECT_EQ(ArrayUpperBound(a), -1);
    EXPECT_FALSE(a.IsCreated());
    ArrayErase(a); // erasing twice is harmless
    ArrayRedim(a, -2, -2);
    EXPECT_EQ(ArrayUpperBound(a), -2);
    EXPECT_EQ(a.LowerBound(), -2);
}

TEST(StringArray, RefusedBoundsLeaveTheArrayAlone) {
    StringArray a;
    Fill(a, 1, {"a", "b"});
    ClearErrorNumber();
    ArrayRedim(a, 3, 2);
    EXPECT_EQ(GetErrorNumber(), Err::BadIndex);
    ClearErrorNumber();
    ArrayRedimPreserve(a, 0, 5); // a different lower bound
    EXPECT_EQ(GetErrorNumber(), Err::BadIndex);
    ClearErrorNumber();
    ArrayRedimPreserve(a, 1, 0);
    EXPECT_EQ(GetErrorNumber(), Err::BadIndex);
    EXPECT_EQ(Contents(a), (Items{"a", "b"}));
    EXPECT_EQ(Text(a.Get(3)), "");
    a.Set(0, DynString("x"));
    EXPECT_EQ(GetErrorNumber(), Err::BadIndex);
    EXPECT_EQ(Contents(a), (Items{"a", "b"}));
}

TEST(StringArray, InsertDeleteAndPreserveKeepTheCount) {
    StringArray a;
    Fill(a, 1, {"a", "b", "c", ""});
    ArrayInsertAt(a, 2, DynString("x"));
    EXPECT_EQ(Contents(a), (Items{"a", "x", "b", "c"}));
    ArrayRedimPreserve(a, 1, 2);
    EXPECT_EQ(Contents(a), (Items{"a", "x"}));
    ArrayRedimPreserve(a, 1, 4);
    EXPECT_EQ(Contents(a), (Items{"a", "x", "", ""}));

    Fill(a, 1, {"a", "b", "c", "d"});
    ArrayDeleteAt(a, 2, DynString());
    EXPECT_EQ(Contents(a), (Items{"a", "c", "d", ""}));
    ArrayDeleteAt(a, 4, DynString("f"));
    EXPECT_EQ(Contents(a), (Items{"a", "c", "d", "f"}));
    ArrayDeleteAt(a, 1, a[2]); // the fill may be an element itself
    EXPECT_EQ(Contents(a), (Items{"c", "d", "f", "c"}));
    ArrayInsertAt(a, 4, DynString("z"));
    EXPECT_EQ(Contents(a), (Items{"c", "d", "f", "z"}));

    ClearErrorNumber();
    ArrayInsertAt(a, 5, DynString("q"));
    EXPECT_EQ(GetErrorNumber(), Err::BadIndex);
    ClearErrorNumber();
    ArrayDeleteAt(a, 0, DynString("q"));
    EXPECT_EQ(GetErrorNumber(), Err::BadIndex);
    EXPECT_EQ(Contents(a), (Items{"c", "d", "f", "z"}));
}

TEST(StringArray, PreserveOnANewArrayCreatesIt) {
    StringArray a;
    ArrayRedimPreserve(a, 5, 6);
    EXPECT_EQ(a.LowerBound(), 5);
    EXPECT_EQ(Contents(a), Items(2, ""));
}

TEST(ArraySortFrom, WholeStringsInByteOrder) {
    StringArray a;
    Fill(a, 1, {"b", "B", "a", "ab"});
    ArraySortFrom(a, 1, 0, 0, 0);
    EXPECT_EQ(Contents(a), (Items{"B", "a", "ab", "b"}));
    Fill(a, 1, {"\xE0", "z", std::string("a\0", 2), "a"});
    ArraySortFrom(a, 1, 0, 5, 0); // either column 0: whole strings
    EXPECT_EQ(Contents(a), (Items{"a", std::string("a\0", 2), "z", "\xE0"}));
}

TEST(ArraySortFrom, KeyColumnsCutToEachString) {
    StringArray a;
    Fill(a, 1, {"zzb", "yya", "x"});
    ArraySortFrom(a, 1, 3, 14, 0);
    EXPECT_EQ(Contents(a), (Items{"x", "yya", "zzb"}));
    Fill(a, 1, {"1b9", "2a8", "3a7"});
    ArraySortFrom(a, 1, 2, 2, 0);
    EXPECT_EQ(Contents(a).front().substr(1, 1), "a");
    EXPECT_EQ(Contents(a).back(), "1b9");
}

TEST(ArraySortFrom, EqualKeysEndWhereTheQuicksortLeavesThem) {
    // Keyed on the first byte only; traced by hand through the partitioning: the pivot
    // b2 swaps b1/b3 and b2/a2, then [b3 a1 a2] and [b2 b1] are sorted the same way.
    StringArray a;
    Fill(a, 0, {"k", "b1", "a1", "b2", "a2", "b3"});
    ArraySortFrom(a, 1, 1, 1, 0);
    EXPECT_EQ(Contents(a), (Items{"k", "a2", "a1", "b3", "b1", "b2"}));
}

TEST(ArraySortFrom, MovesReferencesOnly) {
    StringArray a;
    Fill(a, 1, {"d", "c", "b", "a"});
    std::vector<const char*> before;
    for (std::int32_t i = 1; i <= 4; ++i) {
        before.push_back(a[i].Bytes());
    }
    ArraySortFrom(a, 1, 0, 0, 0);
    for (std::int32_t i = 1; i <= 4; ++i) {
        EXPECT_EQ(a[i].Bytes(), before[4 - i]);
    }
}

TEST(ArraySortFrom, RefusedStartsAndKeyRanges) {
    StringArray a;
    Fill(a, 1, {"c", "b", "a"});
    ArraySortFrom(a, 3, 0, 0, 0);
    EXPECT_EQ(Contents(a), (Items{"c", "b", "a"}));
    ArraySortFrom(a, 2, 0, 0, 0);
    EXPECT_EQ(Contents(a), (Items{"c", "a", "b"}));
    for (auto [start, from, to, error] : {std::tuple{4, 0, 0, Err::BadIndex},
                                          {0, 0, 0, Err::BadIndex},
                                          {1, 2, -1, Err::InvalidArgument},
                                          {1, -1, 3, Err::InvalidArgument},
                                          {1, 5, 3, Err::InvalidArgument}}) {
        Fill(a, 1, {"c", "b", "a"});
        ClearErrorNumber();
        ArraySortFrom(a, start, from, to, 0);
        EXPECT_EQ(GetErrorNumber(), error) << start << " " << from << " " << to;
        EXPECT_EQ(Contents(a), (Items{"c", "b", "a"}));
    }
    ClearErrorNumber();
    ArraySortFrom(a, 1, 5, 4, 0); // to = from - 1: every key is empty
    EXPECT_EQ(GetErrorNumber(), Err::None);
    StringArray never;
    ArraySortFrom(never, 0, 0, 0, 0);
    EXPECT_EQ(GetErrorNumber(), Err::BadIndex);
}

TEST(ArraySortFrom, DescendingAndFoldedFlags) {
    StringArray a;
    Fill(a, 1, {"b", "C", "a"});
    ArraySortFrom(a, 1, 0, 0, kSortDescending);
    EXPECT_EQ(Contents(a), (Items{"b", "a", "C"}));
    ArraySortFrom(a, 1, 0, 0, kSortFoldCase);
    EXPECT_EQ(Contents(a), (Items{"a", "b", "C"}));
}

TEST(StringArray, NoMemoryLeavesTheArrayAsItWas) {
    if (!kAllocationsCanFail) {
        GTEST_SKIP() << "the real allocator cannot be made to fail";
    }
    StringArray a;
    Fill(a, 1, {"a", "b"});
    const DynString fill("fill");
    ClearErrorNumber();
    {
        FailAllocations failing;
        ArrayRedim(a, 1, 10);
        ArrayRedimPreserve(a, 1, 1000);
        ArrayDeleteAt(a, 1, fill);
    }
    EXPECT_EQ(GetErrorNumber(), Err::OutOfMemory);
    EXPECT_EQ(Contents(a), (Items{"a", "b"}));
    {
        FailAllocations failing;
        ArrayRedimPreserve(a, 1, 1); // shrinking needs no memory
    }
    EXPECT_EQ(Contents(a), (Items{"a"}));
    StringArray fresh;
    {
        FailAllocations failing;
        ArrayRedim(fresh, 0, 3);
    }
    EXPECT_EQ(ArrayUpperBound(fresh), -1);
}

namespace {

// The array as a plain list, with the error each operation should give.
struct Model {
    bool created = false;
    std::int32_t lower = 0;
    Items items;

    bool Contains(std::int64_t i) const {
        return created && i >= lower && i < lower + static_cast<std::int64_t>(items.size());
    }
    std::int32_t Upper() const {
        return created ? lower + static_cast<std::int32_t>(items.size()) - 1 : -1;
    }
};

std::string RandomText(std::mt19937& random) {
    static const char bytes[] = {'a', 'b', 'c', 'A', 'B', '\0', '\xE9', ' '};
    std::string text(random() % 4, ' ');
    for (char& byte : text) {
        byte = bytes[random() % sizeof bytes];
    }
    return text;
}

// The sort key, column by column: the bytes of the columns from..to that the string has
// (all of them when either bound is 0), a-z read as A-Z when folded.
std::string SortKeyOf(const std::string& s, std::int32_t from, std::int32_t to, bool fold) {
    std::string key;
    for (std::int32_t column = 1; column <= static_cast<std::int32_t>(s.size()); ++column) {
        if (from != 0 && to != 0 && (column < from || column > to)) {
            continue;
        }
        const char byte = s[static_cast<std::size_t>(column - 1)];
        key += fold && byte >= 'a' && byte <= 'z' ? static_cast<char>(byte - 'a' + 'A') : byte;
    }
    return key;
}

} // namespace

TEST(StringArray, RandomSequencesMatchAPlainList) {
    std::mt19937 random(20240611);
    StringArray a;
    Model model;
    for (int step = 0; step < 20000; ++step) {
        const Model before = model;
        const int operation = static_cast<int>(random() % 7);
        const std::int32_t lowest = model.created ? model.lower - 1 : -2;
        const auto index = static_cast<std::int32_t>(lowest + random() % (model.items.size() + 3));
        // Now and then memory runs out during the operation.
        const long budget = random() % 8 == 0 ? static_cast<long>(random() % 2) : -1;
        ErrorNumber expected = Err::None;
        ClearErrorNumber();
        switch (operation) {
        case 0: {
            const auto lower = static_cast<std::int32_t>(random() % 5) - 2;
            const auto upper = lower + static_cast<std::int32_t>(random() % 10) - 1;
            FailAllocationsAfter(budget);
            ArrayRedim(a, lower, upper);
            if (upper < lower) {
                expected = Err::BadIndex;
            } else {
                model = {true, lower, Items(static_cast<std::size_t>(upper - lower + 1))};
            }
            break;
        }
        case 1: {
            const std::int32_t lower = random() % 8 == 0 || !model.created
                                           ? static_cast<std::int32_t>(random() % 3) - 1
                                           : model.lower;
            const auto upper = lower + static_cast<std::int32_t>(random() % 12) - 1;
            FailAllocationsAfter(budget);
            ArrayRedimPreserve(a, lower, upper);
            if (upper < lower || (model.created && lower != model.lower)) {
                expected = Err::BadIndex;
            } else if (!model.created) {
                model = {true, lower, Items(static_cast<std::size_t>(upper - lower + 1))};
            } else {
                model.items.resize(static_cast<std::size_t>(upper - lower + 1));
            }
            break;
        }
        case 2: {
            DynString value(RandomText(random));
            const std::string text = Text(value);
            FailAllocationsAfter(budget);
            ArrayInsertAt(a, index, std::move(value));
            if (!model.Contains(index)) {
                expected = Err::BadIndex;
            } else {
                model.items.insert(model.items.begin() + (index - model.lower), text);
                model.items.pop_back();
            }
            break;
        }
        case 3: {
            const DynString fill(RandomText(random));
            const std::string text = Text(fill);
            FailAllocationsAfter(budget);
            ArrayDeleteAt(a, index, fill);
            if (!model.Contains(index)) {
                expected = Err::BadIndex;
            } else {
                model.items.erase(model.items.begin() + (index - model.lower));
                model.items.push_back(text);
            }
            break;
        }
        case 4:
            ArrayErase(a);
            model = {};
            break;
        case 5: {
            const auto from = static_cast<std::int32_t>(random() % 5) - 1;
            const auto to = static_cast<std::int32_t>(random() % 6) - 1;
            const auto flags = static_cast<std::uint32_t>(random() % 4);
            const bool descending = (flags & kSortDescending) != 0;
            const bool fold = (flags & kSortFoldCase) != 0;
            // A range is refused when it names a column before the first or holds fewer
            // than no columns; either bound 0 means the whole string.
            const std::int32_t columns = to - from + 1;
            const bool refused = from != 0 && to != 0 && (from < 1 || to < 0 || columns < 0);
            FailAllocationsAfter(budget);
            ArraySortFrom(a, index, from, to, flags);
            if (!model.Contains(index)) {
                expected = Err::BadIndex;
            } else if (refused) {
                expected = Err::InvalidArgument;
            } else {
                // Sorted by key from index on, the same strings, nothing before index moved.
                const auto at = static_cast<std::size_t>(index - model.lower);
                const Items sorted = Contents(a);
                ASSERT_EQ(sorted.size(), model.items.size());
                ASSERT_TRUE(std::equal(sorted.begin(), sorted.begin() + at, model.items.begin()));
                ASSERT_TRUE(std::is_permutation(sorted.begin() + at, sorted.end(),
                                                model.items.begin() + at));
                // std::string compares its bytes as unsigned values, as the sort does.
                for (std::size_t i = at + 1; i < sorted.size(); ++i) {
                    const std::string first = SortKeyOf(sorted[i - 1], from, to, fold);
                    const std::string second = SortKeyOf(sorted[i], from, to, fold);
                    if (descending) {
                        ASSERT_GE(first, second) << "step " << step << " flags " << flags;
                    } else {
                        ASSERT_LE(first, second) << "step " << step << " flags " << flags;
                    }
                }
                model.items = sorted;
            }
            break;
        }
        case 6: // an element's own value, so that sorts meet full ranges
            if (model.Contains(index)) {
                DynString value(RandomText(random));
                model.items[static_cast<std::size_t>(index - model.lower)] = Text(value);
                a[index] = std::move(value);
            }
            break;
        }
        FailAllocationsAfter(-1);
        const ErrorNumber error = GetErrorNumber();
        if (error == Err::OutOfMemory) {
            ASSERT_NE(budget, -1) << "step " << step;
            model = before; // a failed operation changes nothing
        } else {
            ASSERT_EQ(error, expected) << "step " << step << " operation " << operation;
        }
        ASSERT_EQ(ArrayUpperBound(a), model.Upper()) << "step " << step;
        ASSERT_EQ(a.IsCreated(), model.created);
        if (model.created) {
            ASSERT_EQ(a.LowerBound(), model.lower);
            ASSERT_EQ(Contents(a), model.items) << "step " << step << " operation " << operation;
        }
    }
}

#ifdef TALVERMOOR_CHECK_PRECONDITIONS
TEST(StringArrayDeathTest, UncheckedAccessOutsideTheBoundsStopsInTheCheckedTree) {
    StringArray a;
    ArrayRedim(a, 1, 2);
    EXPECT_DEATH((void)a[3], "index within the bounds");
    EXPECT_DEATH((void)a[0], "index within the bounds");
    ArrayErase(a);
    EXPECT_DEATH((void)a[1], "index within the bounds");
}
#endif
