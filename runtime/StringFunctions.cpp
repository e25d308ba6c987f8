#include "runtime/StringFunctions.h"

#include "runtime/ErrorNumber.h"

#include <array>
#include <string_view>

namespace {

constexpr std::int64_t kMaxLength = 0x7FFFFFFF;

// The seven code page 437 letter pairs that case mapping covers besides A-Z.
constexpr unsigned char accentedPairs[7][2] = {
    {0x8E, 0x84}, {0x99, 0x94}, {0x9A, 0x81}, {0x90, 0x82},
    {0xA5, 0xA4}, {0x8F, 0x86}, {0x80, 0x87},
};

struct CaseTables {
    std::array<unsigned char, 256> upper{};
    std::array<unsigned char, 256> lower{};
    std::array<bool, 256> letter{};
};

constexpr CaseTables MakeCaseTables() {
    CaseTables tables;
    for (int byte = 0; byte < 256; ++byte) {
        tables.upper[byte] = static_cast<unsigned char>(byte);
        tables.lower[byte] = static_cast<unsigned char>(byte);
    }
    for (int byte = 'A'; byte <= 'Z'; ++byte) {
        tables.lower[byte] = static_cast<unsigned char>(byte ^ 0x20);
        tables.upper[byte ^ 0x20] = static_cast<unsigned char>(byte);
        tables.letter[byte] = true;
        tables.letter[byte ^ 0x20] = true;
    }
    for (const auto& pair : accentedPairs) {
        tables.lower[pair[0]] = pair[1];
        tables.upper[pair[1]] = pair[0];
        tables.letter[pair[0]] = true;
        tables.letter[pair[1]] = true;
    }
    return tables;
}

constexpr CaseTables caseTables = MakeCaseTables();

DynString Bytes(std::string_view bytes) noexcept {
    return DynString(bytes);
}

// Applies a byte table to every byte of s.
DynString MapBytes(const DynString& s, const std::array<unsigned char, 256>& table) noexcept {
    DynString result = s;
    char* bytes = result.MutableBytes();
    for (std::uint32_t i = 0; i < result.Length(); ++i) {
        bytes[i] = static_cast<char>(table[static_cast<unsigned char>(bytes[i])]);
    }
    return result;
}

// Finds m in s at or after the 0-based offset from; npos when absent.
std::size_t FindFrom(std::string_view s, std::string_view m, std::size_t from) noexcept {
    return s.find(m, from);
}

} // namespace

std::uint32_t StringLength(const DynString& s) noexcept {
    return s.Length();
}

DynString Concat(const DynString& a, const DynString& b) noexcept {
    const std::uint64_t length = std::uint64_t{a.Length()} + b.Length();
    if (length > static_cast<std::uint64_t>(kMaxLength)) {
        SetErrorNumber(Err::OutOfMemory);
        return {};
    }
    if (b.IsEmpty()) {
        return a;
    }
    if (a.IsEmpty()) {
        return b;
    }
    DynString result = DynString::OfLength(static_cast<std::uint32_t>(length));
    if (result.IsEmpty()) {
        return result;
    }
    std::memcpy(result.MutableBytes(), a.Bytes(), a.Length());
    std::memcpy(result.MutableBytes() + a.Length(), b.Bytes(), b.Length());
    return result;
}

int CompareStrings(const DynString& a, const DynString& b) noexcept {
    const std::uint32_t common = a.Length() < b.Length() ? a.Length() : b.Length();
    // memcmp compares as unsigned bytes.
    const int order = common > 0 ? std::memcmp(a.Bytes(), b.Bytes(), common) : 0;
    if (order != 0) {
        return order < 0 ? -1 : 1;
    }
    if (a.Length() == b.Length()) {
        return 0;
    }
    return a.Length() < b.Length() ? -1 : 1;
}

DynString CharString(std::initializer_list<std::int32_t> codes) noexcept {
    std::uint32_t length = 0;
    for (std::int32_t code : codes) {
        length += code != -1 ? 1 : 0;
    }
    DynString result = DynString::OfLength(length);
    char* bytes = result.MutableBytes();
    if (bytes == nullptr) {
        return result;
    }
    for (std::int32_t code : codes) {
        if (code != -1) {
            *bytes++ = static_cast<char>(code & 0xFF);
        }
    }
    return result;
}

