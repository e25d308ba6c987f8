// StringArray: a one-dimensional array of DynString with a lower and an upper bound.
//
// The elements are one contiguous block of string references from the system's memory
// blocks; new elements are empty strings. The array owns its strings. An array that was
// never created, or was erased, has no elements and upper bound -1. Failures set an error
// number and leave the array as it was: 9 for bounds, 5 for a bad key range, 7 for memory.
#pragma once

#include "runtime/DynString.h"
#include "runtime/Precondition.h"

#include <cstdint>

class StringArray {
  public:
    StringArray() noexcept = default;
    StringArray(const StringArray&) = delete;
    StringArray& operator=(const StringArray&) = delete;
    ~StringArray();

    bool IsCreated() const noexcept { return elements_ != nullptr; }
    std::int32_t LowerBound() const noexcept { return IsCreated() ? lower_ : 0; }
    std::int32_t UpperBound() const noexcept { return IsCreated() ? upper_ : -1; }
    bool Contains(std::int32_t index) const noexcept {
        return IsCreated() && index >= lower_ && index <= upper_;
    }

    // Unchecked element access; index must lie within the bounds.
    DynString& operator[](std::int32_t index) noexcept {
        Precondition(Contains(index), "StringArray index within the bounds");
        return elements_[index - lower_];
    }
    const DynString& operator[](std::int32_t index) const noexcept {
        Precondition(Contains(index), "StringArray index within the bounds");
        return elements_[index - lower_];
    }

    // Checked access: outside the bounds Get answers "" and Set stores nothing; both set
    // error 9.
    const DynString& Get(std::int32_t index) const noexcept;
    void Set(std::int32_t index, DynString value) noexcept;

  private:
    friend void ArrayRedim(StringArray&, std::int32_t, std::int32_t) noexcept;
    friend void ArrayRedimPreserve(StringArray&, std::int32_t, std::int32_t) noexcept;
    friend void ArrayErase(StringArray&) noexcept;
    friend void ArrayInsertAt(StringArray&, std::int32_t, DynString) noexcept;
    friend void ArrayDeleteAt(StringArray&, std::int32_t, const DynString&) noexcept;
    friend void ArraySortFrom(StringArray&, std::int32_t, std::int32_t, std::int32_t,
                              std::uint32_t) noexcept;

    std::int64_t Count() const noexcept { return std::int64_t{upper_} - lower_ + 1; }

    DynString* elements_ = nullptr; // the block of references, null while not created
    std::int32_t lower_ = 0;        // lower bound while created
    std::int32_t upper_ = -1;       // upper bound while created
};

// Releases the current contents and creates the array with all elements empty.
void ArrayRedim(StringArray& a, std::int32_t lower, std::int32_t upper) noexcept;

// Changes the number of elements at the end, keeping the surviving ones. The lower bound
// must be the current one. On an array that is not created it acts as ArrayRedim.
void ArrayRedimPreserve(StringArray& a, std::int32_t lower, std::int32_t upper) noexcept;

// Releases every string and the block; the array is no longer created.
void ArrayErase(StringArray& a) noexcept;

// The upper bound, or -1 when the array is not created.
std::int32_t ArrayUpperBound(const StringArray& a) noexcept;

// Moves the elements from index up by one, dropping the last one's string, and stores v
// at index. The number of elements does not change.
void ArrayInsertAt(StringArray& a, std::int32_t index, DynString value) noexcept;

// Releases element index, moves the following ones down by one and stores fill in the
// last one. The number of elements does not change.
void ArrayDeleteAt(StringArray& a, std::int32_t index, const DynString& fill) noexcept;

// The widest key that ArraySortFrom orders without reading the strings again: it keeps
// this many key bytes beside each reference. The editor sorts its lines by keys this wide.
constexpr std::int32_t kShortSortKeyBytes = 12;

// Flags of ArraySortFrom; the default is ascending byte order.
constexpr std::uint32_t kSortDescending = 1; // largest key first
constexpr std::uint32_t kSortFoldCase = 2;   // a-z compare as A-Z

// Sorts the elements from start to the upper bound by the key of bytes from column from
// to column to (1-based, inclusive, cut to each string's length; 0 in either means the
// whole string). The quicksort is not stable: equal keys end up where it leaves them, or,
// on orders that would make it quadratic, where the merge or heapsort that finishes them
// leaves them.
void ArraySortFrom(StringArray& a, std::int32_t start, std::int32_t from, std::int32_t to,
                   std::uint32_t flags) noexcept;

// Stores the fields of s, separated by d, into the elements from the lower bound on; the
// remaining elements get "", extra fields are dropped.
void SplitFields(const DynString& s, StringArray& array, const DynString& d) noexcept;
