// ArraySortFrom with random arrays, bounds, start indexes, key columns and flags: a sort
// that runs leaves a permutation whose elements from the start on are in key order and
// whose elements before it stay in place; a refused one leaves the array as it was.
#include "fuzz/FuzzCheck.h"
#include "runtime/ErrorNumber.h"
#include "runtime/StringArray.h"
#include "tests/support/StringContents.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// The key of a string, as the sort takes it.
std::string Key(const std::string& s, std::int64_t from, std::int64_t to) {
    if (from == 0 || to == 0) {
        return s;
    }
    if (from > static_cast<std::int64_t>(s.size()) || to < from) {
        return "";
    }
    const std::int64_t last = std::min<std::int64_t>(to, static_cast<std::int64_t>(s.size()));
    return s.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(last - from + 1));
}

std::string Fold(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 0x20);
        }
    }
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::int32_t lower = in.ConsumeIntegralInRange(-3, 3);
    const std::int32_t count = in.ConsumeIntegralInRange(1, 200);
    const std::int32_t start = in.ConsumeIntegralInRange(lower - 2, lower + count + 1);
    const std::int32_t from = in.ConsumeIntegralInRange(-2, 8);
    const std::int32_t to = in.ConsumeIntegralInRange(-2, 12);
    const std::uint32_t flags = in.ConsumeIntegralInRange(0, 3);
    // Few distinct bytes, so that equal keys and common beginnings are frequent.
    const std::string alphabet = in.ConsumeBytesAsString(in.ConsumeIntegralInRange(1, 6)) + "aB";

    StringArray array;
    ArrayRedim(array, lower, lower + count - 1);
    for (std::int32_t i = lower; i < lower + count; ++i) {
        std::string s;
        for (int n = in.ConsumeIntegralInRange(0, 10); n > 0; --n) {
            s += alphabet[in.ConsumeIntegralInRange<std::size_t>(0, alphabet.size() - 1)];
        }
        array[i] = DynString(std::string_view(s));
    }
    const std::vector<std::string> before = Contents(array);

    ClearErrorNumber();
    ArraySortFrom(array, start, from, to, flags);
    const std::vector<std::string> after = Contents(array);
    Check(array.LowerBound() == lower && after.size() == before.size(), "the bounds stay");

    const bool startOutside = start < lower || start >= lower + count;
    const bool badColumns = from != 0 && to != 0 && (to < 0 || from - 1 < 0 || to < from - 1);
    if (startOutside || badColumns) {
        Check(GetErrorNumber() == (startOutside ? Err::BadIndex : Err::InvalidArgument),
              "a refused sort sets its number");
        Check(after == before, "a refused sort leaves the array");
        ArrayErase(array);
        return 0;
    }
    Check(GetErrorNumber() == Err::None, "a sort sets no number");
    const auto first = static_cast<std::size_t>(start - lower);
    Check(std::equal(before.begin(), before.begin() + first, after.begin()),
          "elements before the start stay");
    Check(std::is_permutation(before.begin() + first, before.end(), after.begin() + first),
          "the sorted part is a permutation");
    const bool descending = (flags & 1) != 0;
    const bool fold = (flags & 2) != 0;
    for (std::size_t i = first + 1; i < after.size(); ++i) {
        std::string a = Key(after[i - 1], from, to);
        std::string b = Key(after[i], from, to);
        if (fold) {
            a = Fold(a);
            b = Fold(b);
        }
        // Byte order as unsigned values; a beginning sorts first.
        const bool inOrder = descending ? !(a < b) : !(b < a);
        Check(inOrder, "the keys are in order");
    }
    ArrayErase(array);
    return 0;
}