DynString SpaceString(std::int32_t count) noexcept {
    if (count < 0) {
        SetErrorNumber(Err::OutOfMemory);
        return {};
    }
    DynString result = DynString::OfLength(static_cast<std::uint32_t>(count));
    if (!result.IsEmpty()) {
        std::memset(result.MutableBytes(), ' ', result.Length());
    }
    return result;
}

DynString Substring(const DynString& s, std::int32_t start, std::int32_t count) noexcept {
    const std::int64_t n = s.Length();
    std::int64_t limit = count;
    if (limit < 0) {
        limit = n + limit;
        if (limit < 0) {
            limit = n; // no limit
        }
    }
    std::int64_t first = start;
    if (first == 0) {
        return {};
    }
    if (first < 0) {
        first = n + first + 1;
        if (first < 1) {
            return {};
        }
    }
    if (first > n) {
        return {};
    }
    const std::int64_t available = n - first + 1;
    const std::int64_t take = limit < available ? limit : available;
    if (first == 1 && take == n) {
        return s;
    }
    return Bytes(
        s.View().substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(take)));
}

DynString RightPart(const DynString& s, std::int32_t count) noexcept {
    const std::int64_t n = s.Length();
    std::int64_t take = count;
    if (take < 0) {
        take = n + take;
    }
    // A count still negative, taken as unsigned, is beyond any length.
    if (take < 0 || take >= n) {
        return s;
    }
    return Bytes(s.View().substr(static_cast<std::size_t>(n - take)));
}

void OverwriteAt(DynString& v, std::int32_t start, std::int32_t count,
                 const DynString& r) noexcept {
    const std::int64_t n = v.Length();
    std::int64_t first = start;
    if (first == 0) {
        return;
    }
    if (first < 0) {
        first = n + first + 1;
        if (first < 1) {
            return;
        }
    }
    std::int64_t limit = count;
    if (limit < 0) {
        limit = n + limit;
        if (limit < 0) {
            return;
        }
    }
    if (first > n + 1) {
        return;
    }
    std::int64_t k = r.Length();
    if (n - first + 1 < k) {
        k = n - first + 1;
    }
    if (limit < k) {
        k = limit;
    }
    if (k > 0) {
        std::memmove(v.MutableBytes() + (first - 1), r.Bytes(), static_cast<std::size_t>(k));
    }
}

bool IsCaseLetter(unsigned char byte) noexcept {
    return caseTables.letter[byte];
}

unsigned char UpperByte(unsigned char byte) noexcept {
    return caseTables.upper[byte];
}

unsigned char LowerByte(unsigned char byte) noexcept {
    return caseTables.lower[byte];
}

DynString ToUpper(const DynString& s) noexcept {
    return MapBytes(s, caseTables.upper);
}

DynString ToLower(const DynString& s) noexcept {
    return MapBytes(s, caseTables.lower);
}

