// The sort from the cursor over texts of a million "key|index" lines: every line ends
// exactly where the quicksort leaves it, for keys of every spread, however deep its
// partitions go on the way.
#include "runtime/StringArray.h"
#include "tests/native/runtime/QuickSortModel.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

constexpr std::int32_t kLines = 1000000;

class MillionLines : public testing::TestWithParam<std::tuple<std::uint32_t, KeyShape>> {};

TEST_P(MillionLines, EndWhereTheQuicksortLeavesThem) {
    const auto [distinct, shape] = GetParam();
    const auto seed = static_cast<std::uint32_t>(distinct * 4 + static_cast<std::uint32_t>(shape));
    std::vector<DynString> model = KeyIndexLines(kLines, distinct, shape, seed);
    StringArray lines;
    ArrayRedim(lines, 0, kLines);
    for (std::int32_t i = 1; i <= kLines; ++i) {
        lines[i] = model[static_cast<std::size_t>(i - 1)];
    }
    ModelQuickSort(model, 0, kLines - 1, SortKey{1, 12, false, false});
    ArraySortFrom(lines, 1, 1, 12, 0);
    std::int32_t differences = 0;
    for (std::int32_t i = 1; i <= kLines; ++i) {
        differences += lines[i].View() != model[static_cast<std::size_t>(i - 1)].View();
    }
    EXPECT_EQ(differences, 0);
}

INSTANTIATE_TEST_SUITE_P(Spreads, MillionLines,
                         testing::Combine(testing::Values(2u, 1000u, 60000u, 500000u, 4000000u,
                                                          16000000u),
                                          testing::Values(KeyShape::kUniform, KeyShape::kSkewed,
                                                          KeyShape::kRuns, KeyShape::kNearTwins)));

} // namespace
