#include "runtime/StringArray.h"

#include "platform/Platform.h"
#include "runtime/ArraySort.h"
#include "runtime/ErrorNumber.h"
#include "runtime/StringFunctions.h"

#include <new>
#include <string_view>

namespace {

// A zero-filled block of count references, each an empty string; null with error 7.
DynString* AllocateElements(std::int64_t count) noexcept {
    const auto bytes = static_cast<std::uint64_t>(count) * sizeof(DynString);
    if (bytes > SIZE_MAX / 2) {
        SetErrorNumber(Err::OutOfMemory);
        return nullptr;
    }
    void* block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, static_cast<SIZE_T>(bytes));
    if (block == nullptr) {
        SetErrorNumber(Err::OutOfMemory);
        return nullptr;
    }
    auto* elements = static_cast<DynString*>(block);
    for (std::int64_t i = 0; i < count; ++i) {
        new (&elements[i]) DynString();
    }
    return elements;
}

void ReleaseElements(DynString* elements, std::int64_t first, std::int64_t end) noexcept {
    for (std::int64_t i = first; i < end; ++i) {
        elements[i].~DynString();
    }
}

// Moves count references within the block; a string is a bare reference, so moving its
// bytes moves the string.
void MoveReferences(DynString* to, DynString* from, std::int64_t count) noexcept {
    if (count > 0) {
        std::memmove(static_cast<void*>(to), static_cast<const void*>(from),
                     static_cast<std::size_t>(count) * sizeof(DynString));
    }
}

const DynString emptyString;

} // namespace

StringArray::~StringArray() {
    ArrayErase(*this);
}

const DynString& StringArray::Get(std::int32_t index) const noexcept {
    if (!Contains(index)) {
        SetErrorNumber(Err::BadIndex);
        return emptyString;
    }
    return (*this)[index];
}

void StringArray::Set(std::int32_t index, DynString value) noexcept {
    if (!Contains(index)) {
        SetErrorNumber(Err::BadIndex);
        return;
    }
    (*this)[index] = static_cast<DynString&&>(value);
}

void ArrayRedim(StringArray& a, std::int32_t lower, std::int32_t upper) noexcept {
    if (upper < lower) {
        SetErrorNumber(Err::BadIndex);
        return;
    }
    DynString* elements = AllocateElements(std::int64_t{upper} - lower + 1);
    if (elements == nullptr) {
        return;
    }
    ArrayErase(a);
    a.elements_ = elements;
    a.lower_ = lower;
    a.upper_ = upper;
}

void ArrayRedimPreserve(StringArray& a, std::int32_t lower, std::int32_t upper) noexcept {
    if (!a.IsCreated()) {
        ArrayRedim(a, lower, upper);
        return;
    }
    if (lower != a.lower_ || upper < lower) {
        SetErrorNumber(Err::BadIndex);
        return;
    }
    const std::int64_t oldCount = a.Count();
    const std::int64_t newCount = std::int64_t{upper} - lower + 1;
    if (newCount == oldCount) {
        return;
    }
    const auto bytes = static_cast<std::uint64_t>(newCount) * sizeof(DynString);
    if (bytes > SIZE_MAX / 2) {
        SetErrorNumber(Err::OutOfMemory);
        return;
    }
    if (newCount < oldCount) {
        // The dropped strings go first. Should the block not shrink, the old one serves:
        // its tail is simply not counted.
        ReleaseElements(a.elements_, newCount, oldCount);
        if (void* block = GlobalReAlloc(a.elements_, static_cast<SIZE_T>(bytes), GMEM_MOVEABLE)) {
            a.elements_ = static_cast<DynString*>(block);
        }
        a.upper_ = upper;
        return;
    }
    void* block =
        GlobalReAlloc(a.elements_, static_cast<SIZE_T>(bytes), GMEM_MOVEABLE | GMEM_ZEROINIT);
    if (block == nullptr) {
        // Not in place: a new block, the surviving references copied, the old block freed.
        DynString* fresh = AllocateElements(newCount);
        if (fresh == nullptr) {
            return;
        }
        MoveReferences(fresh, a.elements_, oldCount);
        GlobalFree(a.elements_);
        a.elements_ = fresh;
    } else {
        a.elements_ = static_cast<DynString*>(block);
        for (std::int64_t i = oldCount; i < newCount; ++i) {
            new (&a.elements_[i]) DynString();
        }
    }
    a.upper_ = upper;
}

