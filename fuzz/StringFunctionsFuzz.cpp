// The string functions with random strings and random positions and counts, the extreme
// values included: nothing reads or writes outside a string, and each result keeps the
// function's plain promises (lengths, where a match is, what a trim leaves).
#include "fuzz/FuzzCheck.h"
#include "runtime/ErrorNumber.h"
#include "runtime/StringArray.h"
#include "runtime/StringFunctions.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

std::int32_t Position(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return in.PickValueInArray({INT32_MIN, INT32_MIN + 1, -1, 0, 1, INT32_MAX - 1, INT32_MAX});
    case 1:
        return in.ConsumeIntegral<std::int32_t>();
    default:
        return in.ConsumeIntegralInRange(-40, 40);
    }
}

DynString Text(FuzzedDataProvider& in) {
    const std::string bytes = in.ConsumeRandomLengthString(64);
    return DynString(std::string_view(bytes));
}

bool IsPartOf(const DynString& part, const DynString& whole) {
    return whole.View().find(part.View()) != std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    ClearErrorNumber();
    while (in.remaining_bytes() > 0) {
        const DynString a = Text(in);
        const DynString b = Text(in);
        const std::int32_t p = Position(in);
        const std::int32_t q = Position(in);
        switch (in.ConsumeIntegralInRange(0, 15)) {
        case 0:
            Check(Concat(a, b).Length() == a.Length() + b.Length(), "Concat keeps every byte");
            break;
        case 1: {
            const int order = CompareStrings(a, b);
            Check(order == -CompareStrings(b, a), "comparison is antisymmetric");
            Check((order == 0) == (a == b), "only equal strings compare equal");
            break;
        }
        case 2:
            Check(IsPartOf(Substring(a, p, q), a), "Substring is a part of the string");
            break;
        case 3:
            Check(IsPartOf(RightPart(a, p), a), "RightPart is a part of the string");
            break;
        case 4: {
            DynString v = a;
            OverwriteAt(v, p, q, b);
            Check(v.Length() == a.Length(), "OverwriteAt keeps the length");
            break;
        }
        case 5:
            Check(ToUpper(a).Length() == a.Length() && ToLower(a).Length() == a.Length() &&
                      ToProperCase(a).Length() == a.Length(),
                  "case mappings keep the length");
            Check(ToUpper(ToLower(ToUpper(a))) == ToUpper(a), "upper case is stable");
            break;
        case 6:
            Check(ReverseString(ReverseString(a)) == a, "reversing twice gives the string");
            break;
        case 7: {
            const DynString left = TrimLeftSpaces(a);
            const DynString right = TrimRightSpaces(a);
            Check(left.IsEmpty() || left.View().front() != ' ', "no leading space is left");
            Check(right.IsEmpty() || right.View().back() != ' ', "no trailing space is left");
            Check(IsPartOf(left, a) && IsPartOf(right, a), "a trim is a part of the string");
            break;
        }
        case 8: {
            const std::int32_t at = FindSubstring(p, a, b);
            Check(at >= 0 && static_cast<std::uint32_t>(at) <= a.Length() + 1,
                  "a match lies in the string");
            if (at > 0 && !b.IsEmpty()) {
                Check(a.View().substr(static_cast<std::size_t>(at - 1), b.Length()) == b.View(),
                      "the match is there");
            }
            break;
        }
        case 9:
            Check(IsPartOf(ExtractUntil(p, a, b), a), "ExtractUntil is a part of the string");
            break;
        case 10: {
            const DynString r = Text(in);
            const DynString replaced = ReplaceAll(b, r, a);
            if (!b.IsEmpty() && !IsPartOf(b, a)) {
                Check(replaced == a, "nothing to replace leaves the string");
            }
            break;
        }
        case 11: {
            const std::int32_t fields = FieldCount(a, b);
            Check(fields >= 1, "a string has one field at least");
            StringArray array;
            ArrayRedim(array, 1, std::min(fields, 4096));
            SplitFields(a, array, b);
            ArrayErase(array);
            break;
        }
        case 12: {
            const DynString spaces = SpaceString(std::clamp(p, -5, 5000));
            Check(spaces.View().find_first_not_of(' ') == std::string_view::npos,
                  "SpaceString gives spaces only");
            break;
        }
        case 13:
            Check(CharString({p, q, -1}).Length() == 2u - (p == -1) - (q == -1),
                  "one byte for every code but -1");
            break;
        case 14: {
            const std::string bytes = in.ConsumeRandomLengthString(64);
            Check(StringLength(DynString(std::string_view(bytes))) == bytes.size(),
                  "StringLength counts every byte, NULs too");
            break;
        }
        default:
            Check(IsCaseLetter(UpperByte(static_cast<unsigned char>(p))) ==
                      IsCaseLetter(static_cast<unsigned char>(p)),
                  "upper case of a letter is a letter");
            break;
        }
    }
    return 0;
}
