// Test support: the runtime's strings and string arrays as standard strings, for the
// comparisons and messages of tests and fuzz targets.
#pragma once

#include "runtime/DynString.h"
#include "runtime/StringArray.h"

#include <cstdint>
#include <string>
#include <vector>

inline std::string Text(const DynString& s) {
    return std::string(s.View());
}

// The elements from the lower bound to the upper bound; none for an array not created.
inline std::vector<std::string> Contents(const StringArray& a) {
    std::vector<std::string> items;
    for (std::int32_t i = a.LowerBound(); i <= a.UpperBound(); ++i) {
        items.push_back(Text(a[i]));
    }
    return items;
}

// Makes the array hold the items, the first at index lower.
inline void Fill(StringArray& a, std::int32_t lower, const std::vector<std::string>& items) {
    ArrayRedim(a, lower, lower + static_cast<std::int32_t>(items.size()) - 1);
    for (std::size_t i = 0; i < items.size(); ++i) {
        a[lower + static_cast<std::int32_t>(i)] = DynString(std::string_view(items[i]));
    }
}