DynString ToProperCase(const DynString& s) noexcept {
    DynString result = s;
    char* bytes = result.MutableBytes();
    bool wordStart = true;
    for (std::uint32_t i = 0; i < result.Length(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        const unsigned char mapped = wordStart ? UpperByte(byte) : LowerByte(byte);
        bytes[i] = static_cast<char>(mapped);
        wordStart = !IsCaseLetter(mapped);
    }
    return result;
}

DynString ReverseString(const DynString& s) noexcept {
    DynString result = DynString::OfLength(s.Length());
    char* bytes = result.MutableBytes();
    for (std::uint32_t i = 0; i < result.Length(); ++i) {
        bytes[i] = s.Bytes()[s.Length() - 1 - i];
    }
    return result;
}

DynString TrimLeftSpaces(const DynString& s) noexcept {
    const std::string_view view = s.View();
    const std::size_t first = view.find_first_not_of(' ');
    if (first == 0) {
        return s;
    }
    if (first == std::string_view::npos) {
        return {};
    }
    return Bytes(view.substr(first));
}

DynString TrimRightSpaces(const DynString& s) noexcept {
    const std::string_view view = s.View();
    const std::size_t last = view.find_last_not_of(' ');
    if (last == std::string_view::npos) {
        return {};
    }
    if (last + 1 == view.size()) {
        return s;
    }
    return Bytes(view.substr(0, last + 1));
}

std::int32_t FindSubstring(std::int32_t start, const DynString& s, const DynString& m) noexcept {
    const std::int64_t n = s.Length();
    if (n == 0) {
        return 0;
    }
    const std::string_view text = s.View();
    const std::string_view pattern = m.View();
    if (start >= 1) {
        if (start > n) {
            return 0;
        }
        if (pattern.empty()) {
            return start;
        }
        const std::size_t found = FindFrom(text, pattern, static_cast<std::size_t>(start - 1));
        return found == std::string_view::npos ? 0 : static_cast<std::int32_t>(found + 1);
    }
    if (start <= -1) {
        const std::int64_t end = n + start + 1;
        if (end < 1) {
            return 0;
        }
        if (pattern.empty()) {
            return static_cast<std::int32_t>(end);
        }
        if (static_cast<std::int64_t>(pattern.size()) > end) {
            return 0;
        }
        // The last occurrence that ends at or before position end.
        const std::size_t found = text.substr(0, static_cast<std::size_t>(end)).rfind(pattern);
        return found == std::string_view::npos ? 0 : static_cast<std::int32_t>(found + 1);
    }
    return 0;
}

DynString ExtractUntil(std::int32_t start, const DynString& s, const DynString& m) noexcept {
    const std::int64_t n = s.Length();
    if (start < 1 || start > n) {
        return {};
    }
    const std::string_view rest = s.View().substr(static_cast<std::size_t>(start - 1));
    if (m.IsEmpty()) {
        return Bytes(rest);
    }
    const std::size_t found = rest.find(m.View());
    return Bytes(found == std::string_view::npos ? rest : rest.substr(0, found));
}

DynString ReplaceAll(const DynString& m, const DynString& r, const DynString& s) noexcept {
    if (m.IsEmpty() || s.IsEmpty()) {
        return s;
    }
    const std::string_view text = s.View();
    const std::string_view pattern = m.View();
    std::int64_t occurrences = 0;
    for (std::size_t at = text.find(pattern); at != std::string_view::npos;
         at = text.find(pattern, at + pattern.size())) {
        ++occurrences;
    }
    if (occurrences == 0) {
        return s;
    }
    // Each occurrence changes the length by the same amount; the check divides, so that
    // no product can overflow.
    const std::int64_t growth =
        static_cast<std::int64_t>(r.Length()) - static_cast<std::int64_t>(m.Length());
    const auto n = static_cast<std::int64_t>(text.size());
    if (growth > 0 && (n > kMaxLength || occurrences > (kMaxLength - n) / growth)) {
        SetErrorNumber(Err::InvalidArgument);
        return {};
    }
    const std::int64_t length = n + occurrences * growth;
    DynString result = DynString::OfLength(static_cast<std::uint32_t>(length));
    if (result.IsEmpty()) {
        return result; // nothing left, or no memory (error 7)
    }
    char* out = result.MutableBytes();
    std::size_t from = 0;
    for (std::size_t at = text.find(pattern); at != std::string_view::npos;
         at = text.find(pattern, from)) {
        std::memcpy(out, text.data() + from, at - from);
        out += at - from;
        std::memcpy(out, r.Bytes(), r.Length());
        out += r.Length();
        from = at + pattern.size();
    }
    std::memcpy(out, text.data() + from, text.size() - from);
    return result;
}

std::size_t FieldEnd(std::string_view text, std::size_t from, std::string_view delimiter) noexcept {
    if (!delimiter.empty()) {
        return text.find(delimiter, from);
    }
    bool quoted = false;
    for (std::size_t at = from; at < text.size(); ++at) {
        if (text[at] == '"') {
            quoted = !quoted;
        } else if (text[at] == ',' && !quoted) {
            return at;
        }
    }
    return std::string_view::npos;
}

std::int32_t FieldCount(const DynString& s, const DynString& d) noexcept {
    const std::string_view text = s.View();
    const std::string_view delimiter = d.View();
    const std::size_t step = delimiter.empty() ? 1 : delimiter.size();
    std::int64_t count = 1;
    for (std::size_t end = FieldEnd(text, 0, delimiter); end != std::string_view::npos;
         end = FieldEnd(text, end + step, delimiter)) {
        ++count;
    }
    return static_cast<std::int32_t>(count);
}
