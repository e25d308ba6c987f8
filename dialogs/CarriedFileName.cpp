#include "dialogs/CarriedFileName.h"

#include "platform/Platform.h"
#include "runtime/StringFunctions.h"

#include <cstring>
#include <memory>

namespace {

struct SearchClose {
    void operator()(HANDLE search) const noexcept { FindClose(search); }
};
using Search = std::unique_ptr<void, SearchClose>;

Search FindFirst(const DynString& pattern, WIN32_FIND_DATAA& found) noexcept {
    HANDLE search = FindFirstFileA(pattern.Bytes(), &found);
    return Search(search != INVALID_HANDLE_VALUE ? search : nullptr);
}

bool HasWildcard(const DynString& name) noexcept {
    return name.View().find_first_of("*?") != std::string_view::npos;
}

} // namespace

DynString CarriedFileName(const DynString& folder, const DynString& name) noexcept {
    WIN32_FIND_DATAA found{};
    const Search entries = FindFirst(Concat(folder, "*"), found);
    if (entries == nullptr) {
        return name;
    }
    int readAlike = 0;
    DynString shortName;
    do {
        if (name.View() == found.cFileName) {
            ++readAlike;
            shortName = DynString(found.cAlternateFileName);
        }
    } while (FindNextFileA(entries.get(), &found));
    if (readAlike != 1 || shortName.IsEmpty()) {
        return name;
    }
    // A name the code page holds opens its own entry, and keeps its long form.
    if (!HasWildcard(name)) {
        WIN32_FIND_DATAA named{};
        if (FindFirst(Concat(folder, name), named) != nullptr &&
            shortName.View() == named.cAlternateFileName) {
            return name;
        }
    }
    return shortName;
}