void ArrayErase(StringArray& a) noexcept {
    if (!a.IsCreated()) {
        return;
    }
    ReleaseElements(a.elements_, 0, a.Count());
    GlobalFree(a.elements_);
    a.elements_ = nullptr;
    a.lower_ = 0;
    a.upper_ = -1;
}

std::int32_t ArrayUpperBound(const StringArray& a) noexcept {
    return a.UpperBound();
}

void ArrayInsertAt(StringArray& a, std::int32_t index, DynString value) noexcept {
    if (!a.Contains(index)) {
        SetErrorNumber(Err::BadIndex);
        return;
    }
    const std::int64_t at = std::int64_t{index} - a.lower_;
    const std::int64_t last = a.Count() - 1;
    a.elements_[last].~DynString();
    MoveReferences(&a.elements_[at + 1], &a.elements_[at], last - at);
    new (&a.elements_[at]) DynString(static_cast<DynString&&>(value));
}

void ArrayDeleteAt(StringArray& a, std::int32_t index, const DynString& fill) noexcept {
    if (!a.Contains(index)) {
        SetErrorNumber(Err::BadIndex);
        return;
    }
    DynString last = fill; // copied first, in case fill is an element of the array
    if (!MadeWhole(last, fill.Length())) {
        return; // no memory for the copy: error 7 is set, nothing is stored
    }
    const std::int64_t at = std::int64_t{index} - a.lower_;
    const std::int64_t end = a.Count() - 1;
    a.elements_[at].~DynString();
    MoveReferences(&a.elements_[at], &a.elements_[at + 1], end - at);
    new (&a.elements_[end]) DynString(static_cast<DynString&&>(last));
}

void ArraySortFrom(StringArray& a, std::int32_t start, std::int32_t from, std::int32_t to,
                   std::uint32_t flags) noexcept {
    if (!a.Contains(start)) {
        SetErrorNumber(Err::BadIndex);
        return;
    }
    SortKey key{0, 0, (flags & kSortDescending) != 0, (flags & kSortFoldCase) != 0};
    if (from != 0 && to != 0) {
        if (to < 0 || from - std::int64_t{1} < 0 || to < from - std::int64_t{1}) {
            SetErrorNumber(Err::InvalidArgument);
            return;
        }
        key.from = from;
        key.to = to;
    }
    const std::int64_t lo = std::int64_t{start} - a.lower_;
    const std::int64_t hi = a.Count() - 1;
    SortReferences(a.elements_, lo, hi, key, SortComparisonBudget(hi - lo + 1));
}

void SplitFields(const DynString& s, StringArray& array, const DynString& d) noexcept {
    if (!array.IsCreated()) {
        return;
    }
    // Copies, since s and d may be elements that are about to be replaced.
    const DynString source = s;
    const DynString separator = d;
    if (!MadeWhole(source, s.Length()) || !MadeWhole(separator, d.Length())) {
        return; // no memory: error 7 is set, the array stays as it was
    }
    const std::string_view text = source.View();
    const std::string_view delimiter = separator.View();
    std::size_t from = 0;
    bool usedUp = text.empty();
    for (std::int32_t index = array.LowerBound(); index <= array.UpperBound(); ++index) {
        if (usedUp) {
            array[index] = DynString();
            continue;
        }
        const std::size_t end = FieldEnd(text, from, delimiter);
        const std::size_t step = delimiter.empty() ? 1 : delimiter.size();
        if (end == std::string_view::npos) {
            array[index] = DynString(text.substr(from));
            usedUp = true;
        } else {
            array[index] = DynString(text.substr(from, end - from));
            from = end + step;
        }
    }
}
